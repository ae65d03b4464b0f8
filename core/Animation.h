#pragma once
// The tile animation of an image: its picture cut into a grid of cells that
// are shown one after the other, row by row, at the image's animation time
// (the time of one pass through all cells, in hundredths of a second).

#include <cstdint>
#include <string>
#include <string_view>

#include "core/PreviewRules.h"

namespace qel {

// The red label's texts when the animation preview cannot start.
inline constexpr const char* kAnimationFileNotFoundMessage = "File not found!";
inline constexpr const char* kXTilesNotEnteredMessage = "X-Tiles not entered!";
inline constexpr const char* kYTilesNotEnteredMessage = "Y-Tiles not entered!";
inline constexpr const char* kAniTimeNotEnteredMessage = "AniTime not entered!";
inline constexpr const char* kXTilesNotAboveZeroMessage = "X-Tiles must be a whole number above 0!";
inline constexpr const char* kYTilesNotAboveZeroMessage = "Y-Tiles must be a whole number above 0!";
inline constexpr const char* kAniTimeNotAboveZeroMessage = "AniTime must be a whole number above 0!";

// The numbers of an animation preview, read from the texts of the X-Tiles,
// Y-Tiles and AniTime edits.
struct AnimationInput {
    std::string message;  // empty when the animation may start
    std::int32_t xTiles = 0;
    std::int32_t yTiles = 0;
    std::int32_t aniTime = 0;
    bool ok() const { return message.empty(); }
};

// Checks X, Y and time in that order. First the empty texts: each gives its
// "not entered" message, a later one replacing an earlier one. When none is
// empty, each text that is not a whole number above 0 (by the strict integer
// conversion) gives its "must be a whole number above 0" message, again the
// last one winning; such an animation starts nothing. With no message the
// three numbers are set.
AnimationInput CheckAnimationInput(std::string_view xText, std::string_view yText, std::string_view timeText);

// Whether the animation preview button is enabled: all four texts are not
// empty and the three numbers are whole numbers above 0.
bool AnimationPreviewEnabled(std::string_view fileText, std::string_view xText, std::string_view yText,
                             std::string_view timeText);

// The timer interval in milliseconds: aniTime x 10 div (xTiles x yTiles),
// truncated. 0 means that the timer stops, so only the first cell is shown
// (8 x 8 tiles at AniTime 6). Computed exactly, so large numbers never wrap;
// an interval past the 32-bit range is the largest 32-bit value. All three
// numbers must be above 0 (std::invalid_argument otherwise).
std::int32_t AnimationInterval(std::int32_t xTiles, std::int32_t yTiles, std::int32_t aniTime);

// One cell of the grid, in pixels of the whole picture.
struct CellRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

// Cell (column, row) of a picture cut into columns x rows cells of width
// (picture width div columns) and height (picture height div rows): pixels
// past the last whole cell at the right and bottom are never shown, and a
// grid finer than the picture gives cells of width or height 0. Columns and
// rows must be above 0, column and row inside the grid (std::invalid_argument
// otherwise).
CellRect TileCell(PictureSize picture, std::int32_t columns, std::int32_t rows, std::int32_t column, std::int32_t row);

// Which cell an animation shows next.
class AnimationFrames {
public:
    struct Cell {
        std::int32_t column = 0;
        std::int32_t row = 0;
        friend bool operator==(const Cell&, const Cell&) = default;
    };

    // Starts over at the top-left cell of a grid of columns x rows, both above
    // 0 (std::invalid_argument otherwise).
    void start(std::int32_t columns, std::int32_t rows);

    // The cell to show now; then steps to the next one: left to right within
    // a row, top row first, and back to the top-left cell after the
    // bottom-right one.
    Cell next();

    Cell current() const { return current_; }
    std::int32_t columns() const { return columns_; }
    std::int32_t rows() const { return rows_; }

private:
    std::int32_t columns_ = 1;
    std::int32_t rows_ = 1;
    Cell current_;
};

}  // namespace qel
