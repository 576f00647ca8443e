# Native tree: portable logic and its unit tests.
option(VL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

add_library(vl_portable STATIC ${VL_PORTABLE_SOURCES})
target_include_directories(vl_portable PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(vl_portable PRIVATE ${VL_WARNINGS})

find_package(GTest REQUIRED)
file(GLOB VL_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${VL_UNIT_TESTS})
target_link_libraries(unit_tests PRIVATE vl_portable GTest::gtest GTest::gtest_main)
target_compile_options(unit_tests PRIVATE ${VL_WARNINGS})
target_compile_definitions(unit_tests PRIVATE VL_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
add_test(NAME unit_tests COMMAND unit_tests --gtest_brief=1)

# Portable files must stay free of the Windows API.
add_test(NAME portable_sources_free_of_windows_h
         COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/src -P ${CMAKE_SOURCE_DIR}/cmake/CheckPortable.cmake)

# A folder of src/ includes only itself and the folders below it.
add_test(NAME includes_follow_the_layers
         COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/src -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake)

# No source file over 600 lines, no function of the product over 80.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
  add_test(NAME functions_and_files_fit
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/check-sizes.py ${CMAKE_SOURCE_DIR}/src
                   --files-only ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/bench)
endif()

# Benchmarks (not tests): built on request by `make bench`.
file(GLOB VL_NATIVE_BENCH CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_bench.cpp)
foreach(src ${VL_NATIVE_BENCH})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} EXCLUDE_FROM_ALL ${src})
  target_link_libraries(${name} PRIVATE vl_portable)
  find_library(ZLIB_LIB z)
  if(ZLIB_LIB)
    target_link_libraries(${name} PRIVATE ${ZLIB_LIB})
  endif()
  list(APPEND VL_BENCH_TARGETS ${name})
endforeach()
if(VL_BENCH_TARGETS)
  add_custom_target(native_bench DEPENDS ${VL_BENCH_TARGETS})
endif()

# The set-up script against fake package tools (no root, nothing installed).
add_test(NAME setup_script
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/setup_test.sh ${CMAKE_SOURCE_DIR}/scripts/setup)
