// The core tells the backend of every change to the working directory's files, which is when the browser
// copies them into its storage: a change it missed would be lost with the page.
#include "platform/display.h"
#include "platform/files.h"
#include "platform/null/null_backend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class FilesChangedTest : public testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        scratch = std::filesystem::temp_directory_path() /
                  ("kelvanor_files_changed_" +
                   std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(scratch);
        std::filesystem::create_directories(scratch);
        std::filesystem::current_path(scratch);
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(scratch);
    }

    std::filesystem::path previous, scratch;
};

void writeFile(const char* path) {
    const TextFile file = openTextForWrite(path);
    ASSERT_TRUE(file);
    writeTextLine(file, "line");
    ASSERT_TRUE(closeTextFile(file));
}

TEST_F(FilesChangedTest, WritingReplacingAndRemovingEachTellTheBackend) {
    const long before = nullFilesChanged();
    writeFile("settings.tmp");
    EXPECT_EQ(nullFilesChanged(), before + 1);
    ASSERT_TRUE(renameFile("settings.tmp", "settings.ini"));
    EXPECT_EQ(nullFilesChanged(), before + 2);
    ASSERT_TRUE(removeFile("settings.ini"));
    EXPECT_EQ(nullFilesChanged(), before + 3);
}

TEST_F(FilesChangedTest, ReadingAndFailingChangeNothing) {
    writeFile("kept.ini");
    const long before = nullFilesChanged();
    const TextFile file = openTextForRead("kept.ini");
    ASSERT_TRUE(file);
    EXPECT_EQ(readTextLine(file), "line");
    closeTextFile(file);
    EXPECT_FALSE(renameFile("missing.ini", "other.ini"));
    EXPECT_FALSE(removeFile("missing.ini"));
    EXPECT_EQ(nullFilesChanged(), before);
}

TEST_F(FilesChangedTest, AScreenshotTellsTheBackend) {
    auto buffer = std::make_shared<TPixelBuffer>();
    buffer->width = 2;
    buffer->height = 2;
    buffer->rgba.assign(16, 255);
    const long before = nullFilesChanged();
    ASSERT_EQ(savePixelBufferPng(buffer, "screen000.png", 6), 1);
    EXPECT_EQ(nullFilesChanged(), before + 1);
    EXPECT_TRUE(std::filesystem::exists("screen000.png"));
}

} // namespace
