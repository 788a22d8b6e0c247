// Run files the browser page trades with the player: the chosen run offered as a download, and a run the
// player opens from their disk (the page's file picker, or a file dropped on it) to watch. The page's
// script and the game meet at two fixed files of the in-memory file system and these flags; the desktop
// has the player's own folders and uses none of it.
#pragma once

#include <string>
#include <string_view>

namespace PageFiles {
constexpr const char* Opened = "/tmp/kelvanor-opened.run";
constexpr const char* ToSave = "/tmp/kelvanor-save.run";
} // namespace PageFiles

// The run a save would hand out now (empty: none), set by the page the game shows.
void offerRunToSave(std::string_view path);
const std::string& runOfferedToSave();
// The page's script has put a run at PageFiles::Opened.
void markRunOpened();
bool runOpenedPending();
bool takeRunOpened();
// How the last watched run went, for the page's script: 0 none, 1 playing, 2 matched, 3 refused, 4 left.
void setWatchOutcome(int outcome);
int watchOutcome();
