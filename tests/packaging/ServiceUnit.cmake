# Checks the service unit as systemd reads it: a copy whose ExecStart names the built server
# must pass "systemd-analyze verify" without a complaint about the unit. Skipped (the
# output says so) where systemd-analyze is not installed.
find_program(SYSTEMD_ANALYZE systemd-analyze)
if(NOT SYSTEMD_ANALYZE)
    message("skipped: systemd-analyze is not installed")
    return()
endif()
file(READ ${UNIT} unit)
string(REPLACE "/usr/bin/vekta-server" "${SERVER}" unit "${unit}")
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(WRITE ${WORK_DIR}/vekta-server.service "${unit}")
execute_process(COMMAND ${SYSTEMD_ANALYZE} verify --man=no ${WORK_DIR}/vekta-server.service
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR output MATCHES "vekta-server")
    message(FATAL_ERROR "systemd-analyze verify (${result}):\n${output}")
endif()
