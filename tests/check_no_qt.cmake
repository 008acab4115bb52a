# Fails when the given binary loads any Qt library.
execute_process(COMMAND ldd ${BINARY} OUTPUT_VARIABLE libs RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "ldd failed on ${BINARY}")
endif()
if(libs MATCHES "libQt")
    message(FATAL_ERROR "${BINARY} links Qt:\n${libs}")
endif()
message(STATUS "no Qt library in ${BINARY}")
