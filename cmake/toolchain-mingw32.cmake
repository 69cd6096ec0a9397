# Cross-compiling for 32-bit Windows with Debian's mingw-w64 (i686, GCC 12).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(FIELDWISH_MINGW_HOST i686-w64-mingw32)

# The POSIX thread model: its C++ runtime has std::mutex and std::thread
# (GoogleTest needs them); the win32 model's has not.
set(CMAKE_C_COMPILER ${FIELDWISH_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FIELDWISH_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${FIELDWISH_MINGW_HOST}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FIELDWISH_MINGW_HOST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without the runtime inside, every program would need libgcc_s_dw2-1.dll,
# libstdc++-6.dll and libwinpthread-1.dll beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
