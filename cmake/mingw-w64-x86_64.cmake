# Cross build for 64-bit Windows with Debian's mingw-w64, POSIX-thread flavour (std::thread needs
# it). Programs are linked statically, so that nothing but Windows' own DLLs is needed beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZARVEX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZARVEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZARVEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZARVEX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZARVEX_MINGW_TRIPLE})
# A library built for Windows elsewhere (the Qt of the windows-qt preset) is given in
# CMAKE_PREFIX_PATH; as a root of its own it is searched as it is.
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests and test discovery run the programs under wine when it is there.
find_program(ZARVEX_WINE wine)
if(ZARVEX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZARVEX_WINE})
endif()
