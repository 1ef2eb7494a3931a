# The page as the game's console: output to its text, lines from its field,
# key presses from its events, through the page's scripts (page.js and its
# neighbours), which load tinkerspindle.js, the game. The game awaits them:
# Asyncify turns the blocking reads into promises, and the page starts main
# once the WebAssembly is ready. packaging/web.cmake makes the site.
target_sources(${console} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/platform.cpp)
# A mebibyte of memory and a small stack are far more than the game needs.
target_link_options(${console} INTERFACE
    -sASYNCIFY -sINVOKE_RUN=0 -sENVIRONMENT=web -sINITIAL_MEMORY=1MB -sTOTAL_STACK=128KB
    -sEXPORTED_FUNCTIONS=_main -sEXPORTED_RUNTIME_METHODS=ccall)
