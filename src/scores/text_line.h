// TTextLine: one line of screen text put together in a fixed buffer, so that drawing a statistics line
// or the name being typed every frame never allocates. Text past the buffer is cut off.
// writeNumberLine: a decimal number as one line of a text file, as the settings file stores them.
#pragma once

#include "platform/files.h"

#include <array>
#include <charconv>
#include <string_view>

class TTextLine {
public:
    TTextLine& operator<<(std::string_view text) {
        for (char c : text) {
            if (length == chars.size()) break;
            chars[length++] = c;
        }
        return *this;
    }

    TTextLine& operator<<(int number) {
        const auto result = std::to_chars(chars.data() + length, chars.data() + chars.size(), number);
        if (result.ec == std::errc()) length = static_cast<size_t>(result.ptr - chars.data());
        return *this;
    }

    std::string_view view() const { return {chars.data(), length}; }

private:
    std::array<char, 96> chars{};
    size_t length = 0;
};

inline void writeNumberLine(const TextFile& file, int value) {
    TTextLine text;
    text << value;
    writeTextLine(file, text.view());
}
