// What a soak has shown the sanitizers: the enemy kinds that came into the arena, the spawn patterns that
// brought enemies in, and how far the runs went.
//
// Everything is read off the game around each frame, never from inside it. A kind counts when an enemy of
// it is new in the enemy list after a frame. A pattern counts only for enemies it actually made in that
// frame: the ones that track what they make (trickle, dodger pair, well, fortress, stream, dasher) by a new
// enemy in their group; the corner waves by a new enemy of their kind standing on one of their corners in
// the frame their count went down; the ring by a new enemy of its choice on its circle round the craft in
// the frame it closed. A wave that only counts (snake heads past the snake limit) or a pattern that looked
// and found its limit reached does not count.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

class TGame;
class TEnemy;

// The eleven kinds, 0..9 by their codes and the dasher shield last.
constexpr int SoakKindCount = 11;
// The eleven patterns, in the director's order.
constexpr int SoakPatternCount = 11;

class TSoakCoverage {
public:
    // Around every frame the soak plays; the director's patterns must be the game's eleven.
    void beforeFrame(TGame& game);
    void afterFrame(TGame& game);
    // A new game: the enemies and patterns remembered belong to the one before.
    void forget();

    void merge(const TSoakCoverage& other);
    int kindsSeen() const;
    int patternsSeen() const;
    // Names of what was never seen, for the report; empty when everything was.
    std::string missing() const;

    // New enemies by kind, and frames in which each pattern brought enemies in.
    std::array<int, SoakKindCount> kindSpawns{};
    std::array<int, SoakPatternCount> patternSpawns{};
    int levelMax = 0;             // the highest level played
    bool finishedLevel20 = false; // the director ended the run after level 20

private:
    struct TPatternBefore {
        int phase = 0;
        int remaining = 0;
    };
    // The enemies in the list before the frame, held so that a new enemy cannot reuse the address of one
    // that left during the frame without being noticed. Sorted.
    std::vector<std::shared_ptr<TEnemy>> previous;
    std::array<TPatternBefore, SoakPatternCount> patternsBefore{};
    bool haveBefore = false;
};

// The kind's name by its index (0..10), the pattern's by its place in the director.
const char* soakKindName(int index);
const char* soakPatternName(int index);
