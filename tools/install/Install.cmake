# `cmake --install BUILD --prefix DIR` lays the game out as one self-contained folder,
# DIR/lib/brindles-cataclysm/, holding the game, the kit and base/ with every forged asset, so
# the game finds its assets beside itself from wherever it is started. The settings file in
# base/config/ is written by the game there, so the folder must stay writable by the player:
# install into a prefix of your own, such as ~/.local. Around it go the usual desktop pieces:
# DIR/bin/brindles-cataclysm (a link to the game), a .desktop entry and the forged icon.

set(CATACLYSM_INSTALL_GAME_DIR "lib/brindles-cataclysm" CACHE STRING
    "Folder below the install prefix that holds the game, its kit and base/")
set(GAME_DIR ${CATACLYSM_INSTALL_GAME_DIR})

install(TARGETS brindles-cataclysm cataclysm-kit RUNTIME DESTINATION ${GAME_DIR})
# Every forged asset but the icon, and but the settings file: the build's copy may hold the
# developer's own options, and a reinstall must not reset a player's.
install(DIRECTORY ${ASSET_DIR}/ DESTINATION ${GAME_DIR}/base
    PATTERN "icons" EXCLUDE
    PATTERN "config" EXCLUDE)
install(FILES ${ASSET_DIR}/icons/brindles-cataclysm.png
    DESTINATION share/icons/hicolor/256x256/apps)

# Run at install time, when the prefix given to `cmake --install` is known.
install(CODE "
    set(game_folder \"\${CMAKE_INSTALL_PREFIX}/${GAME_DIR}\")
    set(staged \"\$ENV{DESTDIR}\${game_folder}\")
    # A fresh settings file with the default options, only where the player has none yet.
    set(settings \"\${staged}/base/config/bc.rep\")
    if(NOT EXISTS \"\${settings}\")
        message(STATUS \"Writing the default settings: \${settings}\")
        file(MAKE_DIRECTORY \"\${staged}/base/config\")
        execute_process(
            COMMAND \"$<TARGET_FILE:cataclysm-kit>\" rep reset \"\${settings}\"
            OUTPUT_QUIET RESULT_VARIABLE reset)
        if(NOT reset EQUAL 0)
            message(FATAL_ERROR \"cannot write \${settings}\")
        endif()
    endif()
    set(GAME_FOLDER \"\${game_folder}\")
    set(GAME_EXECUTABLE \"\${game_folder}/brindles-cataclysm\")
    configure_file(\"${CMAKE_SOURCE_DIR}/tools/install/brindles-cataclysm.desktop.in\"
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/brindles-cataclysm.desktop\"
        @ONLY)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/brindles-cataclysm.desktop\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(CREATE_LINK \"../${GAME_DIR}/brindles-cataclysm\"
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/brindles-cataclysm\" SYMBOLIC)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/brindles-cataclysm\")
")
