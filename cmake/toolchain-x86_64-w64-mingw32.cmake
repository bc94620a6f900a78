# 64-bit Windows: the build the tests run under 64-bit wine (32-bit programs
# cannot run on these machines).
set(REGWIZ_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
