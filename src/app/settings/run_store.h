// Where runs live: a "runs" folder beside config.ini. Each entry of the hiscore table finds its run by
// the record itself (the file's name is a hash of the record, and the file carries the record), so the
// settings file keeps its layout and an old table without runs simply has none to watch. The last run
// played is kept as "last.run", table or not.
#pragma once

#include "app/run_recording.h"

#include <optional>
#include <string>

class THiscoreTable;

namespace RunStore {
constexpr const char* Folder = "runs";
constexpr const char* LastRunPath = "runs/last.run";
} // namespace RunStore

std::string runPathFor(const TRecordResult& record);
// Replaces the file in one step, through the game's safe writes (never through a link, never outside the
// working directory); false when it failed.
bool writeRunFile(const std::string& path, const TRun& run);
// A finished run: kept as the last run, and as its entry's run when it is in the table; the runs of
// the entries that left the table since the run started go. False when a file could not be written.
bool keepFinishedRun(const TRun& run, const THiscoreTable& table);
// The run kept for an entry: none (with the reason) when there is no file, it cannot be read, or it
// belongs to another record.
std::optional<TRun> runForEntry(const TRecordResult& entry, std::string& problem);
