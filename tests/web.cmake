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
foreach(check shift_alone_does_not_end_a_wait browser_keys_keep_their_meaning_at_a_wait
              up_recalls_a_line a_tap_ends_a_wait_on_a_phone
              a_wait_is_told_from_a_prompt_and_each_reply_announced_once
              a_click_ends_a_wait_and_typing_finds_the_field a_composing_enter_ends_no_line
              offline_and_installable title_box_whole_at_320_pixels a_missing_file_is_told_in_words
              a_key_as_the_page_arrives_ends_the_title_wait keys_typed_while_the_game_loads_reach_it
              nothing_for_axe nothing_for_axe_at_320_pixels)
    add_test(NAME web/page/${check} COMMAND ${NODE} ${web_tests}/check_web.mjs ${site} ${check})
endforeach()
get_property(web_cases DIRECTORY PROPERTY TESTS)
set_tests_properties(${web_cases} PROPERTIES LABELS web SKIP_RETURN_CODE 77 TIMEOUT 120)

# The page as Orca speaks it; alone, since the speech is awaited by the second.
foreach(case play_through fresh_loads)
    add_test(NAME web/screen_reader/${case}
             COMMAND ${Python3_EXECUTABLE} ${web_tests}/check_screen_reader.py ${site} ${case})
    set_tests_properties(web/screen_reader/${case} PROPERTIES LABELS "web;screen_reader"
                         SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)
endforeach()
