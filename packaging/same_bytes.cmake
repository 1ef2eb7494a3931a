# Run by cpack on the packages it has made: see same_bytes.py.
execute_process(COMMAND ${CPACK_TINKERSPINDLE_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/same_bytes.py
                        ${CPACK_PACKAGE_FILES}
                COMMAND_ERROR_IS_FATAL ANY)
