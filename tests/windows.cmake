# The Windows build: the transcript suite runs the .exe, under wine when it
# is cross-compiled, in a wine prefix of its own that a first test sets up.
find_package(Python3 COMPONENTS Interpreter)
if(CMAKE_CROSSCOMPILING)
    find_program(WINE NAMES wine64 wine PATHS /usr/lib/wine)
endif()
if(NOT Python3_FOUND OR (CMAKE_CROSSCOMPILING AND NOT WINE))
    tools_missing("Python3 and, to run the .exe here, wine" "python3 wine64")
    return()
endif()
if(CMAKE_CROSSCOMPILING)
    set(wine_environment WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wineprefix WINEDEBUG=-all)
    add_test(NAME windows/wine_prefix COMMAND ${WINE} wineboot --init)
    set_tests_properties(windows/wine_prefix PROPERTIES
        ENVIRONMENT "${wine_environment}" FIXTURES_SETUP wine LABELS windows TIMEOUT 300)

    # The .exe in the console wine gives a program started in a terminal (a
    # tmux pane): key waits, clears and lines on a real Windows console.
    cases_of(console_cases check_terminal.py --list-windows)
    foreach(case IN LISTS console_cases)
        add_test(NAME windows/console/${case}
            COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/check_terminal.py
                    $<TARGET_FILE:tinkerspindle> ${case} ${WINE})
        set_tests_properties(windows/console/${case} PROPERTIES
            ENVIRONMENT "${wine_environment}" FIXTURES_REQUIRED wine LABELS windows
            SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL ON)
    endforeach()
else()
    set(WINE "")
    set(wine_environment "")
endif()

add_scenario_tests(windows
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/check_transcript.py
            $<TARGET_FILE:tinkerspindle> SCENARIO ${WINE}
    PROPERTIES ENVIRONMENT "${wine_environment}" FIXTURES_REQUIRED wine LABELS windows)

# The rules of console key events and console lines, tested on the Windows
# build too: with an installed GoogleTest, or one built from Debian's sources
# (libgtest-dev) when cross-compiling.
find_package(GTest QUIET)
if(NOT GTest_FOUND AND EXISTS /usr/src/googletest/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(GTest_FOUND ON)
endif()
if(GTest_FOUND)
    add_executable(windows_unit_tests
        unit/windows/key_events_test.cpp
        unit/windows/console_text_test.cpp)
    target_link_libraries(windows_unit_tests PRIVATE tinkerspindle_game GTest::gtest_main)
    add_test(NAME windows/unit_tests COMMAND ${WINE} $<TARGET_FILE:windows_unit_tests>)
    set_tests_properties(windows/unit_tests PROPERTIES
        ENVIRONMENT "${wine_environment}" FIXTURES_REQUIRED wine LABELS windows)
else()
    message(WARNING "GoogleTest not found: the Windows unit tests are not built")
endif()
