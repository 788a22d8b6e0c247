// Text: TrueType faces, the built-in face, layout and measuring.
#include "harness/display_fixture.h"

#include <fstream>
#include <iterator>
#include <string>

namespace {

const char* const playFont = "/usr/share/fonts/truetype/play/Play-Regular.ttf";

void writeFontFile(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

class FontTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        face = loadFontFace(playFont, 16, 4);
        ASSERT_TRUE(face) << "the Play font (fonts-play) is needed for these tests";
        selectFont(face);
    }
    FontFace face;
};

TEST_F(FontTest, MeasuresLinesByTheirAdvances) {
    EXPECT_GE(fontLineHeight(), 16);
    EXPECT_LE(fontLineHeight(), 28);
    EXPECT_EQ(measureTextWidth(""), 0);
    const int space = measureTextWidth(" ");
    EXPECT_GT(space, 0);
    EXPECT_GT(measureTextWidth("WWWW"), measureTextWidth("iiii"));
    // Codes without a glyph add nothing.
    EXPECT_EQ(measureTextWidth("A\x01\x02"
                               "B"),
              measureTextWidth("AB"));
    // Latin-1 letters are there.
    EXPECT_GT(measureTextWidth("\xe9"), 0);
    // Not scaled by the drawing matrix.
    const int plain = measureTextWidth("Kelvanor");
    setDrawScale(3, 3);
    EXPECT_EQ(measureTextWidth("Kelvanor"), plain);
}

TEST_F(FontTest, LineHangsBelowItsTopLeftAndEndsAtItsWidth) {
    setBlendMode(BlendAdditive);
    const char* const text = "HELLO World";
    drawString(text, 100, 200);
    const TPixelBounds bounds = litBounds(*grabScreen(), 40);
    ASSERT_FALSE(bounds.empty());
    EXPECT_GE(bounds.left, 100);
    EXPECT_LE(bounds.left, 103);
    EXPECT_LE(bounds.right, 100 + measureTextWidth(text) + 1);
    EXPECT_GE(bounds.right, 100 + measureTextWidth(text) - 4);
    EXPECT_GE(bounds.top, 200);
    EXPECT_LE(bounds.top, 200 + fontLineHeight() / 2);
    EXPECT_LE(bounds.bottom, 200 + fontLineHeight());
}

TEST_F(FontTest, TextFollowsTheMatrix) {
    setBlendMode(BlendAdditive);
    const int width = measureTextWidth("MMMMMM");
    setDrawScale(2, 2);
    drawString("MMMMMM", 100, 100);
    const TPixelBounds scaled = litBounds(*grabScreen(), 40);
    EXPECT_NEAR(scaled.right - scaled.left, 2 * width, 8);

    clearFrame();
    setDrawTransform(90, 1, 1); // runs down the screen, tops of the letters to the right
    drawString("MMMMMM", 400, 100);
    const TPixelBounds turned = litBounds(*grabScreen(), 40);
    EXPECT_NEAR(turned.bottom - turned.top, width, 4);
    EXPECT_LE(turned.right, 400);
    EXPECT_LT(turned.right - turned.left, width / 2);
}

TEST_F(FontTest, WholeLineIsOneDrawCall) {
    setBlendMode(BlendAdditive);
    drawString("The quick brown fox jumps over the lazy dog", 10, 10);
    drawString("0123456789", 10, 40);
    EXPECT_EQ(renderStats().drawCalls, 1);
}

TEST_F(FontTest, FilesThatAreNotFontsGiveNull) {
    std::ifstream source(playFont, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>()};
    ASSERT_GT(bytes.size(), 2000u);
    writeFontFile("empty.ttf", {});
    writeFontFile("truncated.ttf", std::vector<char>(bytes.begin(), bytes.begin() + 1000));
    std::vector<char> garbage(5000);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>(i * 97 + 3);
    writeFontFile("garbage.ttf", garbage);
    for (const char* name :
         {"missing.ttf", "empty.ttf", "truncated.ttf", "garbage.ttf", "incbin::no_font.ttf"})
        EXPECT_FALSE(loadFontFace(name, 16, 4)) << name;
    EXPECT_FALSE(loadFontFace(playFont, 0, 4));
    EXPECT_FALSE(loadFontFace(playFont, -16, 4));
}

class BuiltinFontTest : public DisplayTest {};

TEST_F(BuiltinFontTest, VersionTextFitsInTheBottomRightCorner) {
    selectFont(nullptr);
    EXPECT_LE(measureTextWidth("V0.63"), 40);
    EXPECT_LE(fontLineHeight(), 12);
    setBlendMode(BlendAdditive);
    setDrawAlpha(0.5f);
    drawString("V0.63", 760, 588);
    const TPixelBounds bounds = litBounds(*grabScreen());
    ASSERT_FALSE(bounds.empty());
    EXPECT_GE(bounds.left, 760);
    EXPECT_GE(bounds.top, 588);
    EXPECT_LE(bounds.right, 800);
    EXPECT_LE(bounds.bottom, 600);
    EXPECT_GE(bounds.right - bounds.left, 20); // five characters, not one
}

TEST_F(BuiltinFontTest, CoversPrintableAscii) {
    selectFont(nullptr);
    setBlendMode(BlendSolid);
    for (int code = 33; code < 127; ++code) {
        clearFrame();
        const char text[2] = {static_cast<char>(code), 0};
        EXPECT_EQ(measureTextWidth(text), 6) << code;
        drawString(text, 10, 10);
        EXPECT_FALSE(litBounds(*grabScreenRegion(0, 0, 40, 40)).empty()) << "nothing drawn for code " << code;
    }
}

TEST_F(BuiltinFontTest, NullSelectsTheBuiltInFaceAgain) {
    const FontFace play = loadFontFace(playFont, 30, 4);
    ASSERT_TRUE(play);
    selectFont(nullptr);
    const int builtin = measureTextWidth("WIDE TEXT");
    selectFont(play);
    EXPECT_NE(measureTextWidth("WIDE TEXT"), builtin);
    selectFont(nullptr);
    EXPECT_EQ(measureTextWidth("WIDE TEXT"), builtin);
}
