# The Windows build under Wine: its imports, then the end-to-end suite, run in a Wine prefix that
# is made in the Windows build's folder before any of them. Included from the tests' folder, where
# e2e_tests is defined, since only there can its tests be discovered once more.
find_program(WINE wine REQUIRED)
find_program(WINEBOOT wineboot REQUIRED)
find_program(WINESERVER wineserver REQUIRED)
find_program(MINGW_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
get_filename_component(windows_build ${ORVANE_WINDOWS_EXE} DIRECTORY)
set(wine_environment WINEPREFIX=${windows_build}/wine-prefix WINEDEBUG=-all)

add_test(NAME windows.wine_prefix COMMAND ${CMAKE_COMMAND} -E env ${wine_environment}
  sh -c "${WINEBOOT} -i && ${WINESERVER} -w")
set_tests_properties(windows.wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix
  RESOURCE_LOCK wine_prefix LABELS windows)

add_test(NAME windows.imports
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/windows/check_imports.sh ${MINGW_OBJDUMP} ${ORVANE_WINDOWS_EXE})
set_tests_properties(windows.imports PROPERTIES LABELS windows)

# The suite's properties hold lists, which gtest_discover_tests cannot pass on, so they are set from
# a file that CTest reads after the one that adds the discovered tests. The tests take turns: the
# programs of one prefix share a Windows desktop, whose one foreground window would take the keys
# of another test's viewer.
gtest_discover_tests(e2e_tests TEST_PREFIX windows. TEST_LIST windows_e2e_tests)
set(suite_environment VIEWER_PROGRAM=${ORVANE_WINDOWS_EXE} VIEWER_LAUNCHER=${WINE} ${wine_environment})
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/windows_e2e_properties.cmake @ONLY CONTENT [[
set_tests_properties(${windows_e2e_tests} PROPERTIES LABELS "e2e;windows"
  ENVIRONMENT "@suite_environment@" FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_prefix)
]])
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
  ${CMAKE_CURRENT_BINARY_DIR}/windows_e2e_properties.cmake)
