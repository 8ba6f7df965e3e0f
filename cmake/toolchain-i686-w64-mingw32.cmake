# Cross toolchain for the 32-bit Windows installer (Debian's mingw-w64).
# The -posix compilers are used because googletest needs std::mutex; with
# -static the executables still import only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LV_TRIPLET i686-w64-mingw32)

set(CMAKE_C_COMPILER   ${LV_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LV_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${LV_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LV_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
