#include "joypad_fixture.h"
#include "platform/files.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace {

void writeLines(const std::string& path, std::initializer_list<std::string_view> lines) {
    const TextFile file = openTextForWrite(path);
    ASSERT_TRUE(file);
    for (std::string_view line : lines)
        writeTextLine(file, line);
    ASSERT_TRUE(closeTextFile(file));
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    const TextFile file = openTextForRead(path);
    while (file && !atEndOfFile(file))
        lines.push_back(readTextLine(file));
    return lines;
}

TJoypadMapping sampleMapping() {
    TJoypadMapping mapping;
    mapping.moveXAxis = 1;
    mapping.moveYAxis = 2;
    mapping.fireXAxis = 9;
    mapping.fireYAxis = 5;
    mapping.bombButton = 11;
    mapping.pauseButton = 0;
    mapping.selectButton = 3;
    mapping.backButton = 7;
    return mapping;
}

void expectMapping(const TJoypadMapping& mapping, std::array<int, 8> expected) {
    EXPECT_EQ(mappingValues(mapping), expected);
}

// Reads the block the way the settings reader does: the section line first, then the mapping's lines.
TJoypadMapping readBlock(const std::string& path, TJoypadMapping mapping = {}) {
    const TextFile file = openTextForRead(path);
    EXPECT_TRUE(file);
    EXPECT_EQ(readTextLine(file), "[JoyPad]");
    mapping.read(file);
    closeTextFile(file);
    return mapping;
}

TEST(JoypadMappingStoredForm, IsTheSectionLineAndEightNumbersInFieldOrder) {
    const TextFile file = openTextForWrite("joypad_block.ini");
    ASSERT_TRUE(file);
    sampleMapping().write(file);
    ASSERT_TRUE(closeTextFile(file));

    EXPECT_EQ(readLines("joypad_block.ini"),
              (std::vector<std::string>{"[JoyPad]", "1", "2", "9", "5", "11", "0", "3", "7"}));
    expectMapping(readBlock("joypad_block.ini"), {1, 2, 9, 5, 11, 0, 3, 7});
}

TEST(JoypadMappingStoredForm, NumbersOutOfRangeArePulledIntoIt) {
    writeLines("joypad_wild.ini", {"[JoyPad]", "42", "-3", "7", "10", "99", "12", "-1", "$B"});
    expectMapping(readBlock("joypad_wild.ini"), {9, 0, 7, 9, 11, 11, 0, 11});
}

TEST(JoypadMappingStoredForm, ABlockCutShortKeepsTheRestOfTheMapping) {
    writeLines("joypad_short.ini", {"[JoyPad]", "4", "8"});
    expectMapping(readBlock("joypad_short.ini", sampleMapping()), {4, 8, 9, 5, 11, 0, 3, 7});
}

} // namespace
