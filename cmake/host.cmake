# Host side: the portable core with its tests, tools and benchmarks, and the
# XScreenSaver module with its package.
find_package(GTest REQUIRED)
find_package(benchmark QUIET)

add_subdirectory(x11)
add_subdirectory(tests/host)
add_subdirectory(tests/fuzz)
add_subdirectory(tests/package)
add_subdirectory(tools)
if(benchmark_FOUND)
  add_subdirectory(bench)
endif()
include(cmake/debian.cmake)

# Includes follow the order the layers link in.
add_test(NAME include_order
  COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tools/check-includes.py ${CMAKE_SOURCE_DIR}
          ${VELOMA_CORE_LAYERS} --win ${VELOMA_WIN_LAYERS} --x11 ${VELOMA_X11_LAYERS})
