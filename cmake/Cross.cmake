# Cross tree: the plug-in DLL, the emulated host and the Win32 tests (run under Wine).
set(VL_BIN ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${VL_BIN})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${VL_BIN})

set(VL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh.in ${CMAKE_BINARY_DIR}/wine-prefix.sh @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

set(VL_WIN_DEFS STRICT NOMINMAX WIN32_LEAN_AND_MEAN UNICODE _UNICODE _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)
set(VL_WIN_LIBS comctl32 comdlg32 shell32 ole32 winmm gdi32 user32 kernel32 shlwapi)
set(VL_STATIC_LINK -static -static-libgcc -static-libstdc++)

file(GLOB VL_RC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/resources/*.rc)
# The version record carries the project's version.
set_source_files_properties(${VL_RC} PROPERTIES COMPILE_DEFINITIONS
  "VL_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};VL_VERSION_MINOR=${PROJECT_VERSION_MINOR};VL_VERSION_PATCH=${PROJECT_VERSION_PATCH}")

# Every source once, shared by the DLL and the Win32 tests that exercise classes directly.
add_library(vl_objects OBJECT ${VL_ALL_SOURCES})
target_include_directories(vl_objects PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(vl_objects PUBLIC ${VL_WIN_DEFS})
target_compile_options(vl_objects PRIVATE ${VL_WARNINGS})

add_library(gen_VelvetLister SHARED $<TARGET_OBJECTS:vl_objects> ${VL_RC})
set_target_properties(gen_VelvetLister PROPERTIES PREFIX "" OUTPUT_NAME gen_VelvetLister)
target_link_libraries(gen_VelvetLister PRIVATE ${VL_WIN_LIBS})
target_link_options(gen_VelvetLister PRIVATE ${VL_STATIC_LINK} -Wl,--enable-stdcall-fixup)

# The test build: the same objects plus an export that hands the tests the
# counters of base/TestSeam.h and an operator new that fails on request.
add_library(gen_VelvetLister_test SHARED $<TARGET_OBJECTS:vl_objects> ${CMAKE_SOURCE_DIR}/tests/win32/seam/TestBuild_win.cpp ${VL_RC})
set_target_properties(gen_VelvetLister_test PROPERTIES PREFIX "")
target_include_directories(gen_VelvetLister_test PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(gen_VelvetLister_test PRIVATE ${VL_WIN_DEFS})
target_link_libraries(gen_VelvetLister_test PRIVATE ${VL_WIN_LIBS})
target_link_options(gen_VelvetLister_test PRIVATE ${VL_STATIC_LINK} -Wl,--enable-stdcall-fixup)

# The emulated host: a library for the tests, a small exe for the demo.
file(GLOB VL_HOST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/testhost/*.cpp)
list(FILTER VL_HOST_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(testhost_lib STATIC ${VL_HOST_SOURCES})
target_include_directories(testhost_lib PUBLIC ${CMAKE_SOURCE_DIR}/testhost ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(testhost_lib PUBLIC ${VL_WIN_DEFS})
target_compile_options(testhost_lib PRIVATE ${VL_WARNINGS})
target_link_libraries(testhost_lib PUBLIC ${VL_WIN_LIBS})
add_executable(testhost WIN32 ${CMAKE_SOURCE_DIR}/testhost/main.cpp)
target_link_libraries(testhost PRIVATE testhost_lib)
target_link_options(testhost PRIVATE ${VL_STATIC_LINK} -municode)

# GoogleTest from the Debian sources.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The Wine prefix is made once per build tree, before any Win32 test runs.
add_test(NAME wine_prefix COMMAND ${CMAKE_BINARY_DIR}/wine-prefix.sh)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)

# The DLL must import only system DLLs and export exactly the plug-in entry.
add_test(NAME dll_imports_and_exports
         COMMAND ${CMAKE_SOURCE_DIR}/cmake/check-dll.sh $<TARGET_FILE:gen_VelvetLister>)

file(GLOB VL_WIN32_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/support/*.cpp)
add_library(vl_win32_support STATIC ${VL_WIN32_SUPPORT})
target_include_directories(vl_win32_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/win32/support)
target_link_libraries(vl_win32_support PUBLIC testhost_lib gtest)
target_compile_options(vl_win32_support PRIVATE ${VL_WARNINGS})

# Tests that handle paths, names, titles, sorting or captions run a second time
# under the Japanese ANSI code page (932, Shift-JIS), where a double-byte
# character's second byte may be 0x5C, the byte of "\". Their main fails unless
# the process really got that code page. Add a test's name here to give it a twin.
set(VL_CP932_TESTS CommonLib_test Captions_test PlayListWindow_test PlayListDrop_test PlayListDrawing_test
                   PlayListCommands_test PlayListSync_test ListBox_test ListBoxPaint_test ListBoxEvents_test
                   ListBoxCommands_test SkinApply_test Settings_test Preferences_test TagReaders_test
                   PlayListFiles_test JumpToFile_test SkinInherit_test PlayListDialogs_test PlayListUnicode_test)

file(GLOB VL_WIN32_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*_test.cpp)
foreach(src ${VL_WIN32_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src} $<TARGET_OBJECTS:vl_objects> ${VL_RC})
  target_link_libraries(${name} PRIVATE vl_win32_support ${VL_WIN_LIBS} version)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(${name} PRIVATE ${VL_WIN_DEFS} VL_TEST_DATA_DIR="Z:${CMAKE_SOURCE_DIR}/tests/data")
  target_compile_options(${name} PRIVATE ${VL_WARNINGS})
  target_link_options(${name} PRIVATE ${VL_STATIC_LINK})
  add_dependencies(${name} gen_VelvetLister gen_VelvetLister_test testhost)
  # Through the wrapper: a run passes only when every planned test ran (a crash
  # under Wine can end with status 0), and it stops a hang before CTest does.
  set(run ${CMAKE_SOURCE_DIR}/cmake/run-gtest.sh 590 ${CMAKE_BINARY_DIR}/wine-run.sh $<TARGET_FILE:${name}>)
  add_test(NAME ${name} COMMAND ${run} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK display TIMEOUT 600)
  if(name IN_LIST VL_CP932_TESTS)
    add_test(NAME ${name}_cp932 COMMAND ${run} --gtest_brief=1 --code-page=932)
    set_tests_properties(${name}_cp932 PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK display TIMEOUT 600
                         ENVIRONMENT VL_WINE_LC_ALL=ja_JP.UTF-8)
  endif()
endforeach()

# Win32 benchmarks, built on request by `make bench`.
file(GLOB VL_WIN_BENCH CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_winbench.cpp)
foreach(src ${VL_WIN_BENCH})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} EXCLUDE_FROM_ALL ${src} $<TARGET_OBJECTS:vl_objects> ${VL_RC})
  target_link_libraries(${name} PRIVATE vl_win32_support ${VL_WIN_LIBS})
  target_compile_definitions(${name} PRIVATE ${VL_WIN_DEFS})
  target_link_options(${name} PRIVATE ${VL_STATIC_LINK})
  add_dependencies(${name} gen_VelvetLister)
  list(APPEND VL_WIN_BENCH_TARGETS ${name})
endforeach()
if(VL_WIN_BENCH_TARGETS)
  add_custom_target(win_bench DEPENDS ${VL_WIN_BENCH_TARGETS})
endif()

# The setup program, made for its test by the release script into a folder of the
# tree (the ordinary build does not make it; `make dist` does), then installed and
# removed silently. The lock: a window of the player's class from another test
# would count as a running player.
add_test(NAME installer_build
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/dist ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/installer_test)
set_tests_properties(installer_build PROPERTIES FIXTURES_SETUP installer TIMEOUT 300)
add_executable(HoldLibrary ${CMAKE_SOURCE_DIR}/tests/scripts/HoldLibrary_win.cpp)
target_link_options(HoldLibrary PRIVATE ${VL_STATIC_LINK})
add_test(NAME installer
         COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/installer_test.sh ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/installer_test
                 $<TARGET_FILE:HoldLibrary>)
set_tests_properties(installer PROPERTIES FIXTURES_REQUIRED "wine;installer" RESOURCE_LOCK display TIMEOUT 300)
