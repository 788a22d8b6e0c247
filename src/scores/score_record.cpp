// TScoreRecord: the run's result, its name-entry dialogue, its statistics block and its stored form.
//
// Sections: record · name entry · statistics · stored form.
#include "scores/score_record.h"

#include "app/game.h"
#include "app/ui/caption.h"
#include "platform/display.h"
#include "platform/input.h"
#include "scores/hiscore_table.h"
#include "scores/text_line.h"

#include <algorithm>
#include <climits>

// --- Record --------------------------------------------------------------------------------------------

std::shared_ptr<TScoreRecord> TScoreRecord::create(const std::string& name, int score,
                                                   const std::string& brag) {
    auto record = std::make_shared<TScoreRecord>();
    record->name = name;
    record->score = score;
    record->brag = brag;
    return record;
}

void TScoreRecord::reset() {
    name.clear();
    brag.clear();
    score = 0;
    kills.fill(0);
    shotsFired = 0;
    shotsHit = 0;
}

// Scores read from a hand-edited file can be anywhere in the int range: the plain difference would
// overflow and turn the order upside down.
int TScoreRecord::compare(const TScoreRecord& other) const {
    const long long difference = static_cast<long long>(score) - other.score;
    return static_cast<int>(std::clamp<long long>(difference, INT_MIN, INT_MAX));
}

// --- Name entry ----------------------------------------------------------------------------------------

namespace {

constexpr int TypedEnter = 13;
constexpr int TypedBackspace = 8;

// The dialogue takes only what it can show and store: upper-case letters, digits and spaces. A lower-case
// letter is taken as its upper-case form; anything else, Shift-typed capitals included, is refused.
char acceptedChar(int typed) {
    if (typed == ' ' || (typed >= '0' && typed <= '9')) return static_cast<char>(typed);
    if (typed >= 'a' && typed <= 'z') return static_cast<char>(typed - 'a' + 'A');
    return 0;
}

} // namespace

bool TScoreRecord::enter(float y, bool askBrag) {
    drawEntry(y);
    const int typed = nextTypedChar();
    if (typed == 0) return false;

    const bool askingBrag = entryStep == 2;
    std::string& input = askingBrag ? bragInput : nameInput;
    const size_t limit = askingBrag ? BragLimit : NameLimit;

    if (typed == TypedEnter) {
        if (askingBrag) {
            brag = bragInput;
            entryStep = 1;
            enterIntoTable();
            return true;
        }
        name = nameInput;
        if (!askBrag) {
            enterIntoTable();
            return true;
        }
        entryStep = 2;
        bragInput.clear();
        // Keys hit while the name was typed must not spill into the brag text.
        clearKeyState();
        return false;
    }
    if (typed == TypedBackspace) {
        if (!input.empty()) input.pop_back();
        return false;
    }
    const char accepted = acceptedChar(typed);
    if (accepted != 0 && input.size() < limit) input.push_back(accepted);
    return false;
}

void TScoreRecord::drawEntry(float y) const {
    const bool askingBrag = entryStep == 2;
    drawCaption(askingBrag ? "AND SOMETHING TO BRAG ABOUT..." : "ENTER YOUR NAME", y, CaptionStyle::Blue);
    TTextLine typedLine;
    typedLine << (askingBrag ? bragInput : nameInput) << "_";
    drawCaption(typedLine.view(), y + 20, CaptionStyle::Blue);
}

void TScoreRecord::enterIntoTable() {
    THiscoreTable& table = *game->hiscores;
    TScoreRecord& replaced = *table.lowest;
    replaced.name = name;
    replaced.brag = brag;
    replaced.score = score;
    replaced.kills = kills;
    replaced.shotsFired = shotsFired;
    replaced.shotsHit = shotsHit;
    table.sort();
}

// --- Statistics ----------------------------------------------------------------------------------------

void TScoreRecord::drawStats(float y, int place, bool detailed) const {
    if (!detailed) {
        TTextLine line;
        line << place << ": " << name << "  " << score;
        drawCaption(line.view(), y, CaptionStyle::Blue, {.bar = false});
        return;
    }

    TTextLine scoreLine;
    scoreLine << "SCORE: " << score;
    drawCaption(scoreLine.view(), y, CaptionStyle::Plain, {.white = true, .bar = false});
    TTextLine shotsLine;
    shotsLine << "SHOTS FIRED: " << shotsFired << "  SHOTS HIT: " << shotsHit;
    drawCaption(shotsLine.view(), y + 20, CaptionStyle::Plain, {.white = true, .bar = false});

    // drawCaption has left the origin, scale, opacity and additive blending as the icons need them.
    setDrawRotation(0);
    setDrawColor(255, 255, 255);
    // The kinds' icons four to a row in columns 170 apart, the last two in the middle columns.
    for (int kind = 0; kind < KindCount; ++kind) {
        const int row = kind / 4;
        const auto x = static_cast<float>(70 + 170 * (kind % 4 + (row == 2 ? 1 : 0)));
        const float top = y + static_cast<float>(45 + 33 * row);
        drawPicture(game->enemyIcons, x, top, kind);
        drawString((TTextLine() << ": " << kills[static_cast<size_t>(kind)]).view(), x + 35, top + 8);
    }
}

// --- Stored form ---------------------------------------------------------------------------------------

void TScoreRecord::write(const TextFile& file) const {
    writeTextLine(file, name);
    writeTextLine(file, brag);
    writeNumberLine(file, score);
    for (int count : kills)
        writeNumberLine(file, count);
    writeNumberLine(file, shotsFired);
    writeNumberLine(file, shotsHit);
}

// A hand-edited file may hold longer texts than the dialogue lets anyone type; they are cut to the same
// limits so that every stored entry fits the table's lines.
void TScoreRecord::read(const TextFile& file) {
    name = readTextLine(file).substr(0, NameLimit);
    brag = readTextLine(file).substr(0, BragLimit);
    score = parseInteger(readTextLine(file));
    for (int& count : kills)
        count = parseInteger(readTextLine(file));
    shotsFired = parseInteger(readTextLine(file));
    shotsHit = parseInteger(readTextLine(file));
}
