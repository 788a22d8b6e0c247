// The run file: one recorded run, self-contained, in a form made to travel between machines, the desktop
// and the browser alike. Plain text lines (LF; a CR before it is taken too):
//
//   kelvanor-run 1
//   result NAME BRAG score kills×10 fired hit    NAME and BRAG as hexadecimal bytes, "-" when empty
//   level 20                                     the level the run reached
//   frames 14212                                 frames played, the last being the one that left the run
//   random 1234567                               the generator's state at the run's start
//   options music effects grid control selected port
//   mapping moveX moveY fireX fireY bomb pause select back
//   pad moveX moveY fireX fireY bomb pause select back pausePrev selectPrev backPrev stick mode step
//       waiting connected connectedPrev pauseTimer
//   craft fireDelay blinkTime scrollX scrollY PARTICLE PARTICLE   the craft's timers, the world's scroll,
//                                                the craft's and the border's particles
//   entry step NAME BRAG                         the name entry as the run found it
//   table NAME BRAG score kills×10 fired hit     ten lines, in table order
//   pattern phase choice remaining groupLimit waitTime stepTime spawnX spawnY   each spawn pattern's progress
//   shot life PARTICLE                           what was still flying at the start, if anything
//   wave radius maxRadius alpha destroys activeBomb PARTICLE
//   text x y scale TEXT                          a score text still shrinking (each draws from the generator)
//   check frame random player enemies shots level     every 60th frame, 32-bit hashes in hexadecimal
//   tape BYTES                                   the run tape's length, then its bytes as they are
//   end
//
// Every float is its 32 IEEE bits in hexadecimal (PARTICLE: fourteen of them and the margin flag), so the
// file means the same on every machine. Reading checks every line, count and range, and refuses (with a
// reason naming the line) anything else, a file cut short included.
#pragma once

#include "app/run_recording.h"

#include <optional>
#include <string>
#include <string_view>

constexpr size_t RunFileMaxBytes = 4 * 1024 * 1024;

std::string runFileText(const TRun& run);
std::optional<TRun> runFromText(std::string_view text, std::string& problem);

// Through the game's own file functions; reading refuses a file larger than RunFileMaxBytes.
std::optional<TRun> readRunFile(const std::string& path, std::string& problem);
