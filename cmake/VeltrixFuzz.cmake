# veltrix_fuzz_target(NAME SOURCES ... DEPENDS ... CORPUS folder [OPTIONS libFuzzer flags ...])
#
# One fuzz target per parser of outside input. SOURCES define
# LLVMFuzzerTestOneInput; DEPENDS are the libraries under test, linked whole
# (they are built with the build's own flags, so in a fuzz build the fuzzer
# sees their coverage, not only the target's file). CORPUS is the folder of
# seed files beside the target, committed: a few small real files of the kind.
# OPTIONS are passed to libFuzzer on every run (a dictionary, -max_len=...).
#
# In a fuzz build (-DVELTRIX_FUZZ=ON, clang) the target is a libFuzzer program
# in fuzz/, and CTest runs it from its corpus for VELTRIX_FUZZ_SECONDS under the
# label "fuzz": any crash, leak, time-out or sanitizer report fails. New inputs
# go to fuzz/corpus/NAME in the build folder, never into the seeds.
# In any other build it is a replay program that CTest runs over the seeds
# with the rest of the suite, so every seed stays readable by the code it feeds.
set(VELTRIX_FUZZ_SECONDS 30 CACHE STRING "How long CTest runs each fuzz target in a fuzz build")

function(veltrix_fuzz_target name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;DEPENDS;OPTIONS" ${ARGN})
  if(NOT ARG_CORPUS)
    message(FATAL_ERROR "veltrix_fuzz_target(${name}): CORPUS is required")
  endif()
  get_filename_component(seeds ${ARG_CORPUS} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT IS_DIRECTORY ${seeds})
    message(FATAL_ERROR "veltrix_fuzz_target(${name}): no corpus folder ${seeds}")
  endif()

  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} veltrix_fuzz_support)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)

  if(VELTRIX_FUZZ)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(work ${CMAKE_BINARY_DIR}/fuzz/corpus/${name})
    file(MAKE_DIRECTORY ${work} ${CMAKE_BINARY_DIR}/fuzz/artifacts)
    add_test(NAME fuzz_${name}
      COMMAND ${name} -max_total_time=${VELTRIX_FUZZ_SECONDS} -timeout=25 -print_final_stats=1
              -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz/artifacts/${name}- ${ARG_OPTIONS} ${work} ${seeds})
    math(EXPR limit "${VELTRIX_FUZZ_SECONDS} + 240")
    set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz TIMEOUT ${limit}
      ENVIRONMENT VELTRIX_DISPLAY=headless)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/FuzzReplayMain.cpp)
    add_test(NAME fuzz_replay_${name} COMMAND ${name} ${seeds})
    set_tests_properties(fuzz_replay_${name} PROPERTIES
      ENVIRONMENT VELTRIX_DISPLAY=headless)
  endif()
endfunction()
