# The Windows package: zimblet-<version>-win64.zip holding zimblet.exe, its Sounds
# folder and a README. Built with `cmake --build <dir> --target package`.
if(NOT TARGET zimblet)
    return()
endif()

install(TARGETS zimblet RUNTIME DESTINATION .)
# Staged by the sound synthesiser (target zimblet_sounds) when it is part of the build.
install(DIRECTORY ${CMAKE_BINARY_DIR}/Sounds/ DESTINATION Sounds OPTIONAL FILES_MATCHING PATTERN "*.wav")
install(FILES ${CMAKE_CURRENT_LIST_DIR}/../packaging/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zimblet)
set(CPACK_PACKAGE_VENDOR Zimblet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Toy bricks to drag around the Windows desktop")
set(CPACK_PACKAGE_FILE_NAME zimblet-${PROJECT_VERSION}-win64)
# One top folder, from which the program is started.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
