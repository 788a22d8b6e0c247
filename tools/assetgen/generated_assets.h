// The asset generator's parts. Each writes its files into the output directory, deterministically: the same
// bytes on every run and every machine.
#pragma once

#include <string>
#include <string_view>

// The sizes every picture is drawn at: its own, and larger ones for displays that draw the game at a
// larger scale.
constexpr int PictureFactors[] = {1, 2, 4};
// "logo.png" at its own size, "logo@2x.png" at twice the size.
std::string pictureFileName(std::string_view stem, int factor);
// glowing.png, player_logo2.png, bomb_logo.png, logo.png, enemyicons.png, each at every factor
void writePictureAssets(const std::string& outDir);
// The fifteen shape files.
void writeShapeAssets(const std::string& outDir);
// The WAVE effects (fx_*.wav).
void writeSoundEffectAssets(const std::string& outDir);
// music_title.ogg and music_play.ogg.
void writeMusicAssets(const std::string& outDir);
