# The shipped form: an application bundle that 3ds Max finds by itself under
# %ProgramData%\Autodesk\ApplicationPlugins, and a zip of it.
#
#   cmake --install <build> --prefix <dir>   lays out <dir>/RUDRendering.bundle
#   cmake --build <build> --target package    writes RUDRendering-<version>.zip (bundle at its root)
#
# Contents holds our own files only: the .gup links jsoncpp and the C++ runtime statically, so
# no DLL of ours sits beside it for another plug-in's copy to shadow.

# One GUID for every release: 3ds Max keeps the higher AppVersion of packages that share it.
set(RUD_BUNDLE_UPGRADE_CODE "{62AD929A-87E7-4D9F-A8F6-23F8BA6DBF98}")
set(RUD_BUNDLE_DIR "RUDRendering.bundle")

configure_file(${CMAKE_SOURCE_DIR}/resources/bundle/PackageContents.xml.in
  ${RUD_GENERATED_DIR}/PackageContents.xml @ONLY)

install(FILES ${RUD_GENERATED_DIR}/PackageContents.xml
  DESTINATION ${RUD_BUNDLE_DIR} COMPONENT bundle)
install(TARGETS RUD_Rendering_2025
  RUNTIME DESTINATION ${RUD_BUNDLE_DIR}/Contents COMPONENT bundle
  LIBRARY DESTINATION ${RUD_BUNDLE_DIR}/Contents COMPONENT bundle)
# The batch script is run by hand or by 3dsmaxbatch.exe, not at start-up: no component names it.
install(FILES ${CMAKE_SOURCE_DIR}/resources/scripts/RUDRendering_BatchSubmit.ms
  DESTINATION ${RUD_BUNDLE_DIR}/Contents/scripts COMPONENT bundle)
foreach(locale en-US zh-CN)
  string(REPLACE "-" "_" language_target rud_lang_${locale})
  install(TARGETS ${language_target}
    RUNTIME DESTINATION ${RUD_BUNDLE_DIR}/Contents/${locale} COMPONENT bundle
    LIBRARY DESTINATION ${RUD_BUNDLE_DIR}/Contents/${locale} COMPONENT bundle)
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME "RUDRendering")
set(CPACK_PACKAGE_VENDOR "RUD Rendering")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "RUDRendering-${PROJECT_VERSION}")
# The zip unpacks straight into ApplicationPlugins: RUDRendering.bundle at its root.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# Debug information stays in the build tree (the mingw build keeps it in the module itself).
set(CPACK_STRIP_FILES ON)
include(CPack)
