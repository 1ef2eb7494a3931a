# The browser build's toolchain: emscripten's own, from wherever emcc is
# installed (Debian's emscripten package, or an emsdk on the PATH).
execute_process(COMMAND em-config EMSCRIPTEN_ROOT
    OUTPUT_VARIABLE emscripten_root OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE emscripten_missing ERROR_QUIET)
set(emscripten_toolchain ${emscripten_root}/cmake/Modules/Platform/Emscripten.cmake)
if(emscripten_missing OR NOT EXISTS ${emscripten_toolchain})
    message(FATAL_ERROR "The browser build needs emscripten: on Debian, apt-get install emscripten")
endif()
include(${emscripten_toolchain})
