# The packages: on Windows zimblet-<version>-win64.zip holding zimblet.exe, its
# Sounds folder and a README; on Linux a .deb with the program and its Sounds.
# Built with `cmake --build <dir> --target package`.
if(NOT TARGET zimblet)
    return()
endif()

set(CPACK_PACKAGE_NAME zimblet)
set(CPACK_PACKAGE_VENDOR Zimblet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})

if(WIN32)
    install(TARGETS zimblet RUNTIME DESTINATION .)
    # Staged by the sound synthesiser (target zimblet_sounds) when it is part of the build.
    install(DIRECTORY ${CMAKE_BINARY_DIR}/Sounds/ DESTINATION Sounds OPTIONAL FILES_MATCHING PATTERN "*.wav")
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/../packaging/README.txt DESTINATION .)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Toy bricks to drag around the Windows desktop")
    set(CPACK_PACKAGE_FILE_NAME zimblet-${PROJECT_VERSION}-win64)
    # One top folder, from which the program is started.
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
    # The program finds its Sounds folder in the current directory: start it from
    # /usr/share/zimblet (or copy that folder).
    install(TARGETS zimblet RUNTIME DESTINATION share/zimblet)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/Sounds/ DESTINATION share/zimblet/Sounds OPTIONAL
            FILES_MATCHING PATTERN "*.wav")
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Toy bricks to drag around the X11 or Wayland desktop")
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Zimblet developers")
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    # The Wayland desktop's libraries, and the sound library both desktops use.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libwayland-client0, libxkbcommon0, libcanberra0")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
