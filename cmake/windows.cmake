# Windows side: the Win32 layer, the screen saver and the Wine test suites.
enable_language(RC)

set(VELOMA_STATIC_LINK -static -static-libgcc -static-libstdc++)
set(VELOMA_WIN_LIBS user32 gdi32 advapi32 winmm comdlg32 comctl32 kernel32)
set(VELOMA_RC ${CMAKE_SOURCE_DIR}/res/VelomaSS.rc)
# windres does not report what the script includes: rebuild on any resource change.
file(GLOB VELOMA_RC_INPUTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.rc ${CMAKE_SOURCE_DIR}/res/*.h
  ${CMAKE_SOURCE_DIR}/res/*.ico ${CMAKE_SOURCE_DIR}/res/*.bmp ${CMAKE_SOURCE_DIR}/res/*.manifest)
list(APPEND VELOMA_RC_INPUTS ${CMAKE_BINARY_DIR}/generated/VelomaVersion.h)
set_source_files_properties(${VELOMA_RC} PROPERTIES OBJECT_DEPENDS "${VELOMA_RC_INPUTS}")
# windres hands its defines to the preprocessor through a shell, which eats
# the quotes of a string; the resources take the version from a header.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/VelomaVersion.h CONTENT
"#undef VELOMA_VERSION_TEXT
#define VELOMA_VERSION_MAJOR ${PROJECT_VERSION_MAJOR}
#define VELOMA_VERSION_MINOR ${PROJECT_VERSION_MINOR}
#define VELOMA_VERSION_PATCH ${PROJECT_VERSION_PATCH}
#define VELOMA_VERSION_TEXT \"${PROJECT_VERSION}\"
")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/res -I${CMAKE_BINARY_DIR}/generated")

target_compile_definitions(veloma_base PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  VELOMA_VERSION_TEXT="${PROJECT_VERSION}")

foreach(dir ${VELOMA_WIN_LAYERS})
  veloma_layer_library(${dir} "${VELOMA_LAST_LAYER}")
endforeach()
target_link_libraries(veloma_platform PUBLIC ${VELOMA_WIN_LIBS})
add_library(velomawin INTERFACE)
target_link_libraries(velomawin INTERFACE ${VELOMA_LAST_LAYER})

add_executable(VelomaSS WIN32 app/win/main.cpp ${VELOMA_RC})
set_target_properties(VelomaSS PROPERTIES SUFFIX ".scr")
target_link_libraries(VelomaSS PRIVATE velomawin ${VELOMA_STATIC_LINK} -municode)

# Tests run under Wine through our one entry point, which picks the loader and
# the prefix this machine can run.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)

set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_subdirectory(tests/win)

# The saver's default piece image is velomass.bmp in the current directory;
# keep our own beside the .scr.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/velomass.bmp
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/res/velomass.bmp ${CMAKE_BINARY_DIR}/velomass.bmp
  DEPENDS ${CMAKE_SOURCE_DIR}/res/velomass.bmp)
add_custom_target(piece_image ALL DEPENDS ${CMAKE_BINARY_DIR}/velomass.bmp)
add_dependencies(VelomaSS piece_image)

# The preview inside one process, where Wine draws it: for the README's picture.
add_executable(preview_inprocess docs/preview_inprocess.cpp ${VELOMA_RC})
target_link_libraries(preview_inprocess PRIVATE velomawin ${VELOMA_STATIC_LINK} -municode)

# The reference window the whole saver's CPU is measured against.
add_subdirectory(bench)

# End to end: the real .scr under Wine on the display, driven from Python.
add_subdirectory(tests/e2e/host)
add_subdirectory(tests/e2e)
