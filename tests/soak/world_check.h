// What must hold after every frame of a soak run, whatever the input and whatever the frame time.
//
// - Every position and velocity the game moves is finite: the craft, the border, every world particle,
//   enemy, shot, spark, shockwave and score text, and every grid point.
// - Ownership: the particles list holds exactly the particles of the craft, the border, the shots, the
//   sparks and the enemies (a dasher's shield excepted), each once. An enemy whose particle is missing
//   would freeze in place; a particle without an owner would be integrated for ever.
// - Lifetimes, in game time: a list entry that outlives what its kind allows is a leak that would grow
//   the list without end. These are what bound the lists; the hard caps below back them up.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>

class TGame;

// Longest stays, in seconds of game time, before the frame that ends them (which may itself be long).
namespace SoakLifetime {
constexpr float Shot = 5.0f;      // its flight time; the walls usually end it much sooner
constexpr float Spark = 2.0f;     // the gravity well's sparks, the longest-lived (bursts live 1 s)
constexpr float Popup = 0.8f;     // shrinks by 1.25 a second from full size
constexpr float Shockwave = 0.7f; // grows to 800 at 1300 a second, fading by 2 a second
} // namespace SoakLifetime

// Hard caps. Shots: a volley of at most 5 no more than once per frame and per 0.1 s of fire delay, for at
// most 5 s: 5 x 51. Sparks: the biggest frames (a bomb wave bursting 50 sparks on each of the enemies
// it reaches) over 2 s of 1-ms frames could in principle exceed any small figure, so the cap only catches
// runaway growth. Enemies: see the report of the soak runs for the highest count seen.
namespace SoakCap {
constexpr size_t Shots = 255;
constexpr size_t Sparks = 60000;
constexpr size_t Enemies = 600;
constexpr size_t Shockwaves = 200;
constexpr size_t Popups = 2000;
} // namespace SoakCap

// The largest list sizes seen, for the report.
struct TListPeaks {
    size_t particles = 0, shots = 0, sparks = 0, enemies = 0, shockwaves = 0, popups = 0;
    void merge(const TListPeaks& other);
};

class TWorldCheck {
public:
    // Checks the game after one frame that advanced the clock by frameSeconds. Returns the first broken
    // rule as a message, or an empty string.
    std::string afterFrame(TGame& game, float frameSeconds);
    // A new game object: every address it remembers is stale.
    void forget();

    TListPeaks peaks;

private:
    std::string checkFinite(TGame& game) const;
    std::string checkOwnership(TGame& game) const;
    std::string checkLifetimes(TGame& game);
    std::string checkCaps(TGame& game);

    float gameTime = 0;
    // When each entry was first seen, by the address of what identifies it; entries gone from the lists
    // are dropped every frame. The weak reference tells a reused address from the object first seen there.
    struct TBirth {
        std::weak_ptr<const void> identity;
        float time = 0;
        float lastScale = 0; // score texts only: they only ever shrink
    };
    std::unordered_map<const void*, TBirth> born;
};
