# Runs one fuzz target for RUNS inputs from its committed seed corpus. New
# inputs go to a fresh work folder, so the committed corpus is never changed;
# a crash leaves its input in the work folder and fails the test.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/new)
execute_process(COMMAND ${FUZZER} -runs=${RUNS} -timeout=20 -rss_limit_mb=2560
                        -artifact_prefix=${WORK}/ ${WORK}/new ${CORPUS}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${rc}); the input is in ${WORK}")
endif()
