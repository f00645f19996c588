# The packages: on Windows zimblet-<version>-win64.zip holding zimblet.exe, its
# Sounds folder and a README; on Linux a .deb with /usr/bin/zimblet and its
# Sounds in /usr/share/zimblet.
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
    # The program looks for its Sounds folder in the current directory, beside
    # itself, then in the data directory it was built for (CMAKE_INSTALL_PREFIX,
    # /usr for a package: configure with -DCMAKE_INSTALL_PREFIX=/usr).
    include(GNUInstallDirs)
    install(TARGETS zimblet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(DIRECTORY ${CMAKE_BINARY_DIR}/Sounds/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zimblet/Sounds OPTIONAL
            FILES_MATCHING PATTERN "*.wav")
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Toy bricks to drag around the X11 or Wayland desktop")
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Zimblet developers")
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    # The libraries of both desktops and of the sounds, named even where
    # dpkg-shlibdeps would find them: the Wayland ones are the reason to look.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libwayland-client0 (>= 1.21), libxkbcommon0 (>= 1.5), libx11-6, libxext6, libxi6, libcanberra0")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
