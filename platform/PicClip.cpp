#include "platform/PicClip.h"

#include <stdexcept>

#include "core/Animation.h"

namespace qel::platform {

void PicClip::setGrid(std::int32_t columns, std::int32_t rows)
{
    if (columns <= 0 || rows <= 0)
        throw std::invalid_argument("PicClip: the grid must have cells");
    columns_ = columns;
    rows_ = rows;
}

QImage PicClip::cell(std::int32_t column, std::int32_t row) const
{
    const CellRect rect = TileCell({picture_.width(), picture_.height()}, columns_, rows_, column, row);
    if (rect.width <= 0 || rect.height <= 0)
        return {};
    return picture_.copy(rect.x, rect.y, rect.width, rect.height);
}

}  // namespace qel::platform
