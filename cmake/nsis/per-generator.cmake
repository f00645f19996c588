# Read by cpack once per generator (CPACK_PROJECT_CONFIG_FILE): the zip holds one top
# folder to start the program from; the installer has none and says what it is in its name.
if(CPACK_GENERATOR MATCHES "^NSIS")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
