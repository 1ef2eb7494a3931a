# The line editor of the POSIX terminal, libedit, and the terminal database
# it reads, ncurses' tinfo. Debian's libedit-dev comes with static archives,
# linked in with what they need, so that no library is loaded at start-up and
# the program depends on nothing new. A distribution's package links the
# system's shared libraries instead (TINKERSPINDLE_SHARED_LIBEDIT), and so
# does a system without the archives (macOS and the BSDs ship libedit as a
# system library, and have no libbsd or libmd).
option(TINKERSPINDLE_SHARED_LIBEDIT "Link the system's shared libedit and tinfo" OFF)
find_path(LIBEDIT_INCLUDE_DIR histedit.h)
find_path(TERMINFO_INCLUDE_DIR term.h)
set(libedit_archives "")
foreach(part IN ITEMS edit tinfo bsd md)
    find_library(LIBEDIT_${part}_ARCHIVE NAMES lib${part}.a)
    list(APPEND libedit_archives ${LIBEDIT_${part}_ARCHIVE})
endforeach()
if(NOT TINKERSPINDLE_SHARED_LIBEDIT AND NOT libedit_archives MATCHES "NOTFOUND")
    set(libedit_libraries ${libedit_archives})
else()
    find_library(LIBEDIT_SHARED_LIBRARY NAMES edit)
    find_library(TERMINFO_SHARED_LIBRARY NAMES tinfo ncursesw ncurses)
    if(LIBEDIT_SHARED_LIBRARY AND TERMINFO_SHARED_LIBRARY)
        set(libedit_libraries ${LIBEDIT_SHARED_LIBRARY} ${TERMINFO_SHARED_LIBRARY})
        message(STATUS "libedit: linking the shared ${libedit_libraries}")
    endif()
endif()
if(NOT LIBEDIT_INCLUDE_DIR OR NOT TERMINFO_INCLUDE_DIR OR NOT libedit_libraries)
    message(FATAL_ERROR "The line editor needs libedit: on Debian, apt-get install libedit-dev")
endif()
add_library(libedit INTERFACE)
target_include_directories(libedit INTERFACE ${LIBEDIT_INCLUDE_DIR} ${TERMINFO_INCLUDE_DIR})
target_link_libraries(libedit INTERFACE ${libedit_libraries})
