// kelvanor_assetgen OUTDIR [PART...]: writes the game's embedded assets into OUTDIR. The parts are
// pictures, shapes, sounds, music and font; without any, all of them are written. The build runs it with
// no parts; the tests ask for the quick ones only.
#include "generated_assets.h"
#include "output_file.h"

#include <filesystem>
#include <set>
#include <string>
#include <system_error>

namespace {

// The game's one typeface, copied as it is from the system's font package.
void copyGameFont(const std::string& outDir) {
    std::error_code error;
    std::filesystem::copy_file(KELVANOR_GAME_FONT, outputPath(outDir, "game_font.ttf"),
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error)
        failGenerator(std::string("cannot copy the game font ") + KELVANOR_GAME_FONT + ": " +
                      error.message());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) failGenerator("usage: kelvanor_assetgen OUTDIR [pictures|shapes|sounds|music|font]...");
    const std::string outDir = argv[1];
    const std::set<std::string> allParts = {"pictures", "shapes", "sounds", "music", "font"};
    std::set<std::string> parts(argv + 2, argv + argc);
    for (const std::string& part : parts) {
        if (!allParts.contains(part)) failGenerator("unknown part " + part);
    }
    if (parts.empty()) parts = allParts;

    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (error) failGenerator("cannot create " + outDir + ": " + error.message());

    if (parts.contains("pictures")) writePictureAssets(outDir);
    if (parts.contains("shapes")) writeShapeAssets(outDir);
    if (parts.contains("sounds")) writeSoundEffectAssets(outDir);
    if (parts.contains("music")) writeMusicAssets(outDir);
    if (parts.contains("font")) copyGameFont(outDir);
    return 0;
}
