// The settings file must always read back as what was saved. After each save the soak loads the file
// into a second game (as the next start of the program would), compares every setting and hiscore entry
// with the game that saved it, lets that game save in turn and compares the bytes.
//
// The second game is made once per session and given a fresh hiscore table and joypad before each load;
// loading applies the defaults to everything else the file carries. Creating a whole game per save would
// decode both music tracks each time, which under the sanitizers cost more than the frames themselves.
#pragma once

#include <memory>
#include <string>

class TGame;

// A game kept only to read settings files into. Create it before the first run's game: creating a game
// points some process-wide drawing state at that game's pictures.
class TSettingsReader {
public:
    TSettingsReader();
    ~TSettingsReader();
    // Loads the file in the working directory as a fresh start would; the game stays valid until the next
    // load.
    TGame& load();

private:
    std::unique_ptr<TGame> reader;
};

class TSettingsCheck {
public:
    explicit TSettingsCheck(TSettingsReader& reader) : reader(reader) {}
    // Call after every frame: notices when "config.ini" in the working directory has changed.
    std::string afterFrame(TGame& game);
    // Takes the file as it is now as not saved by the game (a run's starting file, in any order).
    void remember();
    // The round trip for the file as it is now, whether or not it changed.
    std::string roundTrip(TGame& game);

    int savesChecked = 0;

private:
    TSettingsReader& reader;
    std::string lastBytes;
};
