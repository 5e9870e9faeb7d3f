# comboflash's Debian package (cpack --preset linux): the program, its
# manual page and bash completion (installed by cli/), and the package's
# copyright and changelog, compressed the way Debian's tools do it.
include(GNUInstallDirs)
set(COMBOFLASH_PACKAGE_NAME comboflash)
set(COMBOFLASH_PACKAGE_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${COMBOFLASH_PACKAGE_NAME})

# gzip -9n: the strongest compression, and no name or time stamp inside, so
# the same sources give the same package.
function(comboflash_gzip source output target)
  add_custom_command(OUTPUT ${output}
                     COMMAND gzip -9n -c ${source} > ${output}
                     DEPENDS ${source} VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()

comboflash_gzip(${PROJECT_SOURCE_DIR}/packaging/debian/changelog
                ${PROJECT_BINARY_DIR}/packaging/changelog.gz comboflash_changelog_gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${COMBOFLASH_PACKAGE_DOCDIR})
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${COMBOFLASH_PACKAGE_NAME})
set(CPACK_PACKAGE_CONTACT "ComboFlash Developers <dev@comboflash.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "rewrites the firmware of CD-RW/DVD combo drives, checking the image first")
# The extended description, in lines of at most 80 characters as Debian
# wants them; an empty line stands for a paragraph break.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "comboflash writes a firmware image to a CD-RW/DVD combo optical drive, as"
  "32 pages of 16 KiB, each with its checksum. It refuses an image that does"
  "not carry the drive's identity (its vendor and product as the drive gives"
  "them), so a file made for another drive is never sent."
  ""
  "Commands: list shows the optical drives and their identity; check applies"
  "the file rules and prints the image and page checksums without writing;"
  "flash writes the image after a confirmation, holding off sleep and"
  "shutdown while the pages go out.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# libstdc++ and libgcc are linked in: the C library and libsystemd are all it needs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libsystemd0")
include(CPack)
