# Puts the site together after each build: index.html with the page's style,
# its scripts and the game's first screen in it, beside what emscripten
# wrote; and the service worker with a digest of all the files as its
# version, so that a changed file reaches a player's kept copy.
#
# usage: cmake -DSOURCE=DIR -DSITE=DIR -DFIRST_SCREEN=FILE -DICON=SVG -P site.cmake

# Everything the game wrote before its first clear, as the page marks it up:
# the title box's frame hidden from assistive technology.
file(READ ${FIRST_SCREEN} written)
string(ASCII 12 formFeed)
string(FIND "${written}" "${formFeed}" clear)
string(SUBSTRING "${written}" 0 ${clear} FIRST_SCREEN)
string(REPLACE "&" "&amp;" FIRST_SCREEN "${FIRST_SCREEN}")
string(REPLACE "<" "&lt;" FIRST_SCREEN "${FIRST_SCREEN}")
string(REGEX REPLACE "(\\*+)" "<span aria-hidden=\"true\">\\1</span>" FIRST_SCREEN "${FIRST_SCREEN}")
file(READ ${SOURCE}/style.css PAGE_STYLE)
# The page's scripts by concern, in the order they need each other: the
# screen, what is announced, the waits, what is kept, and the page itself.
set(PAGE_SCRIPT "")
foreach(script IN ITEMS screen announcer waits keeper page)
    file(READ ${SOURCE}/${script}.js text)
    string(APPEND PAGE_SCRIPT "${text}")
endforeach()
# The game's identity: a kept game is played again only by the build that took it.
file(SHA256 ${SITE}/tinkerspindle.wasm GAME_BUILD)
string(SUBSTRING ${GAME_BUILD} 0 16 GAME_BUILD)
configure_file(${SOURCE}/index.html ${SITE}/index.html @ONLY)

file(COPY_FILE ${SOURCE}/manifest.webmanifest ${SITE}/manifest.webmanifest ONLY_IF_DIFFERENT)
file(COPY_FILE ${ICON} ${SITE}/icon.svg ONLY_IF_DIFFERENT)
set(digests "")
foreach(file IN ITEMS index.html tinkerspindle.js tinkerspindle.wasm manifest.webmanifest icon.svg)
    file(SHA256 ${SITE}/${file} digest)
    string(APPEND digests ${digest})
endforeach()
string(SHA256 SITE_VERSION "${digests}")
string(SUBSTRING ${SITE_VERSION} 0 16 SITE_VERSION)
configure_file(${SOURCE}/service-worker.js ${SITE}/service-worker.js @ONLY)
