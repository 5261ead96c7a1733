# The Pascal client unit's example, built for Win64 with Free Pascal.
#
# Debian packages the compiler (fp-compiler) and the run-time library's
# sources (fpc-source) but no Win64 run-time units, so they are built here
# from the installed sources into the build tree: the system unit first, then
# objpas, sysinit, fpintres, windows and classes (with what classes uses).
#
# On a Linux machine the example is expected (scripts/deps.sh installs Free
# Pascal), and a missing compiler stops the configuration; elsewhere, or with
# -DVX_PASCAL=OFF, the Pascal targets and their test are left out.
include_guard(GLOBAL)

if(CMAKE_HOST_SYSTEM_NAME STREQUAL "Linux")
  set(vx_pascal_default ON)
else()
  set(vx_pascal_default OFF)
endif()
option(VX_PASCAL "Build the Pascal client example with Free Pascal and test it" ${vx_pascal_default})
if(NOT VX_PASCAL)
  return()
endif()

find_program(VX_PPCX64 ppcx64)
if(NOT VX_PPCX64)
  message(FATAL_ERROR "Free Pascal's ppcx64 was not found: run scripts/deps.sh (it installs "
                      "fp-compiler and fpc-source), or configure with -DVX_PASCAL=OFF")
endif()
execute_process(COMMAND ${VX_PPCX64} -iV OUTPUT_VARIABLE vx_fpc_version
                OUTPUT_STRIP_TRAILING_WHITESPACE)
set(VX_FPC_SOURCE /usr/share/fpcsrc/${vx_fpc_version} CACHE PATH "Free Pascal's sources")
set(vx_rtl_src ${VX_FPC_SOURCE}/rtl)
if(NOT EXISTS ${vx_rtl_src}/win64/system.pp)
  message(FATAL_ERROR "Free Pascal's run-time library sources are not in ${VX_FPC_SOURCE}: "
                      "run scripts/deps.sh (it installs fpc-source), or set VX_FPC_SOURCE")
endif()

set(vx_rtl ${CMAKE_BINARY_DIR}/fpc-rtl)
set(vx_rtl_flags -Twin64 -n -O2 -Sgic -v0 -FU${vx_rtl} -Fu${vx_rtl})
foreach(d inc x86_64 win win/wininc win64 objpas objpas/classes objpas/sysutils)
  list(APPEND vx_rtl_flags -Fi${vx_rtl_src}/${d})
endforeach()
foreach(d objpas inc win win64)
  list(APPEND vx_rtl_flags -Fu${vx_rtl_src}/${d})
endforeach()
set(vx_rtl_units system objpas sysinit fpintres windows classes)
set(vx_rtl_ppu "")
foreach(u ${vx_rtl_units})
  list(APPEND vx_rtl_ppu ${vx_rtl}/${u}.ppu)
endforeach()
add_custom_command(
  OUTPUT ${vx_rtl_ppu}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${vx_rtl}
  COMMAND ${VX_PPCX64} ${vx_rtl_flags} -Us ${vx_rtl_src}/win64/system.pp
  COMMAND ${VX_PPCX64} ${vx_rtl_flags} ${vx_rtl_src}/objpas/objpas.pp
  COMMAND ${VX_PPCX64} ${vx_rtl_flags} ${vx_rtl_src}/win64/sysinit.pp
  COMMAND ${VX_PPCX64} ${vx_rtl_flags} ${vx_rtl_src}/inc/fpintres.pp
  COMMAND ${VX_PPCX64} ${vx_rtl_flags} ${vx_rtl_src}/win64/windows.pp
  COMMAND ${VX_PPCX64} ${vx_rtl_flags} ${vx_rtl_src}/win64/classes.pp
  DEPENDS ${VX_PPCX64}
  COMMENT "Building Free Pascal's Win64 run-time units"
  VERBATIM)
add_custom_target(vx_fpc_rtl DEPENDS ${vx_rtl_ppu})

# vx_pascal_program(NAME SOURCE [UNITS file...]): NAME.exe in
# build/client/pascal from SOURCE and the units it uses.
function(vx_pascal_program name source)
  cmake_parse_arguments(P "" "" "UNITS" ${ARGN})
  set(out ${CMAKE_BINARY_DIR}/client/pascal)
  set(obj ${out}/obj-${name})
  add_custom_command(
    OUTPUT ${out}/${name}.exe
    COMMAND ${CMAKE_COMMAND} -E make_directory ${obj}
    COMMAND ${VX_PPCX64} -Twin64 -n -O2 -vew -Fu${vx_rtl} -FU${obj} -FE${out} -o${name}.exe
            ${source}
    DEPENDS ${source} ${P_UNITS} ${vx_rtl_ppu}
    COMMENT "Building ${name}.exe with Free Pascal"
    VERBATIM)
  add_custom_target(${name} ALL DEPENDS ${out}/${name}.exe)
  add_dependencies(${name} vx_fpc_rtl)
endfunction()

set(VX_PASCAL_DIR ${CMAKE_SOURCE_DIR}/client/pascal)
vx_pascal_program(vxPascalDemo ${VX_PASCAL_DIR}/vxPascalDemo.dpr UNITS ${VX_PASCAL_DIR}/vxClient.pas)
set(VX_PASCAL_DEMO ${CMAKE_BINARY_DIR}/client/pascal/vxPascalDemo.exe)
