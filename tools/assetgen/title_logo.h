// The title logo: the game's name, white-hot lettering with an orange rim on a wide orange glow, over a
// transparent background. Drawn from the Play typeface with FreeType.
#pragma once

#include <string>

// factor times the logo's own size: "logo.png" at 1, "logo@2x.png" at 2.
void writeTitleLogo(const std::string& outDir, int factor);
