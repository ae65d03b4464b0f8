// The animation's picture splitter hands out whole cells of the grid.

#include <gtest/gtest.h>

#include <QImage>
#include <stdexcept>
#include <string>

#include "PicClip.h"

using qel::platform::PicClip;

namespace {

// Every 64 x 32 block of a 256 x 64 picture has its own colour; the two
// pixels past the grid at the right are white.
QImage Blocks()
{
    QImage image(258, 64, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, x >= 256 ? qRgb(255, 255, 255) : qRgb(x / 64 * 60, y / 32 * 120, 7));
    return image;
}

struct CellCase {
    const char* name;
    int columns, rows, column, row;
    QSize size;  // empty: a null cell
    QRgb topLeft, bottomRight;
};

class PicClipTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(PicClipTest, HandsOutOneCell)
{
    const CellCase& c = GetParam();
    PicClip clip;
    clip.setPicture(Blocks());
    clip.setGrid(c.columns, c.rows);
    const QImage cell = clip.cell(c.column, c.row);
    if (c.size.isEmpty()) {
        EXPECT_TRUE(cell.isNull());
        return;
    }
    ASSERT_EQ(cell.size(), c.size);
    EXPECT_EQ(cell.pixel(0, 0), c.topLeft);
    EXPECT_EQ(cell.pixel(cell.width() - 1, cell.height() - 1), c.bottomRight);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PicClipTest,
    ::testing::Values(
        CellCase{"FirstCell", 4, 2, 0, 0, {64, 32}, qRgb(0, 0, 7), qRgb(0, 0, 7)},
        CellCase{"LastCellLeavesTheRemainderOut", 4, 2, 3, 1, {64, 32}, qRgb(180, 120, 7), qRgb(180, 120, 7)},
        CellCase{"SecondRow", 4, 2, 0, 1, {64, 32}, qRgb(0, 120, 7), qRgb(0, 120, 7)},
        CellCase{"WholePicture", 1, 1, 0, 0, {258, 64}, qRgb(0, 0, 7), qRgb(255, 255, 255)},
        CellCase{"GridFinerThanPicture", 300, 1, 299, 0, {}, 0, 0}),
    [](const ::testing::TestParamInfo<CellCase>& info) { return std::string(info.param.name); });

TEST(PicClip, RefusesCellsOutsideTheGrid)
{
    PicClip clip;
    clip.setPicture(Blocks());
    clip.setGrid(4, 2);
    EXPECT_THROW(clip.cell(0, 2), std::invalid_argument);
    EXPECT_THROW(clip.setGrid(0, 2), std::invalid_argument);
    EXPECT_EQ(clip.columns(), 4);
}

}  // namespace
