// Text files read and written line by line (one byte a character), and reading numbers from text.
#pragma once

#include <memory>
#include <string>
#include <string_view>

struct TTextFile;
using TextFile = std::shared_ptr<TTextFile>;

// What reading a plain file whole found. Unreadable is not missing: the file is there (a directory, a
// pipe, a file without read permission, one larger than the limit, or a read error), and whatever it
// holds must not be replaced as if it were not.
enum class PlainFileState { Missing, Unreadable, Read };
struct TPlainFileRead {
    PlainFileState state = PlainFileState::Missing;
    std::string bytes;
    bool operator==(const TPlainFileRead&) const = default;
};
// Follows links (a player may link the settings to a file elsewhere on purpose); only a regular file of
// at most limit bytes is read, and a read that stops making progress ends it.
TPlainFileRead readPlainFile(std::string_view path, size_t limit);

// Names go through the asset store, so "incbin::enemy0.xml" opens an embedded file. A plain file is read
// whole into memory first (up to 64 MiB).
TextFile openTextForRead(std::string_view path);
// The same for a plain file of at most limit bytes, telling a missing file from one it could not read.
TextFile openTextForRead(std::string_view path, size_t limit, PlainFileState& state);
TextFile openTextForWrite(std::string_view path);
// Writes go to a fresh "<path>.tmp" beside path, made as writeFileSafely makes it (safe_write.h); once
// flushed and closed, renameFile puts it in place. While a replay runs the lines go nowhere.
TextFile openTextForSafeWrite(std::string_view path);
// Up to LF, NUL or the end of the file; CR bytes are dropped. Empty at the end of the file.
std::string readTextLine(const TextFile& file);
void writeTextLine(const TextFile& file, std::string_view text); // ends the line with CR LF
int atEndOfFile(const TextFile& file);
// Pushes everything written so far onto the disk itself (not only to the system's cache), so that a
// file written beside its final name can then be renamed over it safely. False when that failed.
bool flushTextFile(const TextFile& file);
// Flushes and closes; returns false when the data could not be written in full.
bool closeTextFile(const TextFile& file);
int pathKind(std::string_view path); // 0 nothing, 1 a file, 2 a directory
// Puts the file at from under the name to in one step, replacing what was there; false on failure.
// Both leave the disk alone while a replay runs, and answer true.
bool renameFile(std::string_view from, std::string_view to);
bool removeFile(std::string_view path);

// Sign, decimal digits, "$" hexadecimal or "%" binary; no digits gives 0.
int parseInteger(std::string_view text);
// Sign, digits, fraction, exponent; stops at the first character that does not fit; no digits gives 0.
double parseReal(std::string_view text);
