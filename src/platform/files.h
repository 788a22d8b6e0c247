// Text files read and written line by line (one byte a character), and reading numbers from text.
#pragma once

#include <memory>
#include <string>
#include <string_view>

struct TTextFile;
using TextFile = std::shared_ptr<TTextFile>;

// Names go through the asset store, so "incbin::enemy0.xml" opens an embedded file.
TextFile openTextForRead(std::string_view path);
TextFile openTextForWrite(std::string_view path);
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
bool renameFile(std::string_view from, std::string_view to);
bool removeFile(std::string_view path);
// Creates the folder (one level) unless it is there; true when a folder of that name is there afterwards.
bool makeFolder(std::string_view path);

// Sign, decimal digits, "$" hexadecimal or "%" binary; no digits gives 0.
int parseInteger(std::string_view text);
// Sign, digits, fraction, exponent; stops at the first character that does not fit; no digits gives 0.
double parseReal(std::string_view text);
