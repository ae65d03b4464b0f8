#pragma once
// Loading the pictures the preview shows and reading the size of a Windows
// bitmap for the presets.
//
// The format always comes from the extension (".bmp" and ".bm2" are Windows
// bitmaps, ".gif", ".jpg"/".jpeg", ".png"), never from the content: a GIF
// renamed ".bmp" or ".bm2" is refused, as is a PNG renamed ".jpg".
//
// Failures throw:
// - qel::FileError ("File not found") when there is no file at the path;
// - qel::FileError(NotRegularFileMessage(path)) for a FIFO, a device, a
//   socket or a folder: the file is opened without waiting and looked at
//   before a byte is read, so a FIFO nothing writes into never blocks;
// - qel::MessageError("Bitmap image is not valid") for any other failure of a
//   Windows bitmap;
// - qel::MessageError("Picture is too large") for a GIF, JPEG or PNG picture
//   whose header claims more pixels than the loader's allocation limit allows
//   (Qt's default, 128 MiB, counted at 4 bytes a pixel, so 60000 x 60000 is
//   refused before anything is allocated); loadWithin() sets its own limit
//   from its budget instead, and refuses only what would have to be scaled
//   down more than four times on each side;
// - qel::MessageError(CutShortMessage(path)) for a picture whose file ends
//   before the data it promises: a bitmap without all the rows its header
//   gives, a GIF before its trailer, a JPEG before its end-of-image marker, a
//   PNG before its end chunk. The loaders would show some of these as if
//   whole, with the missing part black or grey;
// - qel::MessageError with the loader's own message for any other failure of a
//   GIF, JPEG or PNG picture (a picture of 0 x 0 pixels included), and for a
//   path whose extension is no picture's.
// A damaged or hostile file never crashes.

#include <QImage>
#include <QSize>
#include <QString>
#include <memory>
#include <string>

namespace qel::platform {

// "PATH is cut short: its picture data ends early", with at most 200 bytes of
// the path's file name bytes.
std::string CutShortMessage(const QString& path);
// "PATH is not a regular file", the path cut as above.
std::string NotRegularFileMessage(const QString& path);

// What a view decodes whole at most; above it a picture comes scaled down to
// a quarter of it (the picture cache's default, too).
inline constexpr qint64 kViewedPictureBytes = qint64{64} << 20;

// A picture decoded for a view that may show it smaller than it is.
struct BoundedPicture {
    QImage image;  // the picture, or a copy of it scaled down
    QSize size;    // the picture's own size
};

class PictureService {
public:
    virtual ~PictureService() = default;

    // The picture at `path`, decoded by its extension.
    virtual QImage load(const QString& path) = 0;

    // The picture at `path` read as a Windows bitmap, whatever its extension.
    virtual QImage loadBitmap(const QString& path) = 0;

    // The width and height of the Windows bitmap at `path` (any extension),
    // from its header alone: the pixels are not decoded. Refuses what
    // loadBitmap() would refuse from the header: a bitmap of 0 x 0 pixels, or
    // one too large to load, gives "Bitmap image is not valid".
    virtual QSize bitmapSize(const QString& path) = 0;

    // The picture at `path` as load() gives it, except that one whose
    // decoded size, at 4 bytes a pixel, is above `limitBytes` is never decoded
    // whole: it comes scaled down while decoding to at most `reducedBytes`,
    // or is refused ("Picture is too large") when its format's decoder cannot
    // do that. This default decodes whole. The views and `check` decode
    // through this, with kViewedPictureBytes, so that one picture's size is
    // judged alike everywhere.
    virtual BoundedPicture loadWithin(const QString& path, qint64 limitBytes, qint64 reducedBytes);

    // A service of its own for work on other threads, which may outlive this
    // one; none when the service is bound to the thread that made it.
    virtual std::shared_ptr<PictureService> forOtherThreads() const { return nullptr; }
};

// Qt's image reader with automatic format detection off. GIF and JPEG come
// from Qt's image format plugins (shipped with the Qt GUI library); BMP and
// PNG are built into it.
class QtPictureService : public PictureService {
public:
    QImage load(const QString& path) override;
    QImage loadBitmap(const QString& path) override;
    QSize bitmapSize(const QString& path) override;
    BoundedPicture loadWithin(const QString& path, qint64 limitBytes, qint64 reducedBytes) override;
    // It keeps nothing between calls, so any number work side by side.
    std::shared_ptr<PictureService> forOtherThreads() const override;
};

}  // namespace qel::platform
