# Formats every manual page with groff's warnings on: a page must format without one.
# Skipped (the output says so) where groff is not installed.
find_program(GROFF groff)
if(NOT GROFF)
    message("skipped: groff is not installed")
    return()
endif()
file(GLOB pages ${MAN_DIR}/*.1)
list(LENGTH pages count)
if(count LESS 6)
    message(FATAL_ERROR "only ${count} manual pages in ${MAN_DIR}")
endif()
foreach(page ${pages})
    execute_process(COMMAND ${GROFF} -man -ww -z -Tutf8 ${page}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0 OR NOT output STREQUAL "")
        message(FATAL_ERROR "${page}:\n${output}")
    endif()
endforeach()
