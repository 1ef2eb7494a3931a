# No keyboard and no input, standard output alone: the game as it runs at
# build time to write the page's first screen.
target_sources(${console} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/platform.cpp)
