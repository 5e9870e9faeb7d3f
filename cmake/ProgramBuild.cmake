# ComboFlash.exe is built apart from the tests, in a build of its own under
# program/, with the toolchain named by COMBOFLASH_PROGRAM_TOOLCHAIN: the
# tests need the posix threading runtime, the program must not import it.
# It is a Release build, stripped and without a time stamp, so the file the
# end-to-end tests run is byte for byte the one tools/package ships.
#
# The program lands where a build of app/ would put it (app/ComboFlash.exe),
# and the imported target ComboFlash names it for the tests.
include(ExternalProject)

set(COMBOFLASH_PROGRAM_FILE ${CMAKE_BINARY_DIR}/app/ComboFlash.exe)
ExternalProject_Add(comboflash_program
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/program
  CMAKE_GENERATOR ${CMAKE_GENERATOR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${COMBOFLASH_PROGRAM_TOOLCHAIN}
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_TESTING=OFF
    -DCOMBOFLASH_PROGRAM_BUILD=ON
    -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${CMAKE_BINARY_DIR}/app
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ComboFlash
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${COMBOFLASH_PROGRAM_FILE}
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

add_executable(ComboFlash IMPORTED GLOBAL)
set_target_properties(ComboFlash PROPERTIES IMPORTED_LOCATION ${COMBOFLASH_PROGRAM_FILE})
add_dependencies(ComboFlash comboflash_program)
