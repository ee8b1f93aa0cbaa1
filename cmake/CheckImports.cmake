# Fails when a module of the bundle needs a DLL that a 3ds Max workstation does not have: only
# Windows' own libraries, the C runtime (the Universal CRT and Visual C++'s runtime DLLs) and
# 3ds Max's own libraries may be imported. Everything else (jsoncpp, a mingw runtime, ...) must
# be linked in, since the bundle ships only the .gup and the language files.
#
#   cmake -DTOOL=objdump|dumpbin -DTOOL_PATH=<program> [-DCONFIG=<configuration>] -P CheckImports.cmake <module>...
# objdump: mingw-w64's objdump, read with -p; dumpbin: Visual Studio's, read with /dependents.
# CONFIG Debug lets the debug C runtime through, with a warning: such a build is for the
# developer's own 3ds Max and must never reach a bundle.
cmake_minimum_required(VERSION 3.20)

set(windows_dlls kernel32 user32 gdi32 comctl32 comdlg32 shell32 ole32 oleaut32 ws2_32 gdiplus
  shlwapi uxtheme advapi32 version rpcrt4 bcrypt ntdll msimg32 winmm imm32 crypt32 secur32 setupapi
  shcore dwmapi msvcrt)
# Release runtimes only: the debug ones (ucrtbased, vcruntime140d, msvcp140d, ...) come with
# Visual Studio, not with Windows or the Visual C++ redistributable, so artists' machines lack them.
set(runtime_dlls ucrtbase vcruntime140 vcruntime140_1
  msvcp140 msvcp140_1 msvcp140_2 msvcp140_atomic_wait msvcp140_codecvt_ids concrt140)
set(max_dlls core maxutil maxscrpt gup paramblk2 geom mesh mnmath bmm gfx)
set(allowed ${windows_dlls} ${runtime_dlls} ${max_dlls})
if(CONFIG STREQUAL "Debug")
  list(APPEND allowed ucrtbased vcruntime140d vcruntime140_1d msvcp140d)
  message(WARNING "a Debug build needs Visual Studio's debug C runtime: never ship it to artists")
endif()

set(modules)
set(after_script FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 1 ${last})
  if(after_script)
    list(APPEND modules "${CMAKE_ARGV${i}}")
  elseif(CMAKE_ARGV${i} STREQUAL "-P")
    math(EXPR script "${i} + 1")
    set(skip ${script})
  endif()
  if(DEFINED skip AND i EQUAL skip)
    set(after_script TRUE)
  endif()
endforeach()
if(NOT modules OR NOT TOOL_PATH)
  message(FATAL_ERROR "usage: cmake -DTOOL=objdump|dumpbin -DTOOL_PATH=<program> -P CheckImports.cmake <module>...")
endif()

set(failed FALSE)
foreach(module IN LISTS modules)
  if(NOT EXISTS "${module}")
    message(SEND_ERROR "${module}: not built")
    set(failed TRUE)
    continue()
  endif()
  if(TOOL STREQUAL "dumpbin")
    execute_process(COMMAND "${TOOL_PATH}" /nologo /dependents "${module}"
      OUTPUT_VARIABLE listing RESULT_VARIABLE result)
    # One DLL name a line, indented, under "Image has the following dependencies:". Each line
    # is judged on its own: a pattern that also eats the line's end would skip the next name.
    string(REGEX MATCHALL "[^\n]+" all_lines "${listing}")
    set(lines)
    foreach(line IN LISTS all_lines)
      if(line MATCHES "^[ \t]+([A-Za-z0-9_.-]+\\.[Dd][Ll][Ll])[ \t\r]*$")
        list(APPEND lines "${CMAKE_MATCH_1}")
      endif()
    endforeach()
  else()
    execute_process(COMMAND "${TOOL_PATH}" -p "${module}" OUTPUT_VARIABLE listing RESULT_VARIABLE result)
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${listing}")
  endif()
  if(NOT result EQUAL 0)
    message(SEND_ERROR "${module}: ${TOOL} could not read it")
    set(failed TRUE)
    continue()
  endif()
  set(names)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^DLL Name:[ \t]*" "" name "${line}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" name)
    list(APPEND names "${name}")
    string(REGEX REPLACE "\\.dll$" "" base "${name}")
    if(NOT base IN_LIST allowed AND NOT base MATCHES "^api-ms-win-")
      message(SEND_ERROR "${module} needs ${name}, which neither Windows, the C runtime nor 3ds Max provides")
      set(failed TRUE)
    endif()
  endforeach()
  list(JOIN names ", " shown)
  if(NOT shown)
    set(shown "no DLL")
  endif()
  message(STATUS "${module}: ${shown}")
endforeach()
if(failed)
  message(FATAL_ERROR "the bundle would not load on a 3ds Max workstation")
endif()
