// Writing a file of the game's own (the settings, a screenshot, a kept run) so that nothing but that file
// is ever written: the name stays in the working directory, and no link, dangling or not, is followed.
//
// A path is relative and stays below the working directory: no leading "/", no "." or ".." part, no
// empty part. Folders on the way ("runs/" in "runs/best.kvr") are made when missing and must be real
// folders, not links to one. A file that may be replaced is written beside its name first, to
// "<path>.tmp", which is created fresh and exclusively (a stale one, file or link, is removed first),
// flushed to the disk and then renamed over the name in one step: a link at the name is replaced by the
// file, never written through, and a crash leaves the old file whole. A file that must be new (a
// screenshot) is created exclusively under its own name, and whatever is there already stays as it is.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

enum class SafeWriteMode { Replace, CreateNew };

// False when the path is refused or any step fails; errno then tells why, and nothing is left behind.
// While a replay runs, nothing is written and the answer is true.
bool writeFileSafely(std::string_view path, std::string_view bytes,
                     SafeWriteMode mode = SafeWriteMode::Replace);

// The first half of a Replace write, for a writer that writes as it goes (the settings file): the folders
// made and checked, and temporaryPathFor(path) created fresh for writing. Null when either fails. Rename it
// over path with renameFile once it is flushed and closed.
std::FILE* openFreshTemporary(std::string_view path);
std::string temporaryPathFor(std::string_view path);
