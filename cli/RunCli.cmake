# Runs yieldora-cli once and checks what it did.
#   PROGRAM, EMULATOR (empty natively), ARGS (a list), EXPECTED_EXIT,
#   EXPECTED_OUT (a file holding the exact bytes of the output; empty: no output),
#   EXPECTED_ERR (the error line without its line end; empty: none), OUTPUT_PREFIX (where the output is kept).
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGS}
                OUTPUT_FILE ${OUTPUT_PREFIX}.out ERROR_FILE ${OUTPUT_PREFIX}.err
                RESULT_VARIABLE exit_code)
if(NOT exit_code STREQUAL EXPECTED_EXIT)
    message(FATAL_ERROR "exit code ${exit_code}, expected ${EXPECTED_EXIT}")
endif()

if(EXPECTED_OUT)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT_PREFIX}.out ${EXPECTED_OUT}
                    RESULT_VARIABLE different)
    if(different)
        message(FATAL_ERROR "${OUTPUT_PREFIX}.out differs from ${EXPECTED_OUT}")
    endif()
else()
    file(SIZE ${OUTPUT_PREFIX}.out size)
    if(NOT size EQUAL 0)
        message(FATAL_ERROR "unexpected output in ${OUTPUT_PREFIX}.out")
    endif()
endif()

file(READ ${OUTPUT_PREFIX}.err err)
if(EXPECTED_ERR)
    string(APPEND EXPECTED_ERR "\n")
endif()
if(NOT err STREQUAL EXPECTED_ERR)
    message(FATAL_ERROR "error output [${err}], expected [${EXPECTED_ERR}]")
endif()
