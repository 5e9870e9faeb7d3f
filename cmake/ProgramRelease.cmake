# How ComboFlash.exe is linked for shipping: the oldest Windows it loads on
# (COMBOFLASH_SUBSYSTEM_VERSION, from the toolchain), no symbols, and nothing
# that changes from one build of the same sources to the next.
if(NOT COMBOFLASH_SUBSYSTEM_VERSION MATCHES "^([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "the toolchain names no COMBOFLASH_SUBSYSTEM_VERSION (major.minor)")
endif()
set(major ${CMAKE_MATCH_1})
set(minor ${CMAKE_MATCH_2})
target_link_options(ComboFlash PRIVATE
  -s
  -Wl,--no-insert-timestamp
  -Wl,--major-subsystem-version,${major},--minor-subsystem-version,${minor}
  -Wl,--major-os-version,${major},--minor-os-version,${minor})
# Source paths reach the program only through __FILE__; keep them relative.
target_compile_options(comboflash_options INTERFACE -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
