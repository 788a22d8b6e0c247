# The embedded assets by name, shared by the desktop build (Assets.cmake) and the browser build (Web.cmake).

# Registration order: the order the game's loaders expect them in.
set(KELVANOR_ASSET_NAMES
    glowing.png player_logo2.png bomb_logo.png logo.png enemyicons.png
    player_small.xml player_shield.xml border.xml bullet.xml
    enemy0.xml enemy1.xml enemy2.xml enemy3.xml enemy5.xml enemy6.xml enemy7.xml enemy7a.xml enemy8.xml
    enemy9.xml enemy9a.xml
    game_font.ttf
    fx_menu.wav fx_expl.wav fx_bull_expl.wav fx_hole_hit.wav fx_hole_active.wav fx_hole_expl.wav
    fx_ding1.wav fx_ding2.wav fx_player_move.wav fx_shield.wav fx_player_fire.wav
    fx_entry0.wav fx_entry1.wav fx_entry2.wav fx_entry3.wav fx_entry5.wav fx_entry7.wav fx_entry8.wav
    music_title.ogg music_play.ogg)

# Larger renditions of the pictures: the generator draws each at two and four times its size as well
# ("logo@2x.png"), for displays that draw the game at a larger scale. They are carried like the assets but
# registered as levels of their picture, not as assets of their own: nothing opens them by name.
set(KELVANOR_PICTURE_LEVEL_NAMES)
foreach(picture glowing player_logo2 bomb_logo logo enemyicons)
    foreach(factor 2 4)
        list(APPEND KELVANOR_PICTURE_LEVEL_NAMES ${picture}@${factor}x.png)
    endforeach()
endforeach()
set(KELVANOR_EMBEDDED_NAMES ${KELVANOR_ASSET_NAMES} ${KELVANOR_PICTURE_LEVEL_NAMES})

# The symbols of every embedded file (kelvanorAssetNData and kelvanorAssetNSize, N its place in
# KELVANOR_EMBEDDED_NAMES), declared in C++, and the calls that register them: the assets in the game's
# order, then the renditions.
set(KELVANOR_ASSET_DECLARATIONS "")
set(KELVANOR_ASSET_REGISTRATIONS "")
set(index 0)
foreach(name IN LISTS KELVANOR_EMBEDDED_NAMES)
    set(symbol kelvanorAsset${index})
    string(APPEND KELVANOR_ASSET_DECLARATIONS
        "extern const uint8_t ${symbol}Data[];\nextern const uint64_t ${symbol}Size;\n")
    if(name MATCHES "^(.+)@([0-9]+)x\\.png$")
        string(APPEND KELVANOR_ASSET_REGISTRATIONS "    registerPictureLevel(\"${CMAKE_MATCH_1}.png\", "
            "${CMAKE_MATCH_2}, ${symbol}Data, static_cast<size_t>(${symbol}Size));\n")
    else()
        string(APPEND KELVANOR_ASSET_REGISTRATIONS
            "    registerAsset(\"${name}\", ${symbol}Data, static_cast<size_t>(${symbol}Size));\n")
    endif()
    math(EXPR index "${index} + 1")
endforeach()
