// The settings file must always read back as what was saved. After each save the soak loads the file
// into a second, freshly created game (as the next start of the program would), compares every setting
// and hiscore entry with the game that saved it, lets the fresh game save in turn and compares the bytes.
#pragma once

#include <string>

class TGame;

class TSettingsCheck {
public:
    // Call after every frame: notices when "config.ini" in the working directory has changed.
    std::string afterFrame(TGame& game);
    // Takes the file as it is now as not saved by the game (a run's starting file, in any order).
    void remember();
    // The round trip for the file as it is now, whether or not it changed.
    std::string roundTrip(TGame& game);

    int savesChecked = 0;

private:
    std::string lastBytes;
};
