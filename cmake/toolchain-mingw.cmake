# Shared part of the two MinGW toolchain files. The plain compilers use the
# win32 thread model, which has no std::thread or std::mutex: use -posix.
set(CMAKE_C_COMPILER   ${TARNWELL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNWELL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TARNWELL_TRIPLE}-windres)
set(CMAKE_AR           /usr/bin/${TARNWELL_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${TARNWELL_TRIPLE}-ranlib CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH /usr/${TARNWELL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
