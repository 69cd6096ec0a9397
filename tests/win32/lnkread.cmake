# lnkread.exe, for the Linux tree: a Windows console program that reads link
# files through the Windows shell's link object; run under Wine by
# lnkread.sh, it checks the links the POSIX writer makes
# (tests/tcl/link_readers.test). Built with the i686 mingw compiler directly,
# apart from this tree's own toolchain.
find_program(FIELDWISH_MINGW_CXX i686-w64-mingw32-g++)
if(FIELDWISH_MINGW_CXX)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/tests/win32)
  set(lnkread_exe ${CMAKE_BINARY_DIR}/tests/win32/lnkread.exe)
  add_custom_command(OUTPUT ${lnkread_exe}
    COMMAND ${FIELDWISH_MINGW_CXX} -std=c++17 -O2 -Wall -Wextra -municode -static
            -o ${lnkread_exe} ${CMAKE_CURRENT_LIST_DIR}/lnkread.cpp -lole32 -luuid
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/lnkread.cpp
    COMMENT "Building lnkread.exe with ${FIELDWISH_MINGW_CXX}"
    VERBATIM)
  add_custom_target(lnkread ALL DEPENDS ${lnkread_exe})
endif()
