#pragma once
// The one picture question the presets ask: the pixel size of a file read as
// a Windows bitmap, whatever its name says.

#include <QSize>
#include <QString>

namespace qel::ui {

inline constexpr const char* kBitmapNotValidMessage = "Bitmap image is not valid";

class BitmapSizeReader {
public:
    virtual ~BitmapSizeReader() = default;
    // The width and height of the Windows bitmap at `path`. Throws
    // MessageError "Bitmap image is not valid" for anything else, a bitmap
    // of no pixels included.
    virtual QSize bitmapSize(const QString& path) = 0;
};

// Qt's image reader for "bmp" with automatic format detection off, so that a
// PNG or GIF is refused; only the header is read.
class QtBitmapSizeReader : public BitmapSizeReader {
public:
    QSize bitmapSize(const QString& path) override;
};

}  // namespace qel::ui
