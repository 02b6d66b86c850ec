# Benchmarks: bench/<name>.cpp becomes bench_<name> (Google Benchmark), built
# natively only. `make bench` runs them for their figures; ctest runs each
# once, briefly, so that they keep building and running (label "bench"); no
# test ever asserts a time.
if(CMAKE_CROSSCOMPILING)
  return()
endif()
file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(NOT bench_sources)
  return()
endif()
find_package(benchmark REQUIRED)
foreach(source ${bench_sources})
  get_filename_component(stem ${source} NAME_WE)
  set(target bench_${stem})
  add_executable(${target} ${source})
  target_link_libraries(${target} PRIVATE tolvaran_simrun benchmark::benchmark
                                          benchmark::benchmark_main)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${target} COMMAND ${target} --benchmark_min_time=0.001)
  set_tests_properties(${target} PROPERTIES LABELS "bench;${TOLVARAN_PLATFORM_LABEL}")
endforeach()
# ctest only keeps the whole-run benchmark working: its small case will do.
if(TEST bench_run_bench)
  set_tests_properties(bench_run_bench PROPERTIES ENVIRONMENT TOLVARAN_BENCH_BRIEF=1)
endif()
