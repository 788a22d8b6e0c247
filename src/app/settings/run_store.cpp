#include "app/settings/run_store.h"

#include "app/run_file.h"
#include "platform/files.h"
#include "platform/safe_write.h"
#include "scores/hiscore_table.h"

#include <algorithm>
#include <cstdio>

namespace {

// FNV-1a over the record's fields: a file name that any machine computes alike for the same record.
uint64_t recordHash(const TRecordResult& r) {
    uint64_t hash = 0xcbf29ce484222325ull;
    auto add = [&hash](std::string_view bytes) {
        for (unsigned char byte : bytes)
            hash = (hash ^ byte) * 0x100000001b3ull;
        hash = (hash ^ 0xFF) * 0x100000001b3ull; // a separator, so "AB"+"C" differs from "A"+"BC"
    };
    add(r.name);
    add(r.brag);
    for (int number : r.kills)
        add(std::to_string(number));
    add(std::to_string(r.score));
    add(std::to_string(r.shotsFired));
    add(std::to_string(r.shotsHit));
    return hash;
}

bool inTable(const TRecordResult& record, const THiscoreTable& table) {
    return std::any_of(table.entries.begin(), table.entries.end(),
                       [&](const auto& entry) { return TRecordResult::of(*entry) == record; });
}

} // namespace

std::string runPathFor(const TRecordResult& record) {
    char name[40];
    std::snprintf(name, sizeof name, "%s/%016llx.run", RunStore::Folder,
                  static_cast<unsigned long long>(recordHash(record)));
    return name;
}

bool writeRunFile(const std::string& path, const TRun& run) {
    return writeFileSafely(path, runFileText(run));
}

bool keepFinishedRun(const TRun& run, const THiscoreTable& table) {
    bool written = writeRunFile(RunStore::LastRunPath, run);
    if (inTable(run.result, table)) written = writeRunFile(runPathFor(run.result), run) && written;
    for (const TRecordResult& before : run.start.table)
        if (!inTable(before, table)) removeFile(runPathFor(before));
    return written;
}

std::optional<TRun> runForEntry(const TRecordResult& entry, std::string& problem) {
    const std::string path = runPathFor(entry);
    if (pathKind(path) != 1) {
        problem = "NO RUN KEPT FOR THIS ENTRY";
        return std::nullopt;
    }
    auto run = readRunFile(path, problem);
    if (run && !(run->result == entry)) {
        problem = "THIS RUN BELONGS TO ANOTHER ENTRY";
        return std::nullopt;
    }
    if (!run) problem = "THIS RUN CANNOT BE READ";
    return run;
}
