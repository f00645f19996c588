# Packages: on Windows zimblet-<version>-win64.zip holding zimblet.exe, its Sounds
# folder and a README, and zimblet-<version>-win64-setup.exe, a per-user installer of
# the same files (our own NSIS template, cmake/nsis/); on Linux a .deb with
# /usr/bin/zimblet, its sounds in /usr/share/zimblet/Sounds and a desktop entry. Built
# with `cpack` in the build directory (`cpack -G ZIP`, `cpack -G NSIS64` or `cpack -G DEB`).
if(NOT TARGET zimblet)
    return()
endif()

set(CPACK_PACKAGE_NAME zimblet)
set(CPACK_PACKAGE_VENDOR "The Zimblet developers")
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
    # The installer: our template, the installer's own name and no top folder (per-generator.cmake).
    set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/nsis)
    set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/nsis/per-generator.cmake)
    set(CPACK_PACKAGE_INSTALL_DIRECTORY Zimblet)  # also its name in the Start menu and the list of apps
    set(CPACK_NSIS_INSTALLED_ICON_NAME zimblet.exe)  # the shortcut's target, and the icon the list shows
    if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/../LICENSE)
        set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_LIST_DIR}/../LICENSE)
    else()
        set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
    endif()
else()
    include(GNUInstallDirs)
    install(TARGETS zimblet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # The program finds them at ../share/zimblet/Sounds from its own folder.
    install(DIRECTORY ${CMAKE_BINARY_DIR}/Sounds/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zimblet/Sounds
            FILES_MATCHING PATTERN "*.wav")
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/../packaging/zimblet.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Toy bricks to drag around the X11 or Wayland desktop")
    set(CPACK_PACKAGE_DESCRIPTION "A hundred toy bricks lie on a click-through overlay over the desktop: pick one\
 up with the mouse, snap it onto the studs of another, pull it loose with the right button. Escape ends it.")
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Zimblet developers <zimblet@localhost>")
    set(CPACK_DEBIAN_PACKAGE_SECTION games)
    # The shared libraries it links, as dpkg-shlibdeps names them for Debian 12 (CPack's
    # own SHLIBDEPS came out empty); PulseAudio output and the bell's sound theme beside.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libcanberra0 (>= 0.2), libgcc-s1 (>= 3.0), libstdc++6 (>= 5), \
libx11-6 (>= 2:1.2.99.901), libxext6, libxi6 (>= 2:1.2.99.4), libxrandr2 (>= 2:1.5.0), libwayland-client0 (>= 1.20.0), libxkbcommon0 (>= 0.5.0)")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libcanberra-pulse, sound-theme-freedesktop")
endif()
include(CPack)
