# The real 3ds Max 2025 SDK (Windows, Visual Studio 2022). Autodesk ships no CMake support;
# the SDK's folder comes from ADSK_3DSMAX_SDK_2025 (the "maxsdk" folder of the SDK install).
set(RUD_MAXSDK_DIR "$ENV{ADSK_3DSMAX_SDK_2025}" CACHE PATH "3ds Max 2025 SDK folder (maxsdk)")
if(NOT EXISTS "${RUD_MAXSDK_DIR}/include/max.h")
  message(FATAL_ERROR "3ds Max 2025 SDK not found: set ADSK_3DSMAX_SDK_2025 to the maxsdk folder")
endif()
add_library(maxsdk INTERFACE)
target_include_directories(maxsdk INTERFACE "${RUD_MAXSDK_DIR}/include")
target_link_directories(maxsdk INTERFACE "${RUD_MAXSDK_DIR}/lib/x64/Release")
target_link_libraries(maxsdk INTERFACE core.lib maxutil.lib maxscrpt.lib gup.lib paramblk2.lib)
