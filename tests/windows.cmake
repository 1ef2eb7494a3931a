# The Windows build: the transcript suite runs the .exe, under wine when it
# is cross-compiled, in a wine prefix of its own that a first test sets up.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
if(CMAKE_CROSSCOMPILING)
    find_program(WINE NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)
    set(wine_environment WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wineprefix WINEDEBUG=-all)
    add_test(NAME windows/wine_prefix COMMAND ${WINE} wineboot --init)
    set_tests_properties(windows/wine_prefix PROPERTIES
        ENVIRONMENT "${wine_environment}" FIXTURES_SETUP wine LABELS windows TIMEOUT 300)
else()
    set(WINE "")
    set(wine_environment "")
endif()

file(GLOB scenarios CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/transcripts/*.in)
foreach(scenario IN LISTS scenarios)
    get_filename_component(name ${scenario} NAME_WE)
    add_test(NAME windows/${name}
        COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/check_transcript.py
                $<TARGET_FILE:tinkerspindle> ${scenario} ${WINE})
    set_tests_properties(windows/${name} PROPERTIES
        ENVIRONMENT "${wine_environment}" FIXTURES_REQUIRED wine LABELS windows)
endforeach()
