# The browser build in Debian's chromium, driven by playwright-core (npm ci
# in tests/web): every scenario whose input a keyboard types, played into the
# page and checked by the same checker as every other build; and the page's
# own checks.
find_package(Python3 COMPONENTS Interpreter)
find_program(NODE node)
set(web_tests ${CMAKE_CURRENT_SOURCE_DIR}/web)
if(NOT Python3_FOUND OR NOT NODE OR NOT EXISTS /usr/bin/chromium
   OR NOT EXISTS ${web_tests}/node_modules/playwright-core)
    tools_missing("Python3, Node.js, chromium and playwright-core"
                  "python3 nodejs chromium, then npm ci --prefix tests/web")
    return()
endif()

# Python by path, not as a target: the toolchain would run a target's
# program under node.
set(site $<TARGET_FILE_DIR:tinkerspindle>)
add_scenario_tests(web
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/check_transcript.py
            ${site} SCENARIO ${NODE} ${web_tests}/check_web.mjs)
cases_of(page_checks web/check_web.mjs --list)
foreach(check IN LISTS page_checks)
    add_test(NAME web/page/${check} COMMAND ${NODE} ${web_tests}/check_web.mjs ${site} ${check})
endforeach()
get_property(web_cases DIRECTORY PROPERTY TESTS)
set_tests_properties(${web_cases} PROPERTIES LABELS web SKIP_RETURN_CODE 77 TIMEOUT 120)

# The page as Orca speaks it; alone, since the speech is awaited by the second.
cases_of(screen_reader_cases web/check_screen_reader.py --list)
foreach(case IN LISTS screen_reader_cases)
    add_test(NAME web/screen_reader/${case}
             COMMAND ${Python3_EXECUTABLE} ${web_tests}/check_screen_reader.py ${site} ${case})
    set_tests_properties(web/screen_reader/${case} PROPERTIES LABELS "web;screen_reader"
                         SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)
endforeach()
