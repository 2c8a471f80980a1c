# The -posix compilers: GoogleTest needs std::mutex, which the win32 thread
# model's libstdc++ lacks. Everything is linked statically so that the
# executables need no DLL beside them.
set(CMAKE_C_COMPILER ${LF_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LF_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${LF_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LF_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
