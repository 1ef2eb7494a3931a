# Installing on Linux and the like: the program, its manual page in the
# games section, the README, a desktop entry that opens it in a terminal,
# the icon in the hicolor theme and AppStream metainfo, which menus and
# software centres read. Games go in bin/ by GNUInstallDirs; the Debian
# package puts the program in games/ as Debian's layout asks.
set(TINKERSPINDLE_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR} CACHE STRING
    "Where the program is installed, relative to the prefix")
# The Debian package, made as Debian's own games are (lintian is the judge):
# the system's libedit, the manual page, the changelog and a README for
# players compressed, the licence in a machine-readable copyright file.
option(TINKERSPINDLE_DEBIAN_PACKAGE "Install as the Debian package does" OFF)
# Named in reverse-DNS as AppStream asks, after the project's mail domain.
set(application_id invalid.tinkerspindle.tinkerspindle)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(program_path ${CMAKE_INSTALL_PREFIX}/${TINKERSPINDLE_PROGRAM_DIR}/tinkerspindle)

configure_file(doc/tinkerspindle.6.in tinkerspindle.6 @ONLY)
configure_file(${packaging}/tinkerspindle.desktop.in ${application_id}.desktop @ONLY)
configure_file(${packaging}/tinkerspindle.metainfo.xml.in ${application_id}.metainfo.xml @ONLY)
install(TARGETS tinkerspindle RUNTIME DESTINATION ${TINKERSPINDLE_PROGRAM_DIR})
install(FILES ${PROJECT_BINARY_DIR}/${application_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TINKERSPINDLE_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${application_id}.svg)
install(FILES ${PROJECT_BINARY_DIR}/${application_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

if(NOT TINKERSPINDLE_DEBIAN_PACKAGE)
    install(FILES ${PROJECT_BINARY_DIR}/tinkerspindle.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
    return()
endif()

# Compressed as dh_compress does: no name, no time in the header.
function(install_compressed source destination)
    get_filename_component(name ${source} NAME)
    set(compressed ${PROJECT_BINARY_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${compressed} COMMAND gzip -9nc ${source} > ${compressed}
        DEPENDS ${source})
    add_custom_target(compress_${name} ALL DEPENDS ${compressed})
    install(FILES ${compressed} DESTINATION ${destination})
endfunction()
install_compressed(${PROJECT_BINARY_DIR}/tinkerspindle.6 ${CMAKE_INSTALL_MANDIR}/man6)
install_compressed(${packaging}/debian/changelog ${CMAKE_INSTALL_DOCDIR})
# A README for players, not the build's.
configure_file(${packaging}/debian/README.in README @ONLY)
install_compressed(${PROJECT_BINARY_DIR}/README ${CMAKE_INSTALL_DOCDIR})
# The copyright file holds the licence's own text, taken from LICENSE.
file(READ LICENSE licence)
string(REGEX REPLACE "^[^\n]*\n\n[^\n]*\n\n" "" licence "${licence}")  # its title and copyright line
string(REGEX REPLACE "\n$" "" licence "${licence}")
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " LICENCE_TEXT " ${licence}")
configure_file(${packaging}/debian/copyright.in copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# As dh_strip does: no symbols, no compiler's signature (.comment).
install(CODE "execute_process(COMMAND ${CMAKE_STRIP} --remove-section=.comment --remove-section=.note
                              --strip-unneeded \$ENV{DESTDIR}${program_path})")

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
