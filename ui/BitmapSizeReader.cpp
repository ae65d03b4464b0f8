#include "BitmapSizeReader.h"

#include <QImageReader>

#include "Errors.h"

namespace qel::ui {

QSize QtBitmapSizeReader::bitmapSize(const QString& path)
{
    QImageReader reader(path, "bmp");
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.canRead() ? reader.size() : QSize();
    if (!size.isValid() || size.isEmpty())
        throw MessageError(kBitmapNotValidMessage);
    return size;
}

}  // namespace qel::ui
