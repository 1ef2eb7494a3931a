# The line editor of the POSIX terminal: libedit. Debian's libedit-dev comes
# with static archives, linked in with what they need, so that no library is
# loaded at start-up for it and the program depends on nothing new. Where
# they are missing (macOS and the BSDs ship libedit as a system library, and
# have no libbsd or libmd), the system's shared libedit is linked instead.
find_path(LIBEDIT_INCLUDE_DIR histedit.h)
set(libedit_archives "")
foreach(part IN ITEMS edit tinfo bsd md)
    find_library(LIBEDIT_${part}_ARCHIVE NAMES lib${part}.a)
    list(APPEND libedit_archives ${LIBEDIT_${part}_ARCHIVE})
endforeach()
if(NOT libedit_archives MATCHES "NOTFOUND")
    set(libedit_libraries ${libedit_archives})
else()
    find_library(LIBEDIT_SHARED_LIBRARY NAMES edit)
    set(libedit_libraries ${LIBEDIT_SHARED_LIBRARY})
    if(LIBEDIT_SHARED_LIBRARY)
        message(STATUS "libedit: no static archives here; linking the shared ${LIBEDIT_SHARED_LIBRARY}")
    endif()
endif()
if(NOT LIBEDIT_INCLUDE_DIR OR NOT libedit_libraries)
    message(FATAL_ERROR "The line editor needs libedit: on Debian, apt-get install libedit-dev")
endif()
add_library(libedit INTERFACE)
target_include_directories(libedit INTERFACE ${LIBEDIT_INCLUDE_DIR})
target_link_libraries(libedit INTERFACE ${libedit_libraries})
