# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one fuzz target over its seeds for RUNS inputs. New inputs and any
# finding go to SCRATCH, emptied first; the seeds in the tree stay as they
# are. Fails when the target finds anything.
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/corpus)
separate_arguments(OPTIONS)
execute_process(
  COMMAND ${FUZZER} -runs=${RUNS} -seed=1 ${OPTIONS} -artifact_prefix=${SCRATCH}/ ${SCRATCH}/corpus ${CORPUS}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(GLOB findings ${SCRATCH}/crash-* ${SCRATCH}/leak-* ${SCRATCH}/timeout-* ${SCRATCH}/oom-*)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input: ${findings}")
endif()
