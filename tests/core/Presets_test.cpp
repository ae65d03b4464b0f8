// Presets.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/DefinitionDocument.h"
#include "core/Errors.h"
#include "core/ObjectEditor.h"
#include "core/Presets.h"

namespace qel {
namespace {

struct SizeCase {
    std::int32_t width;
    std::int32_t height;
    const char* centerX;
    const char* centerY;
    const char* splashX;
    const char* splashY;
    std::size_t tiledLines;
    const char* lastTiledLine;  // image 5 chosen
};

class PresetFiguresTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PresetFiguresTest, CenterSafe)
{
    const SizeCase& c = GetParam();
    const EditorPreset p = CenterSafePreset(c.width, c.height, 4);
    EXPECT_EQ(p.values.xText, c.centerX);
    EXPECT_EQ(p.values.yText, c.centerY);
    EXPECT_EQ(p.values.imageChoice, 4);  // kept
    EXPECT_EQ(p.values.layerChoice, 2);  // AfterTiles
    EXPECT_EQ(p.values.modeChoice, 6);   // None
    EXPECT_EQ(p.values.displayTimeText, "0");
    EXPECT_EQ(p.values.objectIdText, "0");
    EXPECT_EQ(p.kind, ObjectKind::Map);
}

TEST_P(PresetFiguresTest, SplashScreenCenter)
{
    const SizeCase& c = GetParam();
    const EditorPreset p = SplashScreenCenterPreset(c.width, c.height, -1);
    EXPECT_EQ(p.values.xText, c.splashX);
    EXPECT_EQ(p.values.yText, c.splashY);
    EXPECT_EQ(p.values.imageChoice, -1);
    EXPECT_EQ(p.values.layerChoice, 7);  // TopMost
    EXPECT_EQ(p.values.modeChoice, 1);   // EnterZone
    EXPECT_EQ(p.values.displayTimeText, "2000");
    EXPECT_EQ(p.values.objectIdText, "0");
    EXPECT_EQ(p.kind, ObjectKind::Screen);
}

TEST_P(PresetFiguresTest, TiledBackground)
{
    const SizeCase& c = GetParam();
    EXPECT_EQ(TiledBackgroundLineCount(c.width, c.height), c.tiledLines);
    if (c.tiledLines > 2'000'000)
        return;  // 1 x 1: 268 million lines; the count is checked, the lines are not made
    const std::vector<std::string> lines = TiledBackgroundLines(c.width, c.height, 5);
    ASSERT_EQ(lines.size(), c.tiledLines);
    EXPECT_EQ(lines.front(), "0,0,IMAGE5,AfterBackground");
    EXPECT_EQ(lines.back(), c.lastTiledLine);
    // Column by column: all y of x = 0 first.
    const std::size_t perColumn = static_cast<std::size_t>(16384 / c.height + 1);
    if (lines.size() > perColumn) {
        EXPECT_EQ(lines[perColumn], "" + std::to_string(c.width) + ",0,IMAGE5,AfterBackground");
        EXPECT_EQ(lines[perColumn - 1], "0," + std::to_string((perColumn - 1) * static_cast<std::size_t>(c.height))
                                            + ",IMAGE5,AfterBackground");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Figures, PresetFiguresTest,
    ::testing::Values(
        SizeCase{1, 1, "8200", "8200", "C-0", "C-0", 16385u * 16385u, "16384,16384,IMAGE5,AfterBackground"},
        SizeCase{16, 16, "8192", "8192", "C-8", "C-8", 1025u * 1025u, "16384,16384,IMAGE5,AfterBackground"},
        SizeCase{33, 17, "8184", "8192", "C-16", "C-8", (16384u / 33 + 1) * (16384u / 17 + 1),
                 "16368,16371,IMAGE5,AfterBackground"},
        SizeCase{64, 48, "8168", "8176", "C-32", "C-24", 257u * 342u, "16384,16368,IMAGE5,AfterBackground"},
        SizeCase{640, 480, "7880", "7960", "C-320", "C-240", 26u * 35u, "16000,16320,IMAGE5,AfterBackground"},
        SizeCase{1024, 1024, "7688", "7688", "C-512", "C-512", 289u, "16384,16384,IMAGE5,AfterBackground"},
        SizeCase{16384, 16384, "8", "8", "C-8192", "C-8192", 4u, "16384,16384,IMAGE5,AfterBackground"},
        // Wider than the extent: only the column x = 0.
        SizeCase{16385, 16384, "8", "8", "C-8192", "C-8192", 2u, "0,16384,IMAGE5,AfterBackground"},
        SizeCase{20000, 100, "-1800", "8150", "C-10000", "C-50", 164u, "0,16300,IMAGE5,AfterBackground"},
        SizeCase{2147483647, 2147483647, "-1073733623", "-1073733623", "C-1073741823", "C-1073741823", 1u,
                 "0,0,IMAGE5,AfterBackground"}));

TEST(TiledBackground, SixteenThousandPictureGivesFourCorners)
{
    EXPECT_EQ(TiledBackgroundLines(16384, 16384, 2),
              (std::vector<std::string>{"0,0,IMAGE2,AfterBackground", "0,16384,IMAGE2,AfterBackground",
                                        "16384,0,IMAGE2,AfterBackground", "16384,16384,IMAGE2,AfterBackground"}));
}

struct BadSize {
    std::int32_t width;
    std::int32_t height;
};

class TiledBackgroundRefusesTest : public ::testing::TestWithParam<BadSize> {};

TEST_P(TiledBackgroundRefusesTest, APictureWithoutSize)
{
    DefinitionDocument doc;
    doc.editImages().push_back(ObjectImage{0, "a.bmp", -1, -1, -1});
    doc.mapObjects().append("1,1,IMAGE0");
    try {
        AddTiledBackground(doc, GetParam().width, GetParam().height, 0);
        FAIL() << "no error";
    } catch (const MessageError& e) {
        EXPECT_EQ(std::string(e.what()), kNoPictureSizeMessage);
        EXPECT_EQ(std::string(e.what()), "The picture has no size: width and height must be above 0");
    }
    EXPECT_EQ(doc.mapObjectCount(), 1);
    EXPECT_THROW(TiledBackgroundLines(GetParam().width, GetParam().height, 0), MessageError);
    EXPECT_EQ(TiledBackgroundLineCount(GetParam().width, GetParam().height), 0u);
}

INSTANTIATE_TEST_SUITE_P(ZeroOrNegative, TiledBackgroundRefusesTest,
                         ::testing::Values(BadSize{0, 0}, BadSize{0, 16}, BadSize{16, 0}, BadSize{-16, 16},
                                           BadSize{16, -1}, BadSize{-2147483647 - 1, 5}));

TEST(AddTiledBackground, AppendsToTheMapObjectsWithTheImagesOwnNumber)
{
    DefinitionDocument doc;
    doc.editImages().push_back(ObjectImage{3, "a.bmp", -1, -1, -1});
    doc.editImages().push_back(ObjectImage{7, "b.bmp", -1, -1, -1});
    doc.mapObjects().append("5,5,IMAGE3");
    doc.screenObjects().append("C-1,C-1,IMAGE3");
    EXPECT_EQ(AddTiledBackground(doc, 8192, 16384, 1), 6u);
    ASSERT_EQ(doc.mapObjectCount(), 7);
    EXPECT_EQ(doc.mapObjects().line(1), "0,0,IMAGE7,AfterBackground");
    EXPECT_EQ(doc.mapObjects().line(2), "0,16384,IMAGE7,AfterBackground");
    EXPECT_EQ(doc.mapObjects().line(3), "8192,0,IMAGE7,AfterBackground");
    EXPECT_EQ(doc.mapObjects().line(6), "16384,16384,IMAGE7,AfterBackground");
    EXPECT_EQ(doc.mapObjects().takenApart(), 7u);
    EXPECT_EQ(doc.mapObjects().fields(6), (ObjectFields{16384, 16384, 7, 1, -1, -1, -1}));
    EXPECT_EQ(doc.screenObjectCount(), 1);
}

TEST(AddTiledBackground, WithNoImageChosenAddsNothing)
{
    DefinitionDocument doc;
    doc.editImages().push_back(ObjectImage{0, "a.bmp", -1, -1, -1});
    EXPECT_EQ(AddTiledBackground(doc, 16, 16, -1), 0u);
    EXPECT_EQ(AddTiledBackground(doc, 16, 16, 1), 0u);
    // No image chosen wins over a size of 0: the preset stops silently first.
    EXPECT_EQ(AddTiledBackground(doc, 0, 0, -1), 0u);
    EXPECT_EQ(doc.mapObjectCount(), 0);
}

TEST(Presets, AddAfterCenterSafeGivesThePartsLine)
{
    DefinitionDocument doc;
    for (int i = 0; i < 3; ++i)
        doc.editImages().push_back(ObjectImage{i, "p.bmp", -1, -1, -1});
    EditorPreset p = CenterSafePreset(64, 48, 2);
    AddObject(doc, p.kind, p.values);
    EXPECT_EQ(doc.mapObjects().line(0), "8168,8176,IMAGE2,AfterTiles");
}

TEST(Presets, AddAfterSplashGivesThePartsLine)
{
    DefinitionDocument doc;
    doc.editImages().push_back(ObjectImage{0, "p.bmp", -1, -1, -1});
    EditorPreset p = SplashScreenCenterPreset(640, 480, 0);
    AddObject(doc, p.kind, p.values);
    EXPECT_EQ(doc.screenObjects().line(0), "C-320,C-240,IMAGE0,TopMost,EnterZone,2000");
}

}  // namespace
}  // namespace qel
