#include "platform/assets.h"
#include "platform/files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

namespace {

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(TextFileReading, SplitsAtLineFeedsAndDropsCarriageReturns) {
    writeBytes("lines.txt", "abc\r\ndef");
    const TextFile file = openTextForRead("lines.txt");
    ASSERT_TRUE(file);
    EXPECT_EQ(readTextLine(file), "abc");
    EXPECT_EQ(atEndOfFile(file), 0);
    EXPECT_EQ(readTextLine(file), "def"); // the last line needs no line feed
    EXPECT_EQ(atEndOfFile(file), 1);
    EXPECT_EQ(readTextLine(file), "");
    EXPECT_TRUE(closeTextFile(file));
}

TEST(TextFileReading, NulEndsALineAndEmptyLinesSurvive) {
    writeBytes("nul.txt", std::string("ab\0cd\n\n\xE9x\n", 10));
    const TextFile file = openTextForRead("nul.txt");
    ASSERT_TRUE(file);
    EXPECT_EQ(readTextLine(file), "ab");
    EXPECT_EQ(readTextLine(file), "cd");
    EXPECT_EQ(readTextLine(file), "");
    EXPECT_EQ(readTextLine(file), "\xE9x"); // one byte a character, whatever its value
    EXPECT_EQ(atEndOfFile(file), 1);
}

TEST(TextFileReading, LinesLongerThanTheReadBufferComeBackWhole) {
    const std::string longLine(10000, 'k');
    writeBytes("long.txt", longLine + "\r\nend\r\n");
    const TextFile file = openTextForRead("long.txt");
    ASSERT_TRUE(file);
    EXPECT_EQ(readTextLine(file), longLine);
    EXPECT_EQ(readTextLine(file), "end");
    EXPECT_EQ(atEndOfFile(file), 1);
}

TEST(TextFileReading, EmbeddedFilesReadLikePlainOnes) {
    static const uint8_t bytes[] = {'<', 's', '>', '\r', '\n', '<', '/', 's', '>'};
    registerAsset("files_test_shape.xml", bytes, sizeof bytes);
    const TextFile file = openTextForRead("incbin::files_test_shape.xml");
    ASSERT_TRUE(file);
    EXPECT_EQ(readTextLine(file), "<s>");
    EXPECT_EQ(readTextLine(file), "</s>");
    EXPECT_EQ(atEndOfFile(file), 1);
    EXPECT_EQ(pathKind("incbin::files_test_shape.xml"), 1);
}

TEST(TextFiles, UnopenableFilesGiveNullAndNullFilesAreHarmless) {
    EXPECT_FALSE(openTextForRead("no_such_file.ini"));
    EXPECT_FALSE(openTextForRead("incbin::no_such_asset.xml"));
    EXPECT_FALSE(openTextForWrite("incbin::config.ini")); // embedded files are read-only
    EXPECT_FALSE(openTextForWrite("no_such_directory/config.ini"));
    const TextFile none;
    EXPECT_EQ(readTextLine(none), "");
    EXPECT_EQ(atEndOfFile(none), 1);
    writeTextLine(none, "ignored");
    EXPECT_FALSE(closeTextFile(none));
}

TEST(TextFileWriting, EndsEveryLineWithCarriageReturnLineFeed) {
    const TextFile file = openTextForWrite("written.txt");
    ASSERT_TRUE(file);
    writeTextLine(file, "x");
    writeTextLine(file, "");
    writeTextLine(file, "[Grid]");
    EXPECT_TRUE(closeTextFile(file));
    EXPECT_EQ(readText("written.txt"), std::string("x\r\n\r\n[Grid]\r\n"));
}

TEST(TextFileWriting, ALostWriteIsReportedWhenClosing) {
    // /dev/full takes the open but refuses every byte.
    struct stat status {};
    if (::stat("/dev/full", &status) != 0) GTEST_SKIP() << "/dev/full is not available here";
    const TextFile file = openTextForWrite("/dev/full");
    ASSERT_TRUE(file);
    writeTextLine(file, "score 1000000");
    EXPECT_FALSE(closeTextFile(file));
}

TEST(TextFileWriting, AFlushedFileRenamedOverTheOldOneReplacesIt) {
    writeBytes("settings.ini", "old\r\n");
    const TextFile file = openTextForWrite("settings.ini.new");
    ASSERT_TRUE(file);
    writeTextLine(file, "new");
    EXPECT_TRUE(flushTextFile(file));
    EXPECT_TRUE(closeTextFile(file));
    EXPECT_TRUE(renameFile("settings.ini.new", "settings.ini"));
    EXPECT_EQ(readText("settings.ini"), "new\r\n");
    EXPECT_EQ(pathKind("settings.ini.new"), 0);
    EXPECT_FALSE(renameFile("settings.ini.new", "settings.ini"));
    EXPECT_TRUE(removeFile("settings.ini"));
    EXPECT_FALSE(removeFile("settings.ini"));
}

TEST(PathKind, TellsNothingFilesAndDirectoriesApart) {
    writeBytes("kind.txt", "x");
    ::mkdir("kind_dir", 0755);
    EXPECT_EQ(pathKind("kind.txt"), 1);
    EXPECT_EQ(pathKind("kind_dir"), 2);
    EXPECT_EQ(pathKind("kind_missing"), 0);
}
