# The browser build: cmake --install puts the whole site under the prefix,
# ready for any static file server; packaged, it is an archive of the site
# (cpack -G TGZ).
install(DIRECTORY ${PROJECT_BINARY_DIR}/site/ DESTINATION .)
set(CPACK_GENERATOR TGZ)
set(CPACK_SYSTEM_NAME web)
