# What `cmake --install` puts under the prefix for the Linux program, and so what
# its packages hold: the program, its sounds, the desktop entry, the icons, the
# AppStream metadata, the manual page and the licence.
include(GNUInstallDirs)

set(ZIMBLET_APP_ID org.zimblet.Zimblet)
set(ZIMBLET_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR}/../packaging)

# The release notes and the metadata name the project's version; a stale one is a
# packaging mistake that no later step would notice.
foreach(file changelog rpm-changelog ${ZIMBLET_APP_ID}.metainfo.xml)
    file(STRINGS ${ZIMBLET_PACKAGING_DIR}/${file} versioned REGEX "^zimblet \\(|^\\* |<release " LIMIT_COUNT 1)
    if(NOT versioned MATCHES "[ (\"]${PROJECT_VERSION}[)\"-]")
        message(FATAL_ERROR "packaging/${file} does not name version ${PROJECT_VERSION} first: ${versioned}")
    endif()
endforeach()

# Debian wants the manual page and the changelog compressed, reproducibly.
set(ZIMBLET_LINUX_FILES_DIR ${CMAKE_BINARY_DIR}/linux-files)
configure_file(${ZIMBLET_PACKAGING_DIR}/zimblet.6 ${ZIMBLET_LINUX_FILES_DIR}/zimblet.6 @ONLY)
add_custom_command(
    OUTPUT ${ZIMBLET_LINUX_FILES_DIR}/zimblet.6.gz ${ZIMBLET_LINUX_FILES_DIR}/changelog.gz
    COMMAND gzip -9nc ${ZIMBLET_LINUX_FILES_DIR}/zimblet.6 > ${ZIMBLET_LINUX_FILES_DIR}/zimblet.6.gz
    COMMAND gzip -9nc ${ZIMBLET_PACKAGING_DIR}/changelog > ${ZIMBLET_LINUX_FILES_DIR}/changelog.gz
    DEPENDS ${ZIMBLET_LINUX_FILES_DIR}/zimblet.6 ${ZIMBLET_PACKAGING_DIR}/changelog
    COMMENT "Compressing the manual page and the changelog"
)
add_custom_target(zimblet_linux_files ALL
    DEPENDS ${ZIMBLET_LINUX_FILES_DIR}/zimblet.6.gz ${ZIMBLET_LINUX_FILES_DIR}/changelog.gz)

# Folders under the prefix that other packages own too (the icon theme, the manual).
set(ZIMBLET_SHARED_FOLDERS /usr/share/icons /usr/share/icons/hicolor /usr/share/man /usr/share/man/man6
    /usr/share/lintian /usr/share/lintian/overrides)
foreach(size 16 24 32 48 64 128 256)
    set(folder /usr/share/icons/hicolor/${size}x${size})
    list(APPEND ZIMBLET_SHARED_FOLDERS ${folder} ${folder}/apps)
endforeach()

install(TARGETS zimblet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program finds them at ../share/zimblet/Sounds from its own folder.
install(DIRECTORY ${CMAKE_BINARY_DIR}/Sounds/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zimblet/Sounds
        FILES_MATCHING PATTERN "*.wav")
install(FILES ${ZIMBLET_PACKAGING_DIR}/${ZIMBLET_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZIMBLET_PACKAGING_DIR}/${ZIMBLET_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
if(TARGET zimblet_icons)  # drawn where stb_image_write is there (tools/CMakeLists.txt)
    install(DIRECTORY ${ZIMBLET_ICONS_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()
install(FILES ${ZIMBLET_LINUX_FILES_DIR}/zimblet.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${ZIMBLET_PACKAGING_DIR}/copyright ${ZIMBLET_LINUX_FILES_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${ZIMBLET_PACKAGING_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME zimblet)
