# What `cmake --install` puts where, and the Debian package that carries it
# (`cpack -G DEB` in the build tree): the client, the reference server and the author
# tools in bin/, the server's task bank in share/vekta/bank (its users.txt holds the demo
# accounts, which the server takes only with --demo), the client's menu entry and icon,
# the server's system service (installed disabled) with its settings in /etc/vekta, the
# manual pages, and the package's copyright and changelog.
include(GNUInstallDirs)

install(TARGETS vekta-client vekta-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Tools join as soon as their targets exist.
foreach(tool vekta-formula vekta-diagram vekta-task vekta-animate)
    if(TARGET ${tool})
        install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()
install(DIRECTORY server/bank/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vekta/bank)
install(FILES desktop/vekta-client.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES desktop/vekta-client.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The service unit goes where systemd looks for the units of packages; its settings file
# to /etc/vekta when installed under /usr (the package), else under the prefix.
install(FILES packaging/vekta-server.service DESTINATION lib/systemd/system)
# The folder is decided when installing, where the prefix is known; it is written without
# its leading "/" so that the destination below stays absolute.
install(CODE [[
    if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
        set(VEKTA_CONFIG_DIR etc/vekta)
    else()
        string(REGEX REPLACE "^/+" "" VEKTA_CONFIG_DIR "${CMAKE_INSTALL_PREFIX}/etc/vekta")
    endif()
]])
install(FILES packaging/vekta-server.conf DESTINATION "/\${VEKTA_CONFIG_DIR}")
file(GLOB manual_pages ${PROJECT_SOURCE_DIR}/packaging/man/*.1)
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(package_doc ${CMAKE_INSTALL_DATADIR}/doc/vekta)
set(changelog_gz ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(OUTPUT ${changelog_gz}
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog.Debian > ${changelog_gz}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog.Debian)
add_custom_target(package_changelog ALL DEPENDS ${changelog_gz})
install(FILES packaging/copyright ${changelog_gz} DESTINATION ${package_doc})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vekta)
set(CPACK_PACKAGE_VENDOR "Кафедра теоретической механики")
set(CPACK_PACKAGE_CONTACT "Кафедра теоретической механики <vekta@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Client of the VEKTA remote testing system for theoretical mechanics")
set(CPACK_PACKAGE_DESCRIPTION
    "The student's desktop client of VEKTA: tasks in statics, kinematics and dynamics with
their diagrams and animations, answers typed as formulas, a calculator and help. The package
also carries the reference testing server with a sample task bank and the command-line tools
for task authors.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
# The Qt 6 libraries come from the programs' own links; the icons need the SVG plugins,
# the server the SQLite driver, the windows the fonts that stand in for the ones they ask for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6svg6, libqt6sql6-sqlite, fonts-dejavu-core, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-sil-andika")
# The settings file is the administrator's: an upgrade keeps their changes.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/conffiles)
include(CPack)
