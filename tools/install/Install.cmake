# `cmake --install BUILD --prefix DIR` lays the game out as one self-contained folder,
# DIR/lib/brindles-cataclysm/, holding the game, the kit and base/ with every forged asset, so
# the game finds its assets beside itself from wherever it is started. Around it go the usual
# desktop pieces: links DIR/bin/brindles-cataclysm and DIR/bin/cataclysm-kit, a desktop entry,
# the forged icons in the hicolor theme, the AppStream metainfo and the manual pages.
#
# The Debian packages (debian/rules) install the same pieces by the games layout: the programs
# in /usr/lib/games/brindles-cataclysm/, the assets in /usr/share/games/brindles-cataclysm/base/
# (the package brindles-cataclysm-data) with a link base/ beside the programs, and the commands
# in /usr/games/. The game keeps its settings in base/config/ when the player may write there,
# else in the player's own folder.

set(CATACLYSM_INSTALL_GAME_DIR "lib/brindles-cataclysm" CACHE STRING
    "Folder below the install prefix that holds the game and its kit")
set(CATACLYSM_INSTALL_DATA_DIR "" CACHE STRING
    "Folder below the install prefix that holds base/ when it is not beside the game")
set(CATACLYSM_INSTALL_COMMAND_DIR "bin" CACHE STRING
    "Folder below the install prefix that holds the links to the game and its kit")
# The component id of the AppStream metainfo, and the web address its screenshots are
# published under (the pictures are docs/screenshots/ of this repository).
set(CATACLYSM_APPSTREAM_ID "example.brindles_cataclysm.BrindlesCataclysm" CACHE STRING
    "AppStream component id")
set(CATACLYSM_SCREENSHOTS_URL "https://brindles-cataclysm.example/screenshots" CACHE STRING
    "Web folder that serves the screenshots named in the AppStream metainfo")

set(GAME_DIR ${CATACLYSM_INSTALL_GAME_DIR})
if(CATACLYSM_INSTALL_DATA_DIR)
    set(BASE_DIR ${CATACLYSM_INSTALL_DATA_DIR}/base)
else()
    set(BASE_DIR ${GAME_DIR}/base)
endif()
# Links are relative, so the staged tree of a package works once unpacked anywhere.
file(RELATIVE_PATH BASE_LINK /prefix/${GAME_DIR} /prefix/${BASE_DIR})
file(RELATIVE_PATH GAME_LINK /prefix/${CATACLYSM_INSTALL_COMMAND_DIR}
    /prefix/${GAME_DIR}/brindles-cataclysm)
file(RELATIVE_PATH KIT_LINK /prefix/${CATACLYSM_INSTALL_COMMAND_DIR}
    /prefix/${GAME_DIR}/cataclysm-kit)

install(TARGETS brindles-cataclysm cataclysm-kit RUNTIME DESTINATION ${GAME_DIR})
# Every forged asset but the icons, and but the settings file: the build's copy may hold the
# developer's own options, and a reinstall must not reset a player's.
install(DIRECTORY ${ASSET_DIR}/ DESTINATION ${BASE_DIR}
    PATTERN "icons" EXCLUDE
    PATTERN "config" EXCLUDE)
install(DIRECTORY ${ASSET_DIR}/icons/hicolor DESTINATION share/icons)
install(FILES ${CMAKE_SOURCE_DIR}/tools/install/brindles-cataclysm.6 DESTINATION share/man/man6)
install(FILES ${CMAKE_SOURCE_DIR}/tools/install/cataclysm-kit.1 DESTINATION share/man/man1)
configure_file(${CMAKE_SOURCE_DIR}/tools/install/brindles-cataclysm.metainfo.xml.in
    ${CMAKE_BINARY_DIR}/install/${CATACLYSM_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/install/${CATACLYSM_APPSTREAM_ID}.metainfo.xml
    DESTINATION share/metainfo)

# Run at install time, when the prefix given to `cmake --install` is known.
install(CODE "
    set(prefix \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    # A fresh settings file with the default options, only where the player has none yet. In
    # a system-wide install it is the file every player's own one starts from.
    set(settings \"\${prefix}/${BASE_DIR}/config/bc.rep\")
    if(NOT EXISTS \"\${settings}\")
        message(STATUS \"Writing the default settings: \${settings}\")
        file(MAKE_DIRECTORY \"\${prefix}/${BASE_DIR}/config\")
        execute_process(
            COMMAND \"$<TARGET_FILE:cataclysm-kit>\" rep reset \"\${settings}\"
            OUTPUT_QUIET RESULT_VARIABLE reset)
        if(NOT reset EQUAL 0)
            message(FATAL_ERROR \"cannot write \${settings}\")
        endif()
    endif()
    function(link target name)
        message(STATUS \"Installing: \${prefix}/\${name} -> \${target}\")
        get_filename_component(folder \"\${prefix}/\${name}\" DIRECTORY)
        file(MAKE_DIRECTORY \"\${folder}\")
        file(CREATE_LINK \"\${target}\" \"\${prefix}/\${name}\" SYMBOLIC)
    endfunction()
    if(NOT \"${BASE_LINK}\" STREQUAL \"base\")
        link(\"${BASE_LINK}\" \"${GAME_DIR}/base\")
    endif()
    link(\"${GAME_LINK}\" \"${CATACLYSM_INSTALL_COMMAND_DIR}/brindles-cataclysm\")
    link(\"${KIT_LINK}\" \"${CATACLYSM_INSTALL_COMMAND_DIR}/cataclysm-kit\")
    set(GAME_FOLDER \"\${CMAKE_INSTALL_PREFIX}/${GAME_DIR}\")
    set(GAME_COMMAND \"\${CMAKE_INSTALL_PREFIX}/${CATACLYSM_INSTALL_COMMAND_DIR}/brindles-cataclysm\")
    set(desktop \"\${prefix}/share/applications/brindles-cataclysm.desktop\")
    message(STATUS \"Installing: \${desktop}\")
    configure_file(\"${CMAKE_SOURCE_DIR}/tools/install/brindles-cataclysm.desktop.in\"
        \"\${desktop}\" @ONLY)
")
