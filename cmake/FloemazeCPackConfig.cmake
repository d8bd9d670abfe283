# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack when it runs: without SOURCE_DATE_EPOCH in the environment, the time of the last
# commit of the source tree stamps the package's files, so two packages of one commit are the same
# bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    find_program(FLOEMAZE_GIT git)
    if(FLOEMAZE_GIT)
        execute_process(COMMAND ${FLOEMAZE_GIT} -C ${CPACK_FLOEMAZE_SOURCE_DIR} log -1 --format=%ct
                        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                        RESULT_VARIABLE status ERROR_QUIET)
        if(status EQUAL 0 AND epoch MATCHES "^[0-9]+$")
            set(ENV{SOURCE_DATE_EPOCH} ${epoch})
        endif()
    endif()
endif()
