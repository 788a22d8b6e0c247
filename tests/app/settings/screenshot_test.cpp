#include "app/settings/screenshot.h"
#include "harness/display_fixture.h"
#include "platform/display.h"
#include "platform/files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ScreenshotTest : public DisplayTest {
protected:
    // Each test works in a scratch directory of its own: ctest runs tests side by side, and they would
    // otherwise see each other's pictures.
    void SetUp() override {
        DisplayTest::SetUp();
        char pattern[] = "screenshot-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        scratch = pattern;
        ASSERT_EQ(::chdir(scratch.c_str()), 0);
    }
    void TearDown() override {
        removeShots();
        ASSERT_EQ(::chdir(".."), 0);
        ::rmdir(scratch.c_str());
    }

    std::string scratch;

    static void touch(const std::string& name) {
        std::FILE* file = std::fopen(name.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    static void removeShots() {
        for (int n = 0; n < 5; ++n) {
            std::remove(screenshotName(n).c_str());
            ::rmdir(screenshotName(n).c_str());
        }
    }
};

TEST(ScreenshotName, PadsToThreeDigitsAndGrowsPastThem) {
    EXPECT_EQ(screenshotName(0), "screen000.png");
    EXPECT_EQ(screenshotName(42), "screen042.png");
    EXPECT_EQ(screenshotName(999), "screen999.png");
    EXPECT_EQ(screenshotName(1000), "screen1000.png");
}

TEST_F(ScreenshotTest, TakesTheFirstFreeNumberSoGapsAreFilledFirst) {
    touch("screen000.png");
    touch("screen002.png");
    EXPECT_EQ(takeScreenshot(), "screen001.png");
    EXPECT_EQ(takeScreenshot(), "screen003.png");
}

TEST_F(ScreenshotTest, ADirectoryOfThatNameIsSkippedToo) {
    ASSERT_EQ(::mkdir("screen000.png", 0755), 0);
    EXPECT_EQ(takeScreenshot(), "screen001.png");
}

TEST_F(ScreenshotTest, SavesTheWholeLogicalPictureAsAPng) {
    setDrawColor(255, 0, 0);
    fillRect(10, 20, 30, 40);
    ASSERT_EQ(takeScreenshot(), "screen000.png");

    const Picture saved = loadPicture("screen000.png", 0);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->width, 800);
    EXPECT_EQ(saved->height, 600);
    setDrawColor(255, 255, 255);
    clearFrame();
    drawPicture(saved, 0, 0, 0);
    EXPECT_EQ(colorAt(25, 40), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(colorAt(5, 5), (std::array<int, 3>{0, 0, 0}));
}

} // namespace

// A name taken by a link, dangling or not, is passed over: the picture never lands where a link points.
TEST_F(ScreenshotTest, ALinkAtTheNextNameIsPassedOver) {
    const std::string target = "../screenshot-target-" + std::to_string(::getpid()) + ".png";
    ASSERT_EQ(::symlink(target.c_str(), "screen000.png"), 0);
    EXPECT_EQ(takeScreenshot(), "screen001.png");
    struct stat status {};
    EXPECT_NE(::lstat(target.c_str() + 3, &status), 0);
    EXPECT_NE(::stat("screen000.png", &status), 0) << "the link still dangles";
    std::remove(target.c_str());
}
