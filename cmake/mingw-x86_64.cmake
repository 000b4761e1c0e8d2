# 64-bit Windows with the MinGW-w64 posix thread-model compilers.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
