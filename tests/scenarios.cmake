# One test per scenario of tests/transcripts, named GROUP/NAME: COMMAND runs
# with the scenario's NAME.in in the place of the word SCENARIO, and the
# PROPERTIES are set on each test.
function(add_scenario_tests group)
    cmake_parse_arguments(PARSE_ARGV 1 scenario_tests "" "" "COMMAND;PROPERTIES")
    file(GLOB scenarios CONFIGURE_DEPENDS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/transcripts/*.in)
    foreach(scenario IN LISTS scenarios)
        get_filename_component(name ${scenario} NAME_WE)
        list(TRANSFORM scenario_tests_COMMAND REPLACE "^SCENARIO$" ${scenario}
             OUTPUT_VARIABLE command)
        add_test(NAME ${group}/${name} COMMAND ${command})
        if(scenario_tests_PROPERTIES)
            set_tests_properties(${group}/${name} PROPERTIES ${scenario_tests_PROPERTIES})
        endif()
    endforeach()
endfunction()
