# The line editor of the POSIX terminal: Debian's libedit (libedit-dev),
# linked statically with what it needs, so that no library is loaded at
# start-up for it and the program depends on nothing new.
find_path(LIBEDIT_INCLUDE_DIR histedit.h)
set(libedit_parts edit tinfo bsd md)
set(libedit_archives "")
foreach(part IN LISTS libedit_parts)
    find_library(LIBEDIT_${part}_ARCHIVE NAMES lib${part}.a)
    list(APPEND libedit_archives ${LIBEDIT_${part}_ARCHIVE})
endforeach()
if(NOT LIBEDIT_INCLUDE_DIR OR libedit_archives MATCHES "NOTFOUND")
    message(FATAL_ERROR "The line editor needs libedit and its static archives: "
                        "on Debian, apt-get install libedit-dev")
endif()
add_library(libedit_static INTERFACE)
target_include_directories(libedit_static INTERFACE ${LIBEDIT_INCLUDE_DIR})
target_link_libraries(libedit_static INTERFACE ${libedit_archives})
