# The POSIX terminal: descriptors, the controlling terminal, its key bytes,
# and lines through libedit.
set(folder ${CMAKE_CURRENT_LIST_DIR})
target_sources(${console} PRIVATE ${folder}/platform.cpp ${folder}/terminal.cpp
    ${folder}/terminal_abilities.cpp ${folder}/key_bytes.cpp ${folder}/line_editor.cpp)
include(${PROJECT_SOURCE_DIR}/cmake/libedit.cmake)
target_link_libraries(${console} PRIVATE libedit)
