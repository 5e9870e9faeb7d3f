# The compiler and linker flags Debian builds its packages with, every
# hardening feature on (stack protector, fortified functions, read-only
# relocations bound at start): what dpkg-buildflags gives a package that
# asks for hardening=+all. Included before any target, so every library
# linked into comboflash gets them too.
find_program(COMBOFLASH_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT COMBOFLASH_DPKG_BUILDFLAGS)
  message(FATAL_ERROR "dpkg-buildflags not found: install dpkg-dev (tools/packages.txt lists it)")
endif()

function(comboflash_debian_flag name out)
  # Run from the source folder: dpkg-buildflags maps that path to "." in the
  # debug information, so the package does not depend on where it was built.
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${COMBOFLASH_DPKG_BUILDFLAGS} --get ${name}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  set(${out} "${flags}" PARENT_SCOPE)
endfunction()

comboflash_debian_flag(CPPFLAGS debian_cppflags)
comboflash_debian_flag(CFLAGS debian_cflags)
comboflash_debian_flag(CXXFLAGS debian_cxxflags)
comboflash_debian_flag(LDFLAGS debian_ldflags)
# The build type's own flags come after these, so Release keeps its -O3.
string(APPEND CMAKE_C_FLAGS " ${debian_cppflags} ${debian_cflags}")
string(APPEND CMAKE_CXX_FLAGS " ${debian_cppflags} ${debian_cxxflags}")
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${debian_ldflags}")
