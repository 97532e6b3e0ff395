# Runs one fuzz target as a test: first each input of its committed seed corpus on its own (a
# regression fails here, named by its file), then SECONDS of fuzzing on a fresh copy of the seeds
# in the build tree (findings and new inputs never reach the source tree); failure on any
# finding.
#   cmake -DFUZZER=exe -DSEEDS=dir -DWORK=dir -DSECONDS=n [-DDICTIONARY=file] -P run_fuzzer.cmake
foreach(var FUZZER SEEDS WORK SECONDS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_fuzzer.cmake: ${var} is not set")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/findings)
if(IS_DIRECTORY ${SEEDS})
  file(COPY ${SEEDS}/ DESTINATION ${WORK}/corpus)
endif()
set(limits -timeout=30 -rss_limit_mb=2048 -artifact_prefix=${WORK}/findings/)

# The replay: libFuzzer runs each file given once; LeakSanitizer checks at exit.
file(GLOB seeds LIST_DIRECTORIES false ${SEEDS}/*)
list(LENGTH seeds n)
if(n GREATER 0)
  execute_process(
    COMMAND ${FUZZER} ${limits} ${seeds}
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status
    ERROR_VARIABLE log
    OUTPUT_VARIABLE out)
  file(WRITE ${WORK}/replay.log "${out}${log}")
  if(NOT status EQUAL 0)
    message(STATUS "${log}")
    message(FATAL_ERROR "${FUZZER}: a seed input fails (exit status ${status}); see ${WORK}/replay.log")
  endif()
  message(STATUS "replayed ${n} seed inputs")
endif()

set(options -max_total_time=${SECONDS} -print_final_stats=1 ${limits})
if(DICTIONARY)
  list(APPEND options -dict=${DICTIONARY})
endif()
execute_process(
  COMMAND ${FUZZER} ${options} ${WORK}/corpus
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE status
  ERROR_VARIABLE log
  OUTPUT_VARIABLE out)
file(WRITE ${WORK}/fuzz.log "${out}${log}")
# The summary: libFuzzer's last status line and its final statistics.
string(REGEX MATCHALL "#[0-9]+[^\n]*(DONE|pulse|NEW|REDUCE)[^\n]*cov:[^\n]*" lines "${log}")
list(LENGTH lines n)
if(n GREATER 0)
  list(GET lines -1 last)
  message(STATUS "${last}")
endif()
string(REGEX MATCHALL "stat::[a-z_]+: *[0-9]+" stats "${log}")
foreach(s ${stats})
  message(STATUS "${s}")
endforeach()
file(GLOB findings ${WORK}/findings/*)
if(NOT status EQUAL 0 OR findings)
  message(STATUS "${log}")
  message(FATAL_ERROR "${FUZZER}: finding (exit status ${status}); the input is in ${WORK}/findings")
endif()
