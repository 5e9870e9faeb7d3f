# comboflash_split_debug_info(<target>): after each link, moves the program's
# debug information into <file>.debug beside it and leaves a link to it in the
# program. Windows programs carry their debug sections inside the image, and
# Wine reads a whole image into memory when it starts one: a program that
# keeps them starts slower and holds megabytes more than the one users get.
#
# The program's own shipping build (cmake/ProgramRelease.cmake) links it
# without symbols, so there is nothing to move and no link to leave.
function(comboflash_split_debug_info target)
  if(COMBOFLASH_PROGRAM_BUILD)
    return()
  endif()
  if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "comboflash_split_debug_info: no objcopy for ${target}")
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
            $<TARGET_FILE:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
