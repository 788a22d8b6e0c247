// The asset generator's parts. Each writes its files into the output directory, deterministically: the same
// bytes on every run and every machine.
#pragma once

#include <string>

// glowing.png, player_logo2.png, bomb_logo.png, logo.png, enemyicons.png
void writePictureAssets(const std::string& outDir);
// The fifteen shape files.
void writeShapeAssets(const std::string& outDir);
// The WAVE effects (fx_*.wav).
void writeSoundEffectAssets(const std::string& outDir);
// music_title.ogg and music_play.ogg.
void writeMusicAssets(const std::string& outDir);
