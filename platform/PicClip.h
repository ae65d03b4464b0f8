#pragma once
// The picture splitter of the tile animation: one picture cut into a grid of
// columns x rows cells, handed out one cell at a time. The geometry is
// qel::TileCell's: cells of (width div columns) x (height div rows) pixels,
// the remainder at the right and bottom never shown.
//
// Load a new picture into a PicClip of its own and only swap it in once the
// animation is sure to start, so that a running animation never shows cells
// of a picture it was not started with.

#include <QImage>
#include <cstdint>
#include <utility>

namespace qel::platform {

class PicClip {
public:
    void setPicture(QImage picture) { picture_ = std::move(picture); }
    const QImage& picture() const { return picture_; }

    // Both above 0 (std::invalid_argument otherwise). A new PicClip has one
    // cell, the whole picture.
    void setGrid(std::int32_t columns, std::int32_t rows);
    std::int32_t columns() const { return columns_; }
    std::int32_t rows() const { return rows_; }

    // A copy of cell (column, row), which must be inside the grid
    // (std::invalid_argument otherwise). A null image when the cell has no
    // pixels: no picture, or a grid finer than the picture.
    QImage cell(std::int32_t column, std::int32_t row) const;

private:
    QImage picture_;
    std::int32_t columns_ = 1;
    std::int32_t rows_ = 1;
};

}  // namespace qel::platform
