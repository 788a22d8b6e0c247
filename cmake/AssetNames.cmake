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
