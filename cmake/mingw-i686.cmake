set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
# Test programs and our test libraries use std::thread and std::mutex, which
# only the posix threading flavour gives. ComboFlash.exe itself is built apart
# with the win32 flavour (cmake/ProgramBuild.cmake): the posix runtime imports
# functions Windows 98, 2000 and XP lack, and the loader would refuse it.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(COMBOFLASH_PROGRAM_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/mingw-i686-program.cmake)
