# ctest fuzz_<name>: builds the fuzzer TARGET of tests/fuzz with clang in
# WORK_DIR and runs it for SECONDS seconds on the corpus kept there.
#   cmake -DTARGET=... -DSOURCE_DIR=... -DGEN_DIR=... -DWORK_DIR=... -DCLANGXX=... -DGENERATOR=... -DSECONDS=...
#         -P run_fuzz.cmake
foreach(step configure build)
  if(step STREQUAL configure)
    set(cmd ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/fuzz -B ${WORK_DIR} -G ${GENERATOR}
      -DCMAKE_CXX_COMPILER=${CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVN_SOURCE_DIR=${SOURCE_DIR}
      -DKVN_GEN_DIR=${GEN_DIR})
  else()
    set(cmd ${CMAKE_COMMAND} --build ${WORK_DIR} --target ${TARGET})
  endif()
  execute_process(COMMAND ${cmd} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "fuzzer ${step} failed:\n${out}")
  endif()
endforeach()
file(MAKE_DIRECTORY ${WORK_DIR}/corpus)
execute_process(COMMAND ${WORK_DIR}/${TARGET} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
  -print_final_stats=1 -artifact_prefix=${WORK_DIR}/ ${WORK_DIR}/corpus RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${TARGET} found a failure (exit ${rc}); "
    "reproduce with ${WORK_DIR}/${TARGET} <crash file in ${WORK_DIR}>")
endif()
