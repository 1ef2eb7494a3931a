# The browser build: the game compiled to WebAssembly, in a folder that any
# static file server serves (index.html, tinkerspindle.js, tinkerspindle.wasm,
# style.css). The blocking reads become awaited promises through Asyncify;
# main is started by the page once the WebAssembly is ready.
set(TINKERSPINDLE_SITE ${PROJECT_BINARY_DIR}/site)
set(page_script ${PROJECT_SOURCE_DIR}/src/console/console_web.js)
set_target_properties(tinkerspindle PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${TINKERSPINDLE_SITE}
    LINK_DEPENDS ${page_script})
# A mebibyte of memory and a small stack are far more than the game needs.
target_link_options(tinkerspindle PRIVATE
    -fexceptions -sASYNCIFY -sINVOKE_RUN=0 -sENVIRONMENT=web
    -sINITIAL_MEMORY=1MB -sTOTAL_STACK=128KB
    -sEXPORTED_FUNCTIONS=_main -sEXPORTED_RUNTIME_METHODS=ccall
    --pre-js ${page_script})
configure_file(src/console/console_web.html ${TINKERSPINDLE_SITE}/index.html COPYONLY)
configure_file(src/console/console_web.css ${TINKERSPINDLE_SITE}/style.css COPYONLY)
