// The loaders fed with untrusted bytes, and what each must hold true of anything it accepts.
//
// Sections: fatal errors · settings · shapes · sounds · pictures and fonts · replays.
#include "fuzz_targets.h"

#include "app/game.h"
#include "app/run_file.h"
#include "app/ui/front_end.h"
#include "audio/sound_bank.h"
#include "input/joypad.h"
#include "platform/assets.h"
#include "platform/image_decoders.h"
#include "platform/program.h"
#include "platform/replay_file.h"
#include "platform/sound_decoders.h"
#include "play/grid.h"
#include "play/player.h"
#include "scores/hiscore_table.h"
#include "shapes/shape.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <stdexcept>

// --- Fatal errors --------------------------------------------------------------------------------------

namespace {

struct TFatalErrorRaised {};

// For the length of one load the game's fatal error unwinds back here instead of ending the process, so
// every object the loader made on the way is released as usual.
class TFatalErrorCatcher {
public:
    TFatalErrorCatcher() {
        setFatalErrorHandler([](std::string_view) { throw TFatalErrorRaised{}; });
    }
    ~TFatalErrorCatcher() { setFatalErrorHandler({}); }
    TFatalErrorCatcher(const TFatalErrorCatcher&) = delete;
    TFatalErrorCatcher& operator=(const TFatalErrorCatcher&) = delete;
};

template <typename Load> TLoadCheck catchingFatalErrors(Load load) {
    TFatalErrorCatcher catcher;
    try {
        return load();
    } catch (const TFatalErrorRaised&) {
        return {TLoadOutcome::FatalError, {}};
    }
}

TLoadCheck loaded(std::string fault = {}) {
    return {TLoadOutcome::Loaded, std::move(fault)};
}

TLoadCheck refused() {
    return {TLoadOutcome::Refused, {}};
}

// The text loaders read real files, as the game does, from a directory of this process's own that goes
// when the process ends.
const std::filesystem::path& scratchDirectory() {
    static const std::filesystem::path directory = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelvanor-load-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("no scratch directory for the loaders");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchDirectory(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return directory;
}

bool writeScratchFile(const char* name, const uint8_t* bytes, size_t size) {
    std::FILE* file = std::fopen((scratchDirectory() / name).c_str(), "wb");
    if (!file) return false;
    const bool written = size == 0 || std::fwrite(bytes, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// The settings file has no path of its own but the working directory's.
class TInScratchDirectory {
public:
    TInScratchDirectory() : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(scratchDirectory());
    }
    ~TInScratchDirectory() { std::filesystem::current_path(previous); }
    TInScratchDirectory(const TInScratchDirectory&) = delete;
    TInScratchDirectory& operator=(const TInScratchDirectory&) = delete;

private:
    std::filesystem::path previous;
};

} // namespace

// --- Settings ------------------------------------------------------------------------------------------

namespace {

// Only what loadSettings touches, as the game's start-up has it when the settings are read: the menus, the
// sounds, the grid, the craft and the joypad reader. Kept from one load to the next, since a game object
// costs far more to build than a load; what a load may leave as it found it is put back before each.
TGame& settingsGame() {
    static TGame game;
    if (!game.joypad) {
        buildMenus(game);
        game.sounds = std::make_shared<TSoundBank>();
        game.grid = std::make_shared<TGrid>();
        game.player = std::make_shared<TPlayer>();
        game.joypad = std::make_shared<TJoypad>();
    }
    game.joypad->mapping = TJoypadMapping{};
    game.hiscores = THiscoreTable::create();
    return game;
}

std::string mappingFault(const TJoypadMapping& mapping) {
    for (int axis : {mapping.moveXAxis, mapping.moveYAxis, mapping.fireXAxis, mapping.fireYAxis})
        if (axis < 0 || axis > TJoypadMapping::LastAxis) return "a joypad axis out of range";
    for (int button : {mapping.bombButton, mapping.pauseButton, mapping.selectButton, mapping.backButton})
        if (button < 0 || button > TJoypadMapping::LastButton) return "a joypad button out of range";
    return {};
}

std::string hiscoreFault(const THiscoreTable& table) {
    if (table.best != table.entries.front() || table.lowest != table.entries.back())
        return "the best or lowest hiscore is not at its end of the table";
    for (size_t place = 0; place < table.entries.size(); ++place) {
        const TScoreRecord& record = *table.entries[place];
        if (record.name.size() > TScoreRecord::NameLimit || record.brag.size() > TScoreRecord::BragLimit)
            return "a hiscore name or brag longer than the table's lines";
        if (place > 0 && table.entries[place - 1]->compare(record) < 0)
            return "the hiscores are out of order";
    }
    return {};
}

std::string settingsFault(const TGame& game) {
    if (!(game.musicVolume >= 0 && game.musicVolume <= 1)) return "the music volume is out of range";
    if (!(game.sounds->effectsVolume >= 0 && game.sounds->effectsVolume <= 1))
        return "the effects volume is out of range";
    if (game.grid->enabled != 0 && game.grid->enabled != 1) return "the grid option is out of range";
    if (game.player->controlMode != 0 && game.player->controlMode != 1)
        return "the control mode is out of range";
    if (std::string fault = mappingFault(game.joypad->mapping); !fault.empty()) return fault;
    return hiscoreFault(*game.hiscores);
}

} // namespace

// A settings file is edited by hand: whatever it holds, reading it must never end the game.
TLoadCheck checkSettingsFile(const uint8_t* bytes, size_t size) {
    if (!writeScratchFile("config.ini", bytes, size))
        return {TLoadOutcome::Refused, "config.ini not written"};
    TLoadCheck check = catchingFatalErrors([] {
        const TInScratchDirectory inScratch;
        TGame& game = settingsGame();
        game.loadSettings();
        return loaded(settingsFault(game));
    });
    if (check.outcome == TLoadOutcome::FatalError) check.fault = "reading the settings raised a fatal error";
    return check;
}

// --- Shapes --------------------------------------------------------------------------------------------

namespace {

std::string shapeFault(TShape& shape) {
    if (shape.sourceLines.size() != shape.drawnLines.size()) return "the drawn lines do not match the source";
    const Shape copy = shape.copy();
    copy->heading.set(0, 1);
    copy->setScale(2);
    copy->rotateLines();
    if (copy->drawnLines.size() != shape.sourceLines.size()) return "a copy lost or gained lines";
    return {};
}

} // namespace

TLoadCheck checkShapeFile(const uint8_t* bytes, size_t size) {
    if (!writeScratchFile("shape.xml", bytes, size)) return {TLoadOutcome::Refused, "shape.xml not written"};
    return catchingFatalErrors([] {
        const Shape shape = TShape::create((scratchDirectory() / "shape.xml").string());
        return loaded(shapeFault(*shape));
    });
}

// --- Sounds --------------------------------------------------------------------------------------------

namespace {

std::string clipFault(const TSoundClip& clip) {
    if (clip.channelCount != 1 && clip.channelCount != 2) return "a clip with neither one nor two channels";
    if (clip.sampleRate < 1000 || clip.sampleRate > 384000) return "a clip at a rate no card plays";
    if (clip.samples.size() % static_cast<size_t>(clip.channelCount) != 0)
        return "a clip that ends in the middle of a frame";
    return {};
}

} // namespace

TLoadCheck checkWaveFile(const uint8_t* bytes, size_t size) {
    const std::shared_ptr<TSoundClip> clip = decodeWave(bytes, size);
    if (!clip) return refused();
    // Every sample comes from at least one byte of the file.
    if (clip->samples.size() > size) return loaded("more samples than the file has bytes");
    return loaded(clipFault(*clip));
}

TLoadCheck checkOggFile(const uint8_t* bytes, size_t size) {
    const std::unique_ptr<TStream> stream = openMemoryStream(bytes, size);
    const std::shared_ptr<TSoundClip> clip = decodeOggVorbis(*stream);
    if (!clip) return refused();
    return loaded(clipFault(*clip));
}

// --- Pictures and fonts --------------------------------------------------------------------------------

TLoadCheck checkPngFile(const uint8_t* bytes, size_t size) {
    TDecodedImage image;
    if (!decodePng(bytes, size, image)) return refused();
    if (image.width <= 0 || image.height <= 0) return loaded("a picture without pixels");
    if (image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4)
        return loaded("the pixels do not fill the picture");
    return loaded();
}

namespace {

// The size the game asks its typeface for.
constexpr int gameFontPixels = 16;

std::string glyphFault(const TFontRaster& raster, const TRasterGlyph& glyph) {
    if (glyph.code < 32 || glyph.code > 255) return "a glyph for a code the game never draws";
    if (glyph.width < 0 || glyph.height < 0 ||
        glyph.coverage.size() != static_cast<size_t>(glyph.width) * glyph.height)
        return "a glyph whose coverage does not match its size";
    if (glyph.atlasX < 0 || glyph.atlasY < 0 || glyph.atlasX + glyph.width > raster.atlasWidth ||
        glyph.atlasY + glyph.height > raster.atlasHeight)
        return "a glyph outside the atlas";
    return {};
}

} // namespace

TLoadCheck checkFontFile(const uint8_t* bytes, size_t size) {
    TFontRaster raster;
    if (!rasteriseFont(bytes, size, gameFontPixels, raster)) return refused();
    if (raster.atlasWidth <= 0 || raster.atlasHeight <= 0 ||
        raster.atlas.size() != static_cast<size_t>(raster.atlasWidth) * raster.atlasHeight * 4)
        return loaded("the atlas pixels do not fill the atlas");
    std::set<int> codes;
    for (const TRasterGlyph& glyph : raster.glyphs) {
        if (!codes.insert(glyph.code).second) return loaded("two glyphs for one code");
        if (std::string fault = glyphFault(raster, glyph); !fault.empty()) return loaded(fault);
    }
    return loaded();
}

// --- Replays -------------------------------------------------------------------------------------------

namespace {

// What the replayer relies on in a file the reader accepted: the frames add up, the checkpoints fall every
// 60 frames, the end is where the frames stop, and every input decodes and writes back to the same line.
std::string replayFault(const TReplayFile& file) {
    int64_t frames = 0;
    for (const TReplayFile::TFrameRun& run : file.frameRuns) {
        if (run.repeat < 1 || run.firstStep + run.stepCount > file.clockSteps.size() ||
            run.firstInput + run.inputCount > file.inputCount())
            return "a frame run reaching outside the file";
        frames += run.repeat;
    }
    if (frames != file.frameCount) return "the frame runs do not add up to the frame count";
    for (size_t i = 0; i < file.checkpoints.size(); ++i)
        if (file.checkpoints[i].frame != static_cast<int>(i) * ReplayCheckpointFrames)
            return "a checkpoint out of place";
    if (file.end.frame != file.frameCount && file.end.frame + 1 != file.frameCount)
        return "an end away from the frames";
    for (size_t i = 0; i < file.inputCount(); ++i) {
        const TReplayInput input = file.input(i);
        const TInputRecord& record = input.record;
        if (record.kind == InputKind::PadAxis && !(record.value >= -1 && record.value <= 1))
            return "an axis value outside -1 to 1";
        if ((record.kind == InputKind::Pointer || record.kind == InputKind::MouseButton) &&
            (record.x < 0 || record.x >= 800 || record.y < 0 || record.y >= 600))
            return "a pointer off the picture";
        const std::string line = replayInputLine(input.pump, record);
        const TReplayInput again = file.input(i);
        if (replayInputLine(again.pump, again.record) != line)
            return "an input that does not write back alike";
    }
    TReplayFrameCursor cursor(file);
    int walked = 0;
    for (; !cursor.atEnd() && walked <= file.frameCount; cursor.next())
        ++walked;
    if (walked != file.frameCount) return "the cursor does not walk every frame once";
    return {};
}

} // namespace

TLoadCheck checkRunFile(const uint8_t* bytes, size_t size) {
    std::string problem;
    const auto run = runFromText(std::string_view(reinterpret_cast<const char*>(bytes), size), problem);
    if (!run) {
        if (problem.empty() || problem.find('\n') != std::string::npos)
            return {TLoadOutcome::Refused, "a refusal that is not one line"};
        return refused();
    }
    // Written again, it must read as the same run: a field the reader takes and the writer drops, or a
    // tape byte read one way and written another, shows here.
    const std::string text = runFileText(*run);
    const auto again = runFromText(text, problem);
    if (!again) return loaded("the run written back is refused: " + problem);
    if (runFileText(*again) != text) return loaded("the run written back reads differently");
    if (again->tape.frames() != run->frames) return loaded("the tape's frames differ from the file's");
    return loaded({});
}

TLoadCheck checkReplayFile(const uint8_t* bytes, size_t size) {
    const TReplayRead read = readReplayText(std::string_view(reinterpret_cast<const char*>(bytes), size));
    if (!read.file) {
        if (read.refusal.empty() || read.refusal.find('\n') != std::string::npos)
            return {TLoadOutcome::Refused, "a refusal that is not one line"};
        return refused();
    }
    return loaded(replayFault(*read.file));
}
