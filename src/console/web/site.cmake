# Puts the site together after each build: the page's own files beside what
# emscripten wrote, and the service worker with a digest of them all as its
# version, so that a changed file reaches a player's kept copy.
#
# usage: cmake -DSOURCE=DIR -DSITE=DIR -P site.cmake
set(page_files index.html style.css manifest.webmanifest icon.svg)
set(digests "")
foreach(file IN LISTS page_files)
    file(COPY_FILE ${SOURCE}/${file} ${SITE}/${file} ONLY_IF_DIFFERENT)
endforeach()
foreach(file IN LISTS page_files ITEMS tinkerspindle.js tinkerspindle.wasm)
    file(SHA256 ${SITE}/${file} digest)
    string(APPEND digests ${digest})
endforeach()
string(SHA256 SITE_VERSION "${digests}")
string(SUBSTRING ${SITE_VERSION} 0 16 SITE_VERSION)
configure_file(${SOURCE}/service-worker.js ${SITE}/service-worker.js @ONLY)
