# Packages: on Windows zimblet-<version>-win64.zip holding zimblet.exe, its Sounds
# folder, a README and the licence, and zimblet-<version>-win64-setup.exe, a per-user
# installer of the same files (our own NSIS template, cmake/nsis/); on Linux a .deb and
# an .rpm of what `cmake --install` puts under /usr (linux_files.cmake). Built with
# `cpack` in the build directory (`cpack -G ZIP`, `cpack -G NSIS64`, `cpack -G DEB` or
# `cpack -G RPM`).
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
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/../LICENSE DESTINATION . RENAME LICENSE.txt)

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
    if(TARGET zimblet_icons)  # the installer's and the uninstaller's own icon
        set(CPACK_NSIS_MUI_ICON ${ZIMBLET_ICO_FILE})
        set(CPACK_NSIS_MUI_UNIICON ${ZIMBLET_ICO_FILE})
    endif()
    set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_LIST_DIR}/../LICENSE)
else()
    include(${CMAKE_CURRENT_LIST_DIR}/linux_files.cmake)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Toy bricks to drag around the desktop and snap together")
    set(CPACK_PACKAGE_DESCRIPTION "A hundred toy bricks lie on a click-through overlay over the desktop: pick one
up with the mouse, snap it onto the studs of another, pull it loose with the
right button. It runs on X11, on Wayland compositors with layer-shell (sway,
KDE Plasma) and on GNOME through XWayland 24.1 or later.")
    set(CPACK_PACKAGE_CONTACT "The Zimblet developers <zimblet@localhost>")
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_STRIP_FILES ON)
    # Folders as Debian and Fedora make them, whatever the builder's umask.
    set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
        OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    # Not games: Debian keeps those in /usr/games, which is on no PATH in Fedora, and the
    # two packages hold the same files.
    set(CPACK_DEBIAN_PACKAGE_SECTION x11)
    # The shared libraries it links, as dpkg-shlibdeps names them for the release it is built
    # on; PulseAudio output and the bell's sound theme beside.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libcanberra-pulse, sound-theme-freedesktop")

    # rpm finds the shared libraries the program links itself.
    set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
    set(CPACK_RPM_PACKAGE_LICENSE MIT)
    set(CPACK_RPM_PACKAGE_GROUP Amusements/Games)
    set(CPACK_RPM_PACKAGE_RELEASE 1)
    set(CPACK_RPM_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
    set(CPACK_RPM_PACKAGE_RECOMMENDS "sound-theme-freedesktop")
    # No /usr/lib/.build-id links: the .rpm holds the same files as the .deb.
    set(CPACK_RPM_SPEC_MORE_DEFINE "%define packager ${CPACK_PACKAGE_CONTACT}\n%define _build_id_links none")
    set(CPACK_RPM_CHANGELOG_FILE ${ZIMBLET_PACKAGING_DIR}/rpm-changelog)
    # Folders the distribution's own packages own.
    set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION ${ZIMBLET_SHARED_FOLDERS})
endif()
include(CPack)
