# Cross-compiling the component for Windows with Debian's mingw-w64, the
# POSIX-threads flavour (std::thread and friends). The toolchain file of each
# architecture sets REGWIZ_MINGW_ARCH and includes this one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${REGWIZ_MINGW_ARCH})
set(REGWIZ_MINGW ${REGWIZ_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${REGWIZ_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${REGWIZ_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${REGWIZ_MINGW}-windres)
set(REGWIZ_WIDL ${REGWIZ_MINGW}-widl)
set(CMAKE_FIND_ROOT_PATH /usr/${REGWIZ_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
