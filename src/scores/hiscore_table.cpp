// THiscoreTable: the default table, its order, its page on the title screen and its stored block.
#include "scores/hiscore_table.h"

#include "app/ui/caption.h"
#include "scores/text_line.h"

#include <algorithm>
#include <vector>

std::shared_ptr<THiscoreTable> THiscoreTable::create() {
    auto table = std::make_shared<THiscoreTable>();
    for (int i = 0; i < Size; ++i)
        table->entries[static_cast<size_t>(i)] = TScoreRecord::create("Vek", 10000 - 100 * i, "Eat That!");
    table->sort();
    return table;
}

void THiscoreTable::sort() {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a->compare(*b) > 0; });
    best = entries.front();
    lowest = entries.back();
}

namespace {

bool sameEntry(const TScoreRecord& a, const TScoreRecord& b) {
    return a.name == b.name && a.brag == b.brag && a.score == b.score && a.kills == b.kills &&
           a.shotsFired == b.shotsFired && a.shotsHit == b.shotsHit;
}

} // namespace

void THiscoreTable::merge(const THiscoreTable& other) {
    std::vector<std::shared_ptr<TScoreRecord>> both(entries.begin(), entries.end());
    std::array<bool, Size> matched{};
    for (const auto& theirs : other.entries) {
        bool counted = false;
        for (size_t i = 0; i < entries.size() && !counted; ++i) {
            if (!matched[i] && sameEntry(*entries[i], *theirs)) matched[i] = counted = true;
        }
        if (!counted) both.push_back(std::make_shared<TScoreRecord>(*theirs));
    }
    std::stable_sort(both.begin(), both.end(),
                     [](const auto& a, const auto& b) { return a->compare(*b) > 0; });
    std::copy_n(both.begin(), Size, entries.begin());
    sort();
}

void THiscoreTable::draw(float y) {
    drawCaption("GRID HEROES", y, CaptionStyle::Blue, {.white = true});
    TTextLine boast;
    boast << best->name << " says: " << best->brag;
    drawCaption(boast.view(), y + 50, CaptionStyle::Flashing, {.bar = false});
    best->drawStats(y + 70, 1, true);
    // The detailed block above takes 170 rows; places 2 to 10 follow one line each.
    for (int place = 2; place <= Size; ++place)
        entries[static_cast<size_t>(place - 1)]->drawStats(y + 240 + 20 * static_cast<float>(place - 2),
                                                           place, false);
}

void THiscoreTable::read(const TextFile& file) {
    for (const auto& record : entries)
        record->read(file);
    sort();
}

void THiscoreTable::write(const TextFile& file) const {
    for (const auto& record : entries)
        record->write(file);
}
