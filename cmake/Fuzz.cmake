# libFuzzer targets: fuzz/<name>.cpp becomes fuzz_<name>. ctest runs each for
# a short fixed number of inputs, seeded from fuzz/corpus/<name>/ when present.
set(TOLVARAN_FUZZ_RUNS 20000 CACHE STRING "inputs per fuzz target in ctest")
file(GLOB fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
foreach(source ${fuzz_sources})
  get_filename_component(stem ${source} NAME_WE)
  set(target fuzz_${stem})
  add_executable(${target} ${source})
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${target} PRIVATE tolvaran_simrun)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  set(seeds)
  if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/fuzz/corpus/${stem})
    set(seeds ${CMAKE_SOURCE_DIR}/fuzz/corpus/${stem})
  endif()
  # A scratch corpus folder keeps the committed seeds untouched.
  set(work ${CMAKE_BINARY_DIR}/fuzz-work/${stem})
  file(MAKE_DIRECTORY ${work})
  add_test(NAME ${target}
    COMMAND ${target} -runs=${TOLVARAN_FUZZ_RUNS} -seed=1 -max_len=65536 ${work} ${seeds})
  set_tests_properties(${target} PROPERTIES LABELS "fuzz;linux")
endforeach()
