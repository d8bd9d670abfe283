# SPDX-License-Identifier: GPL-3.0-or-later
# Installation and the Debian package: the program in games/, its pictures in
# share/games/floemaze, a manual page, the desktop entry, the AppStream metainfo, the icons in the
# hicolor theme, the copyright file and the changelog. Included at the end of the top-level list,
# when every target is known.
include(GNUInstallDirs)

set(FLOEMAZE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/floemaze)
set(FLOEMAZE_MAINTAINER "The Floemaze developers <developers@floemaze.org>")
# Every folder the installation makes is world-readable, whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The game itself comes from the app folder; without it the package holds everything else.
if(TARGET floemaze)
    install(TARGETS floemaze RUNTIME DESTINATION ${FLOEMAZE_INSTALL_GAMEDIR})
endif()

if(TARGET floemaze_assets)
    foreach(name IN LISTS FLOEMAZE_ASSET_NAMES)
        install(FILES ${FLOEMAZE_ASSET_DIR}/${name} DESTINATION ${FLOEMAZE_INSTALL_PICTUREDIR})
    endforeach()
    install(DIRECTORY ${FLOEMAZE_ASSET_DIR}/icons/hicolor
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
    # The pictures with words in every language, in its subfolder of the picture folder.
    foreach(language IN LISTS FLOEMAZE_LANGUAGES)
        foreach(name IN LISTS FLOEMAZE_WORD_PICTURE_NAMES)
            install(FILES ${FLOEMAZE_ASSET_DIR}/${language}/${name}
                    DESTINATION ${FLOEMAZE_INSTALL_PICTUREDIR}/${language})
        endforeach()
    endforeach()
else()
    message(STATUS "The picture generator is not built (FLOEMAZE_BUILD_TOOLS is off or this is "
                   "a cross build): the installation will lack the game's pictures and icons.")
endif()

# The catalogues lie in the picture folder, where the game looks for them wherever it finds it.
foreach(language IN LISTS FLOEMAZE_LANGUAGES)
    install(FILES ${FLOEMAZE_CATALOGUE_DIR}/${language}/LC_MESSAGES/floemaze.mo
            DESTINATION ${FLOEMAZE_INSTALL_PICTUREDIR}/locale/${language}/LC_MESSAGES)
endforeach()

# The newest release in CHANGELOG.md is this version; its date goes into the metainfo and the
# manual page.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md FLOEMAZE_RELEASE REGEX "^## " LIMIT_COUNT 1
     ENCODING UTF-8)
if(NOT FLOEMAZE_RELEASE MATCHES "^## ([0-9.]+) .* ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$"
   OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "CHANGELOG.md must begin with the release ${PROJECT_VERSION} and its date "
                        "(\"## ${PROJECT_VERSION} – YYYY-MM-DD\"), not \"${FLOEMAZE_RELEASE}\"")
endif()
set(FLOEMAZE_RELEASE_DATE ${CMAKE_MATCH_2})
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/CHANGELOG.md)

# The manual page and the changelog go compressed without a timestamp (gzip -n), so two builds
# give the same bytes.
set(packaging ${PROJECT_BINARY_DIR}/packaging)
configure_file(${PROJECT_SOURCE_DIR}/packaging/floemaze.6.in ${packaging}/floemaze.6 @ONLY)
# The metainfo's texts are German, the catalogue's own language; msgfmt adds every translation.
configure_file(${PROJECT_SOURCE_DIR}/packaging/${FLOEMAZE_APP_ID}.metainfo.xml.in
               ${packaging}/${FLOEMAZE_APP_ID}.untranslated.metainfo.xml @ONLY)
add_custom_command(
    OUTPUT ${packaging}/${FLOEMAZE_APP_ID}.metainfo.xml
    COMMAND ${FLOEMAZE_MSGFMT} --xml --template=${packaging}/${FLOEMAZE_APP_ID}.untranslated.metainfo.xml
            -d ${FLOEMAZE_PO_BULK_DIR} -o ${packaging}/${FLOEMAZE_APP_ID}.metainfo.xml
    DEPENDS ${packaging}/${FLOEMAZE_APP_ID}.untranslated.metainfo.xml ${FLOEMAZE_PO_BULK_STAMP}
    COMMENT "Translating the metainfo"
    VERBATIM)
add_custom_command(
    OUTPUT ${packaging}/floemaze.6.gz
    COMMAND gzip -9nkf ${packaging}/floemaze.6
    DEPENDS ${packaging}/floemaze.6
    VERBATIM)
add_custom_command(
    OUTPUT ${packaging}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/CHANGELOG.md
            -DOUTPUT=${packaging}/changelog.gz -DPACKAGE=floemaze
            -DMAINTAINER=${FLOEMAZE_MAINTAINER}
            -P ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
    VERBATIM)
add_custom_target(floemaze_packaging ALL
                  DEPENDS ${packaging}/floemaze.6.gz ${packaging}/changelog.gz
                          ${packaging}/${FLOEMAZE_APP_ID}.metainfo.xml)
add_dependencies(floemaze_packaging floemaze_po_bulk floemaze_desktop_entry)

install(FILES ${packaging}/floemaze.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${FLOEMAZE_DESKTOP_ENTRY} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/${FLOEMAZE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${packaging}/changelog.gz
        DESTINATION ${FLOEMAZE_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME floemaze)
set(CPACK_PACKAGE_VENDOR "The Floemaze developers")
set(CPACK_PACKAGE_CONTACT ${FLOEMAZE_MAINTAINER})
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "maze game for young children: bring the baby seal home")
# The extended description, lines of at most 80 characters as Debian's tools show it.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "A lost baby seal has to find its way back to its family through a maze of"
    "ice floes that is new in every game. Children steer the seal with the arrow"
    "keys, or let it walk the shortest way home by itself; at home a message tells"
    "how many steps they took alone and how many with help."
    ""
    "There is no time limit, no score to lose and no network access, and the game"
    "writes nothing to disk. It speaks German, English, French, Spanish, Italian,"
    "Dutch, Polish and Turkish."
    ""
    "Free software under the GNU General Public License, version 3 or later.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY floemaze)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg-shlibdeps finds the libraries the game links (SDL2, libX11, the C++ runtime) with their
# least versions; naming them here as well listed each twice. What it cannot see are SDL_ttf and
# fontconfig, opened when the first text is drawn, and the font the game asks fontconfig for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-ttf-2.0-0, libfontconfig1, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Two packages of one commit are the same bytes: cpack stamps every file with SOURCE_DATE_EPOCH,
# which this file, read by cpack when it runs, takes from the last commit unless it is set.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/FloemazeCPackConfig.cmake)
set(CPACK_FLOEMAZE_SOURCE_DIR ${PROJECT_SOURCE_DIR})
include(CPack)
