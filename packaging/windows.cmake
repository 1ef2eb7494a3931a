# The Windows build: the .exe carries its version (from project()), the
# game's icon and an application manifest; packaged, it is a zip of the
# stripped .exe, a README for players on Windows and the licence, both as
# .txt with CRLF line ends, which a double click opens (cpack -G ZIP).
enable_language(RC)
include(${PROJECT_SOURCE_DIR}/cmake/icons.cmake)
find_package(Python3 COMPONENTS Interpreter REQUIRED)
set(windows ${PROJECT_SOURCE_DIR}/packaging/windows)
set(windows_icon ${PROJECT_BINARY_DIR}/tinkerspindle.ico)
set(windows_manifest ${windows}/tinkerspindle.manifest)
set(pictures "")
foreach(size 16 32 48 256)
    draw_icon(${PROJECT_BINARY_DIR}/icon-${size}.png ${size})
    list(APPEND pictures ${PROJECT_BINARY_DIR}/icon-${size}.png)
endforeach()
add_custom_command(OUTPUT ${windows_icon}
    COMMAND Python3::Interpreter ${windows}/icon_file.py ${windows_icon} ${pictures}
    DEPENDS ${windows}/icon_file.py ${pictures})
configure_file(${windows}/tinkerspindle.rc.in tinkerspindle.rc @ONLY)
target_sources(tinkerspindle PRIVATE ${PROJECT_BINARY_DIR}/tinkerspindle.rc)
set_source_files_properties(${PROJECT_BINARY_DIR}/tinkerspindle.rc PROPERTIES
    OBJECT_DEPENDS "${windows_icon};${windows_manifest}")

install(TARGETS tinkerspindle RUNTIME DESTINATION .)
string(REPLACE "\n" "\r\n" HOW_TO_PLAY "${HOW_TO_PLAY}")  # configure_file ends only its own lines
configure_file(${windows}/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/LICENSE.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_STRIP_FILES ON)
set(CPACK_SYSTEM_NAME windows-x86_64)
