# Installs the build into a scratch prefix and checks that the programs, the task bank,
# the menu entry, the icon, the service unit with its settings, the manual pages and the
# package's documents land where the desktop and the server look for them.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(path
        bin/vekta-client bin/vekta-server bin/vekta-formula bin/vekta-diagram
        share/vekta/bank/users.txt
        share/applications/vekta-client.desktop
        share/icons/hicolor/scalable/apps/vekta-client.svg
        lib/systemd/system/vekta-server.service etc/vekta/vekta-server.conf
        share/man/man1/vekta-server.1 share/man/man1/vekta-client.1
        share/doc/vekta/copyright share/doc/vekta/changelog.Debian.gz)
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
file(GLOB_RECURSE tasks ${PREFIX}/share/vekta/bank/*.task)
if(NOT tasks)
    message(FATAL_ERROR "the task bank was installed without its tasks")
endif()
file(REMOVE_RECURSE ${PREFIX})
