// Writing finished asset files. A file that cannot be written ends the generator with a message, so the
// build stops instead of embedding a stale or partial asset.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

std::string outputPath(const std::string& outDir, std::string_view fileName);
void writeOutputFile(const std::string& outDir, std::string_view fileName, std::span<const uint8_t> bytes);
void writeOutputFile(const std::string& outDir, std::string_view fileName, std::string_view text);
[[noreturn]] void failGenerator(const std::string& message);
