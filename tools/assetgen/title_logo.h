// The title logo: the game's name, white-hot lettering with an orange rim on a wide orange glow, over a
// transparent background. Drawn from the Play typeface with FreeType.
#pragma once

#include <string>

void writeTitleLogo(const std::string& outDir);
