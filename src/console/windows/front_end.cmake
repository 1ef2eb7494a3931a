# The Windows console: raw standard handles, console lines as UTF-16, and key
# presses as events of the console input device.
set(folder ${CMAKE_CURRENT_LIST_DIR})
target_sources(${console} PRIVATE ${folder}/platform.cpp ${folder}/key_events.cpp
    ${folder}/console_text.cpp)
