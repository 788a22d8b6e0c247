#include "app/ui/hiscores_page.h"

#include "app/game.h"
#include "app/run_file.h"
#include "app/settings/run_store.h"
#include "app/ui/caption.h"
#include "app/ui/menu.h"
#include "app/watch_run.h"
#include "input/joypad.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/page_files.h"
#include "scores/hiscore_table.h"

#include <string>

namespace {

constexpr int LastRunRow = THiscoreTable::Size;
constexpr float TableTop = 50;
constexpr float LastRunY = 480;
constexpr float NoteY = 520;
// The stick chooses once per push: it must come back inside this before it chooses again.
constexpr float StickPush = 0.8f;

struct TPage {
    int row = 0;
    bool stickPushed = false;
    std::string note; // why the chosen run is not shown
};

TPage page;

float rowY(int row) {
    if (row == 0) return TableTop + 50;
    if (row == LastRunRow) return LastRunY;
    return TableTop + 240 + 20 * static_cast<float>(row - 1);
}

std::string rowText(const TGame& g, int row) {
    if (row == LastRunRow) return "LAST RUN";
    const TScoreRecord& entry = *g.hiscores->entries[static_cast<size_t>(row)];
    if (row == 0) return entry.name + " says: " + entry.brag;
    return std::to_string(row + 1) + ": " + entry.name + "  " + std::to_string(entry.score);
}

int stickMove(const TJoypad& pad) {
    const float y = pad.move.y;
    if (page.stickPushed) {
        page.stickPushed = y > -StickPush && y < StickPush ? false : page.stickPushed;
        return 0;
    }
    if (y <= -StickPush || y >= StickPush) {
        page.stickPushed = true;
        return y < 0 ? -1 : 1;
    }
    return 0;
}

// Watches the run, or says why there is none to watch.
void watchOrNote(TGame& g, const std::optional<TRun>& run, const std::string& note) {
    page.note = run ? std::string() : note;
    if (run) startWatching(g, *run);
}

void watchChosen(TGame& g) {
    std::string problem;
    std::optional<TRun> run;
    if (page.row == LastRunRow) {
        run = readRunFile(RunStore::LastRunPath, problem);
        if (!run) problem = "NO RUN PLAYED YET";
    } else {
        run = runForEntry(TRecordResult::of(*g.hiscores->entries[static_cast<size_t>(page.row)]), problem);
    }
    watchOrNote(g, run, problem);
}

} // namespace

void openHiscoresPage(TGame& g) {
    g.state = GameState::HiscoresPage;
    page.note.clear();
}

int hiscoresPageRow() {
    return page.row;
}

const std::string& hiscoresPageNote() {
    return page.note;
}

namespace {

// The chosen row's run, where a save would find it; empty when the row has none.
std::string chosenRunPath(const TGame& g) {
    const std::string path =
        page.row == LastRunRow
            ? std::string(RunStore::LastRunPath)
            : runPathFor(TRecordResult::of(*g.hiscores->entries[static_cast<size_t>(page.row)]));
    return pathKind(path) == 1 ? path : std::string();
}

// A run the player opened on the page (a browser's file picker or a dropped file), watched at once.
void watchOpenedRun(TGame& g) {
    std::string problem;
    const auto run = readRunFile(PageFiles::Opened, problem);
    if (!run) setWatchOutcome(3);
    watchOrNote(g, run, "THIS FILE IS NOT A RUN");
}

} // namespace

void hiscoresPageStep(TGame& g, float dt) {
    g.frontEndBackdrop(dt, true);
    g.fadeLogoOut();
    g.hiscores->draw(TableTop);
    drawCaption("LAST RUN", LastRunY, CaptionStyle::Blue);
    drawCaption(rowText(g, page.row), rowY(page.row), CaptionStyle::Green, {.white = true});
    if (std::string refused = takeWatchRefusal(); !refused.empty()) page.note = refused;
    if (!page.note.empty()) drawCaption(page.note, NoteY, CaptionStyle::Flashing, {.white = true});
    drawCaption("UP/DOWN CHOOSE  ENTER WATCH  ESCAPE BACK", 570, CaptionStyle::Green, {.white = true});

    // Every key is read each frame, so none lingers into the title or the watched run.
    int move = stickMove(*g.joypad);
    if (keyHitCount(Key::Up)) move = -1;
    if (keyHitCount(Key::Down)) move = 1;
    const bool back = g.joypad->backPressed() | (keyHitCount(Key::Escape) != 0);
    const bool choose = g.joypad->selectPressed() | (keyHitCount(Key::Enter) != 0);
    if (move != 0) {
        page.row = (page.row + move + LastRunRow + 1) % (LastRunRow + 1);
        page.note.clear();
        playMenuSound(1.0f);
    }
    if (back) {
        playMenuSound(0.8f);
        g.state = GameState::Title;
    } else if (choose) {
        playMenuSound(0.8f);
        watchChosen(g);
    }
    if (!watchingRun() && takeRunOpened()) watchOpenedRun(g);
    offerRunToSave(watchingRun() ? std::string() : chosenRunPath(g));
}
