# The browser's build: Debian's Emscripten, with C++ exceptions on (the scan
# catches a thread that cannot start and memory that runs out), and what its
# libc++ 13 lacks of C++20 supplied from the C library.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
set(CMAKE_CXX_FLAGS_INIT
    "-fexceptions -include ${CMAKE_CURRENT_LIST_DIR}/emscripten_libcxx13.h")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fexceptions")
