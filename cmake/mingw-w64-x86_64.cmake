# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix-threads
# compiler variant). Programs built here run under Wine through the
# crosscompiling emulator, so CTest runs the Windows tests on Linux.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No runtime DLLs beside the programs and the library: libgcc, libstdc++
# and winpthread are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT
  "-static-libgcc -static-libstdc++ -Wl,-Bstatic,--whole-archive -lwinpthread -Wl,--no-whole-archive")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${CMAKE_SHARED_LINKER_FLAGS_INIT}")

# Debian's wine64 loader runs 64-bit programs directly (the `wine` wrapper
# insists on a 32-bit Wine as well).
find_program(TE_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(TE_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TE_WINE64})
endif()
