# What `cmake --install` puts where, and the Debian package that carries it
# (`cpack -G DEB` in the build tree): the client, the reference server and the author
# tools in bin/, the server's task bank in share/vekta/bank, and the client's menu entry
# and icon.
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
include(CPack)
