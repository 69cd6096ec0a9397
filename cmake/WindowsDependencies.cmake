# Tcl/Tk and hidapi for the Windows build. tools/build-win-deps.sh cross-builds
# Tcl/Tk from Debian's source packages once per version set and keeps the
# result beside this build tree; configuring again finds it there.
set(FIELDWISH_WIN_DEPS_DIR "${CMAKE_BINARY_DIR}/../win32-deps" CACHE PATH
    "Where the Windows Tcl/Tk build and the hidapi sources are kept")
execute_process(COMMAND ${CMAKE_SOURCE_DIR}/tools/build-win-deps.sh ${FIELDWISH_WIN_DEPS_DIR}
                RESULT_VARIABLE deps_result)
if(NOT deps_result EQUAL 0)
  message(FATAL_ERROR "building the Windows dependencies failed (tools/build-win-deps.sh)")
endif()
get_filename_component(FIELDWISH_WIN_DEPS "${FIELDWISH_WIN_DEPS_DIR}/current" REALPATH)
set(FIELDWISH_TCLTK_DIR ${FIELDWISH_WIN_DEPS}/tcltk)

# The libraries compile against Tcl's headers; the executables link Tcl and
# Tk. Tcl's import library goes with its headers: whichever library calls Tcl
# then comes before it on the link line.
add_library(tcl_headers INTERFACE)
target_include_directories(tcl_headers INTERFACE ${FIELDWISH_TCLTK_DIR}/include)
target_link_libraries(tcl_headers INTERFACE ${FIELDWISH_TCLTK_DIR}/lib/libtcl86.dll.a)
add_library(tcltk INTERFACE)
target_link_libraries(tcltk INTERFACE tcl_headers ${FIELDWISH_TCLTK_DIR}/lib/libtk86.dll.a)

add_library(hidapi_headers INTERFACE)
target_include_directories(hidapi_headers INTERFACE ${FIELDWISH_WIN_DEPS}/hidapi/hidapi)

# hidapi's Windows backend, compiled into the shell. Its header marks every
# function for export; the shell exports exactly the eighteen of
# platform/win32/fieldwish.def, so the marks are turned into a harmless
# attribute here.
add_library(hidapi_windows OBJECT ${FIELDWISH_WIN_DEPS}/hidapi/windows/hid.c)
target_link_libraries(hidapi_windows PUBLIC hidapi_headers)
target_compile_definitions(hidapi_windows PRIVATE dllexport=unused)
target_compile_options(hidapi_windows PRIVATE -w)

# The Tcl/Tk runtime that the Windows programs need beside them.
set(FIELDWISH_TCLTK_DLLS ${FIELDWISH_TCLTK_DIR}/bin/tcl86.dll ${FIELDWISH_TCLTK_DIR}/bin/tk86.dll
    ${FIELDWISH_TCLTK_DIR}/bin/zlib1.dll)
