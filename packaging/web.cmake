# The browser build's site, in a folder that any static file server serves:
# index.html (the page's style, its scripts and the game's first screen, so
# that the page shows the title box and takes keys as soon as it arrives),
# tinkerspindle.js and .wasm, service-worker.js, manifest.webmanifest, and
# the icon as an SVG and as PNGs drawn from it for launchers that take no
# SVG. cmake --install puts the whole site under the prefix; packaged, it is
# an archive of the site (cpack -G TGZ).
set(site ${PROJECT_BINARY_DIR}/site)
set(page ${PROJECT_SOURCE_DIR}/src/console/web)
set_target_properties(tinkerspindle PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site})

# The game's first screen, written by the game itself over a front end with
# no keyboard and no input, run by node at build time: the title box's text
# stays in the game's code alone.
add_console(tinkerspindle_headless_console headless)
add_executable(first_screen src/shell/main.cpp ${game_sources})
target_include_directories(first_screen PRIVATE src)
target_link_libraries(first_screen PRIVATE tinkerspindle_headless_console)
# One file: this emscripten would fetch a separate .wasm, which node cannot.
target_link_options(first_screen PRIVATE -sENVIRONMENT=node -sSINGLE_FILE)
set(first_screen_output ${PROJECT_BINARY_DIR}/first_screen.txt)
add_custom_command(OUTPUT ${first_screen_output}
    COMMAND first_screen > ${first_screen_output}
    DEPENDS first_screen
    COMMENT "Writing the game's first screen")

# The icon for an installed app: any shape at 192 and 512 pixels, one whose
# ground fills the square for launchers that cut their own shapes
# (maskable), and one for Apple's home screens.
include(${PROJECT_SOURCE_DIR}/cmake/icons.cmake)
set(ground "#101010")
draw_icon(${site}/icon-192.png 192)
draw_icon(${site}/icon-512.png 512)
draw_icon(${site}/icon-maskable-512.png 512 BACKGROUND ${ground})
draw_icon(${site}/apple-touch-icon.png 180 BACKGROUND ${ground})
set(pictures icon-192.png icon-512.png icon-maskable-512.png apple-touch-icon.png)
list(TRANSFORM pictures PREPEND ${site}/)

file(GLOB page_sources CONFIGURE_DEPENDS ${page}/*.html ${page}/*.css ${page}/*.js
     ${page}/*.webmanifest)
add_custom_target(site ALL
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${page} -DSITE=${site}
            -DFIRST_SCREEN=${first_screen_output} -DICON=${TINKERSPINDLE_ICON}
            -P ${PROJECT_SOURCE_DIR}/packaging/web/site.cmake
    DEPENDS tinkerspindle ${first_screen_output} ${pictures} ${page_sources}
            ${PROJECT_SOURCE_DIR}/packaging/web/site.cmake ${TINKERSPINDLE_ICON}
    COMMENT "Putting the site together in ${site}")

install(DIRECTORY ${site}/ DESTINATION .)
set(CPACK_GENERATOR TGZ)
set(CPACK_SYSTEM_NAME web)
