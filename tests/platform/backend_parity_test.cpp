// The null backend is only worth running the game on if it is given exactly what the desktop's is: the
// same scene of the whole game, stepped alike, must come to the same draw calls, vertices and glow lines
// through both.
#include "parity/parity_scene.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

std::string runNullScene() {
    std::string output;
    std::FILE* child = popen(KELVANOR_PARITY_NULL, "r");
    if (!child) return output;
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), child))
        output += buffer.data();
    if (pclose(child) != 0) output.clear();
    return output;
}

TEST(BackendParity, TheSameSceneGivesTheSameBatchesThroughBothBackends) {
    TSceneCounts desktop;
    ASSERT_TRUE(runParityScene(desktop)) << "no display with an OpenGL context on this machine";
    // A scene that draws almost nothing would prove nothing.
    EXPECT_GT(desktop.drawCalls, desktop.frames);
    EXPECT_GT(desktop.glowLines, 1000 * desktop.frames / 2);

    const std::string line = runNullScene();
    TSceneCounts null;
    ASSERT_TRUE(parseCounts(line, null)) << "the null backend's scene printed: " << line;
    EXPECT_EQ(null, desktop) << "null: " << describe(null) << "\ndesktop: " << describe(desktop);
}

} // namespace
