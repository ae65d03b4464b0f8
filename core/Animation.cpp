#include "core/Animation.h"

#include <limits>
#include <optional>
#include <stdexcept>

#include "core/IntConversion.h"

namespace qel {

namespace {

std::optional<std::int32_t> AboveZero(std::string_view text)
{
    const std::optional<std::int32_t> value = TryStrToInt(text);
    if (!value || *value <= 0)
        return std::nullopt;
    return value;
}

}  // namespace

AnimationInput CheckAnimationInput(std::string_view xText, std::string_view yText, std::string_view timeText)
{
    struct Field {
        std::string_view text;
        const char* notEntered;
        const char* notAboveZero;
        std::int32_t AnimationInput::*value;
    };
    const Field fields[] = {
        {xText, kXTilesNotEnteredMessage, kXTilesNotAboveZeroMessage, &AnimationInput::xTiles},
        {yText, kYTilesNotEnteredMessage, kYTilesNotAboveZeroMessage, &AnimationInput::yTiles},
        {timeText, kAniTimeNotEnteredMessage, kAniTimeNotAboveZeroMessage, &AnimationInput::aniTime},
    };

    AnimationInput input;
    for (const Field& field : fields)
        if (field.text.empty())
            input.message = field.notEntered;
    if (!input.ok())
        return input;

    for (const Field& field : fields) {
        if (const auto value = AboveZero(field.text))
            input.*field.value = *value;
        else
            input.message = field.notAboveZero;
    }
    if (!input.ok())
        input.xTiles = input.yTiles = input.aniTime = 0;
    return input;
}

bool AnimationPreviewEnabled(std::string_view fileText, std::string_view xText, std::string_view yText,
                             std::string_view timeText)
{
    return !fileText.empty() && AboveZero(xText) && AboveZero(yText) && AboveZero(timeText);
}

std::int32_t AnimationInterval(std::int32_t xTiles, std::int32_t yTiles, std::int32_t aniTime)
{
    if (xTiles <= 0 || yTiles <= 0 || aniTime <= 0)
        throw std::invalid_argument("AnimationInterval: tiles and time must be above 0");
    // 32-bit arithmetic would wrap from an AniTime of 214748365 on, and the
    // tile product from 46341 x 46341.
    const std::int64_t interval =
        static_cast<std::int64_t>(aniTime) * 10 / (static_cast<std::int64_t>(xTiles) * yTiles);
    constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(interval > kLargest ? kLargest : interval);
}

CellRect TileCell(PictureSize picture, std::int32_t columns, std::int32_t rows, std::int32_t column, std::int32_t row)
{
    if (columns <= 0 || rows <= 0 || column < 0 || column >= columns || row < 0 || row >= rows)
        throw std::invalid_argument("TileCell: no such cell");
    const std::int32_t width = picture.width > 0 ? picture.width / columns : 0;
    const std::int32_t height = picture.height > 0 ? picture.height / rows : 0;
    // column x width is at most the picture's width, so it fits.
    return {column * width, row * height, width, height};
}

void AnimationFrames::start(std::int32_t columns, std::int32_t rows)
{
    if (columns <= 0 || rows <= 0)
        throw std::invalid_argument("AnimationFrames: the grid must have cells");
    columns_ = columns;
    rows_ = rows;
    current_ = {};
}

AnimationFrames::Cell AnimationFrames::next()
{
    const Cell shown = current_;
    if (++current_.column > columns_ - 1) {
        current_.column = 0;
        if (++current_.row > rows_ - 1)
            current_.row = 0;
    }
    return shown;
}

}  // namespace qel
