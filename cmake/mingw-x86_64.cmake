set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# Test programs and our test libraries use std::thread and std::mutex, which
# only the posix threading flavour gives. ComboFlash.exe itself is built apart
# with the win32 flavour (cmake/ProgramBuild.cmake), as the 32-bit one is.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(COMBOFLASH_PROGRAM_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64-program.cmake)
