# One place for the warning flags and the sanitizer switch of every target.
add_library(comboflash_options INTERFACE)
target_compile_options(comboflash_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
target_include_directories(comboflash_options INTERFACE ${PROJECT_SOURCE_DIR})

option(COMBOFLASH_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(COMBOFLASH_SANITIZE)
  target_compile_options(comboflash_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(comboflash_options INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
  # ComboFlash.exe and every test program must run with the system's DLLs alone.
  target_link_options(comboflash_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()
