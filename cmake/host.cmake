# Host side: the portable core with its tests, tools and benchmarks.
find_package(GTest REQUIRED)
find_package(benchmark QUIET)

add_subdirectory(tests/host)
add_subdirectory(tests/fuzz)
add_subdirectory(tests/package)
add_subdirectory(tools)
if(benchmark_FOUND)
  add_subdirectory(bench)
endif()
