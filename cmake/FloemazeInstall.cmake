# SPDX-License-Identifier: GPL-3.0-or-later
# Installation and the Debian package: the game in a private folder, its pictures in
# share/floemaze, a launcher on the PATH that starts the game from the picture folder, a desktop
# entry and the icons. Included at the end of the top-level list, when every target is known.
include(GNUInstallDirs)

set(FLOEMAZE_DATA_DIR ${CMAKE_INSTALL_DATADIR}/floemaze)
set(FLOEMAZE_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/floemaze)

# The game itself comes from the app folder; without it the package holds everything else.
if(TARGET floemaze)
    install(TARGETS floemaze RUNTIME DESTINATION ${FLOEMAZE_GAME_DIR})
endif()

if(TARGET floemaze_assets)
    foreach(name IN LISTS FLOEMAZE_ASSET_NAMES)
        install(FILES ${FLOEMAZE_ASSET_DIR}/${name} DESTINATION ${FLOEMAZE_DATA_DIR})
    endforeach()
    foreach(size 48 32 16)
        install(FILES ${FLOEMAZE_ASSET_DIR}/icons/floemaze-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME floemaze.png)
    endforeach()
else()
    message(STATUS "The picture generator is not built (FLOEMAZE_BUILD_TOOLS is off or this is "
                   "a cross build): the installation will lack the game's pictures.")
endif()

# The launcher finds the pictures and the game relative to itself, so the installation can be
# moved (cmake --install --prefix, or the package's /usr).
file(RELATIVE_PATH FLOEMAZE_BIN_TO_DATA /root/${CMAKE_INSTALL_BINDIR} /root/${FLOEMAZE_DATA_DIR})
file(RELATIVE_PATH FLOEMAZE_BIN_TO_GAME /root/${CMAKE_INSTALL_BINDIR}
     /root/${FLOEMAZE_GAME_DIR}/floemaze)
configure_file(${PROJECT_SOURCE_DIR}/packaging/floemaze.in ${PROJECT_BINARY_DIR}/launcher/floemaze
               @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/launcher/floemaze DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/floemaze.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME floemaze)
set(CPACK_PACKAGE_VENDOR "The Floemaze developers")
set(CPACK_PACKAGE_CONTACT "The Floemaze developers <floemaze@invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "maze game for young children: bring the baby seal home")
set(CPACK_PACKAGE_DESCRIPTION "A lost baby seal has to find its way back to its family \
through a maze of ice floes that is new in every game. Children steer the seal with the arrow \
keys, or let it walk the shortest way home by itself. German user interface.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY floemaze)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the game links (SDL2, libX11, the C++ runtime) with their
# least versions; naming them here as well listed each twice. What it cannot see are SDL_ttf and
# fontconfig, opened when the first text is drawn, and the font the game asks fontconfig for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-ttf-2.0-0, libfontconfig1, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
