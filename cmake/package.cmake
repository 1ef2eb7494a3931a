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
# A package is the same bytes whoever builds it: the folders cpack stages get
# the usual mode whatever the builder's umask, ...
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/usual_modes.cmake)
# How to play, for the README each package gives its players.
file(READ ${PROJECT_SOURCE_DIR}/packaging/how_to_play.txt HOW_TO_PLAY)
string(STRIP "${HOW_TO_PLAY}" HOW_TO_PLAY)

if(WIN32)
    include(${PROJECT_SOURCE_DIR}/packaging/windows.cmake)
elseif(EMSCRIPTEN)
    include(${PROJECT_SOURCE_DIR}/packaging/web.cmake)
else()
    include(${PROJECT_SOURCE_DIR}/packaging/posix.cmake)
endif()
# ... and what else a .deb and a .zip take from the builder is set right
# once cpack has made them.
if(CPACK_GENERATOR MATCHES "DEB|ZIP")
    find_package(Python3 COMPONENTS Interpreter REQUIRED)
    set(CPACK_TINKERSPINDLE_PYTHON ${Python3_EXECUTABLE})
    set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/same_bytes.cmake)
endif()
include(CPack)
