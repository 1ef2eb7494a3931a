# Installing and packaging, as each platform's players expect it; what is
# particular to a platform is in packaging/: posix.cmake (the program, its
# manual page, a desktop entry, the icon, AppStream metainfo, and the Debian
# package), windows.cmake (the .exe's resources and a zip) and web.cmake
# (the site, and an archive of it).
include(GNUInstallDirs)
set(CPACK_PACKAGE_NAME tinkerspindle)
set(CPACK_PACKAGE_VENDOR "The Tinkerspindle developers")
set(CPACK_PACKAGE_CONTACT "Tinkerspindle developers <dev@tinkerspindle.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text adventure: build an umbrella in a junkyard")
set(CPACK_PACKAGE_DESCRIPTION
    "Tinkerspindle is a small text adventure for the console. You scavenge a
junkyard of nine places for pieces of junk and build an umbrella at the
workbench before it starts raining; one optional item decides whether you
win the challenge. Commands are short words typed at a prompt.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
# cpack runs apart from this configuration: it learns the sources' time here,
# and dates every file of a package with it.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack_source_date.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "set(ENV{SOURCE_DATE_EPOCH} ${SOURCE_DATE_EPOCH})\n")

if(WIN32)
    include(${PROJECT_SOURCE_DIR}/packaging/windows.cmake)
elseif(EMSCRIPTEN)
    include(${PROJECT_SOURCE_DIR}/packaging/web.cmake)
else()
    include(${PROJECT_SOURCE_DIR}/packaging/posix.cmake)
endif()
include(CPack)
