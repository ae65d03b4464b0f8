#include "PictureService.h"

#include <QFile>
#include <QImageReader>
#include <cerrno>
#include <limits>
#include <string>

#include "Errors.h"
#include "PreviewRules.h"

namespace qel::platform {

namespace {

QByteArray QtFormat(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Bitmap:
        return QByteArrayLiteral("bmp");
    case PictureFormat::Gif:
        return QByteArrayLiteral("gif");
    case PictureFormat::Jpeg:
        return QByteArrayLiteral("jpeg");
    case PictureFormat::Png:
        return QByteArrayLiteral("png");
    case PictureFormat::None:
        break;
    }
    return {};
}

// The picture will be shown at 32 bits a pixel whatever its depth in the
// file, so that is what the claimed size is measured at.
bool ExceedsAllocationLimit(const QImageReader& reader, QSize size)
{
    const int limitMiB = reader.allocationLimit();
    if (limitMiB <= 0)
        return false;
    const qint64 bytes = static_cast<qint64>(size.width()) * size.height() * 4;
    return bytes > static_cast<qint64>(limitMiB) * 1024 * 1024;
}

[[noreturn]] void Fail(PictureFormat format, const std::string& message)
{
    throw MessageError(format == PictureFormat::Bitmap ? std::string(kBitmapNotValidMessage) : message);
}

std::string LoaderMessage(const QImageReader& reader)
{
    const QString text = reader.errorString();
    return text.isEmpty() ? std::string("Unable to read image data") : text.toLatin1().toStdString();
}

// A reader bound to a format does not tell a missing file from a damaged one,
// so the file is opened here.
void Open(QFile& file)
{
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(file.exists() ? EACCES : ENOENT);
}

// Binds the reader to `format` alone, and checks what the header claims
// before any pixel is allocated.
QSize CheckHeader(QImageReader& reader, PictureFormat format)
{
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    QSize size = reader.size();
    // A bitmap stored top row first gives its height as a negative number.
    if (format == PictureFormat::Bitmap && size.width() >= 0 && size.height() < 0
        && size.height() != std::numeric_limits<int>::min())
        size.setHeight(-size.height());
    if (size.isValid()) {
        if (size.isEmpty())
            Fail(format, "Unable to read image data");
        if (ExceedsAllocationLimit(reader, size))
            Fail(format, kPictureTooLargeMessage);
    }
    return size;
}

QImage Decode(const QString& path, PictureFormat format)
{
    if (format == PictureFormat::None)
        throw MessageError("Unsupported image format");
    QFile file(path);
    Open(file);
    QImageReader reader(&file, QtFormat(format));
    CheckHeader(reader, format);
    QImage image = reader.read();
    if (image.isNull())
        Fail(format, LoaderMessage(reader));
    return image;
}

}  // namespace

QImage QtPictureService::load(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return Decode(path, PictureFormatOf(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

QImage QtPictureService::loadBitmap(const QString& path)
{
    return Decode(path, PictureFormat::Bitmap);
}

QSize QtPictureService::bitmapSize(const QString& path)
{
    QFile file(path);
    Open(file);
    QImageReader reader(&file, QtFormat(PictureFormat::Bitmap));
    const QSize size = CheckHeader(reader, PictureFormat::Bitmap);
    if (!size.isValid())
        Fail(PictureFormat::Bitmap, std::string());
    return size;
}

}  // namespace qel::platform
