// The render scale's decisions: the choices a player can pin, the target each gives, and the automatic
// choice against simulated machines whose frames cost a fixed part plus a part per pixel.
#include "platform/render_scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(RenderScaleChoice, TakesAutoNativeOrANumberFromOneToEight) {
    struct TCase {
        const char* text;
        bool taken;
        TRenderScaleChoice choice;
    };
    const TCase cases[] = {
        {"auto", true, {RenderScaleMode::Auto, 1}},
        {"native", true, {RenderScaleMode::Native, 1}},
        {"1", true, {RenderScaleMode::Fixed, 1}},
        {"1.5", true, {RenderScaleMode::Fixed, 1.5}},
        {"8", true, {RenderScaleMode::Fixed, 8}},
        {"0.5", false, {}},
        {"9", false, {}},
        {"", false, {}},
        {"2x", false, {}},
        {"Native", false, {}},
        {"nan", false, {}},
        {"-1", false, {}},
    };
    for (const TCase& c : cases) {
        TRenderScaleChoice choice{RenderScaleMode::Native, 3}; // kept when the text is refused
        EXPECT_EQ(parseRenderScaleChoice(c.text, choice), c.taken) << '"' << c.text << '"';
        const TRenderScaleChoice expected =
            c.taken ? c.choice : TRenderScaleChoice{RenderScaleMode::Native, 3};
        EXPECT_EQ(choice, expected) << '"' << c.text << '"';
    }
}

TEST(RenderScaleChoice, TheTargetIsTheLetterboxAtItsOwnScaleAndNeverSmallerThanThePicture) {
    struct TCase {
        int windowWidth, windowHeight;
        double scale; // 0: the letterbox's own
        TTargetSize target;
    };
    const TCase cases[] = {
        {1920, 1080, 0, {1440, 1080}}, {1920, 1080, 1, {800, 600}},   {1920, 1080, 1.27, {1016, 762}},
        {1366, 768, 0, {1024, 768}},   {1000, 601, 0, {801, 601}},    {640, 480, 0, {800, 600}},
        {800, 600, 1.8, {1440, 1080}}, {2560, 1440, 0, {1920, 1440}}, {3840, 2160, 0, {2880, 2160}},
    };
    for (const TCase& c : cases) {
        const TLetterbox box = letterbox(c.windowWidth, c.windowHeight, 800, 600);
        const double scale = c.scale > 0 ? c.scale : nativeScaleOf(box, 800);
        EXPECT_EQ(targetSizeFor(scale, box, 800, 600), c.target)
            << c.windowWidth << " x " << c.windowHeight << " at " << c.scale;
    }
}

// A machine whose frame takes fixedMs plus msPerMegapixel for every million target pixels, paced at sixty
// frames a second. Only part of the cost shows up as the game thread's busy time on some machines (a
// software renderer rasterises on threads of its own): busyShare.
struct TMachine {
    double fixedMs;
    double msPerMegapixel;
    double busyShare = 1;

    double frameMs(double scale) const { return fixedMs + msPerMegapixel * scale * scale * 0.48; }
};

struct TRun {
    std::vector<double> scales; // the scale of every frame
    int changes = 0;
    size_t lastChange = 0;
};

// Frames on machine, each phase of the run on its own machine, for that many frames each.
TRun run(TAutoRenderScale& chooser, std::initializer_list<std::pair<TMachine, int>> phases) {
    TRun result;
    for (const auto& [machine, frames] : phases)
        for (int frame = 0; frame < frames; ++frame) {
            const double cost = machine.frameMs(chooser.scale());
            const auto period = static_cast<int64_t>(std::max(cost, 1000.0 / 60) * 1000);
            const auto busy = static_cast<int64_t>(cost * machine.busyShare * 1000);
            result.scales.push_back(chooser.scale());
            if (chooser.frameShown(period, busy)) {
                ++result.changes;
                result.lastChange = result.scales.size();
            }
        }
    return result;
}

TEST(AutomaticRenderScale, SettlesWhereFramesKeepSixtyASecondAndNeverBelowOne) {
    struct TCase {
        const char* machine;
        double nativeScale;
        TMachine cost;
        double settled;
    };
    const TCase cases[] = {
        {"graphics card at 4K", 3.6, {3, 0.5}, 3.6},
        {"graphics card at 1080p", 1.8, {4, 1}, 1.8},
        {"fast software renderer, 1440p", 2.4, {4, 8}, 2.4 / std::sqrt(2.0)},
        {"slow software renderer, 1080p", 1.8, {5, 20}, 1},
        {"slow software renderer, 4K", 3.6, {5, 20}, 1},
        {"too slow even at 1", 1.8, {30, 20}, 1},
        {"a small window", 1.0, {30, 20}, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.machine);
        TAutoRenderScale chooser;
        chooser.start(c.nativeScale, 800, 600);
        EXPECT_DOUBLE_EQ(chooser.scale(), c.nativeScale);
        const TRun result = run(chooser, {{c.cost, 3000}});
        EXPECT_NEAR(result.scales.back(), c.settled, 1e-9);
        EXPECT_GE(*std::min_element(result.scales.begin(), result.scales.end()), 1.0);
        // A few changes early on, then none for good.
        EXPECT_LE(result.changes, static_cast<int>(2 * chooser.steps().size()));
        EXPECT_LT(result.lastChange, 1000u);
    }
}

// A software renderer does most of its pixel work off the game thread, so the estimate finds a light
// page cheap: the scale climbs, proves slow when the page gets heavy again, comes back, and never tries
// that step again, however light the pages after.
TEST(AutomaticRenderScale, AClimbThatProvesSlowIsNeverTriedAgain) {
    const TMachine heavy{80, 20, 0.3}, light{2, 20, 0.3};
    TAutoRenderScale chooser;
    chooser.start(1.8, 800, 600);
    const TRun result = run(chooser, {{heavy, 1000}, {light, 2000}, {heavy, 1000}, {light, 2000}});
    EXPECT_DOUBLE_EQ(result.scales.back(), 1.0);
    int climbs = 0;
    for (size_t i = 1; i < result.scales.size(); ++i)
        climbs += result.scales[i] > result.scales[i - 1] ? 1 : 0;
    EXPECT_EQ(climbs, 1);
    EXPECT_EQ(result.scales[2999], chooser.steps()[1]); // the first light page earned the climb ...
    EXPECT_LT(result.lastChange, 4000u);                // ... the second never saw another

    // A window of another size starts below the pixels that proved slow, not at its own scale.
    chooser.start(2.4, 800, 600);
    EXPECT_LT(chooser.scale(), 1.273);
    EXPECT_GE(chooser.scale(), 1.0);
}

TEST(AutomaticRenderScale, OneSlowFrameAmongFastOnesChangesNothing) {
    TAutoRenderScale chooser;
    chooser.start(1.8, 800, 600);
    for (int frame = 0; frame < 2000; ++frame) {
        const bool stall = frame % 10 == 0; // a hiccup every tenth frame: the median stays fast
        chooser.frameShown(stall ? 400000 : 16667, stall ? 400000 : 6000);
    }
    EXPECT_DOUBLE_EQ(chooser.scale(), 1.8);
}

} // namespace
