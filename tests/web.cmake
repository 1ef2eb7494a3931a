# The browser build: every scenario typed into the page in Debian's chromium,
# driven by playwright-core (npm ci in tests/web), and the page's own checks.
find_program(NODE node REQUIRED)
set(web_tests ${CMAKE_CURRENT_SOURCE_DIR}/web)
if(NOT EXISTS ${web_tests}/node_modules/playwright-core)
    message(WARNING "The browser tests need playwright-core: npm ci --prefix tests/web")
endif()

add_scenario_tests(web
    COMMAND ${NODE} ${web_tests}/check_web.mjs ${TINKERSPINDLE_SITE} transcript SCENARIO)
foreach(check shift_alone_does_not_end_a_wait an_arrow_ends_two_waits up_recalls_a_line
              a_tap_ends_a_wait_on_a_phone)
    add_test(NAME web/page/${check}
        COMMAND ${NODE} ${web_tests}/check_web.mjs ${TINKERSPINDLE_SITE} ${check})
endforeach()
get_property(web_cases DIRECTORY PROPERTY TESTS)
set_tests_properties(${web_cases} PROPERTIES LABELS web SKIP_RETURN_CODE 77 TIMEOUT 120)
