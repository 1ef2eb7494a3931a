# The console primitives over one front end, as a library of their own:
# add_console(TARGET FRONT_END), FRONT_END a folder here whose
# front_end.cmake adds its sources to the library named by `console`. The
# library sees none of the game's headers: its files include each other by
# relative paths, no include path leads into src/, and a file that reached
# the game's folders anyway stops the configuration.
set(console_folder ${CMAKE_CURRENT_LIST_DIR})
file(GLOB_RECURSE console_files ${console_folder}/*.h ${console_folder}/*.cpp)
foreach(file IN LISTS console_files)
    file(STRINGS ${file} reaching REGEX "#include \"[^\"]*(shell|world|rooms)/")
    if(reaching)
        message(FATAL_ERROR "${file}: the console knows no game, but includes ${reaching}")
    endif()
endforeach()

function(add_console console front_end)
    add_library(${console} STATIC ${console_folder}/console.cpp ${console_folder}/utf8.cpp)
    include(${console_folder}/${front_end}/front_end.cmake)
endfunction()
