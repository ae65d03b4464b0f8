#include "platform/PictureService.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <string_view>

#include "core/Errors.h"
#include "core/PreviewRules.h"
#include "platform/FileNameText.h"

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
qint64 DecodedBytes(QSize size)
{
    return static_cast<qint64>(size.width()) * size.height() * 4;
}

bool ExceedsAllocationLimit(const QImageReader& reader, QSize size)
{
    const int limitMiB = reader.allocationLimit();
    if (limitMiB <= 0)
        return false;
    return DecodedBytes(size) > static_cast<qint64>(limitMiB) * 1024 * 1024;
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

std::uint32_t Little(std::string_view bytes, std::size_t at, std::size_t count)
{
    std::uint32_t value = 0;
    for (std::size_t i = count; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::uint32_t Big(std::string_view bytes, std::size_t at, std::size_t count)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Qt's bitmap reader fills the rows a file lacks with black without a word,
// so the rows its header promises are counted here. Compressed rows have no
// size of their own and are left to the reader, as is a header that claims
// more than `limitBytes` of pixels, which the reader refuses outright.
bool BitmapEndsEarly(std::string_view bytes, std::uint64_t limitBytes)
{
    if (bytes.size() < 26 || bytes.substr(0, 2) != "BM")
        return false;
    const std::uint64_t pixelsAt = Little(bytes, 10, 4);
    const std::uint32_t headerSize = Little(bytes, 14, 4);
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
    if (headerSize == 12) {
        width = Little(bytes, 18, 2);
        height = Little(bytes, 20, 2);
        bitsPerPixel = Little(bytes, 24, 2);
    } else if (headerSize >= 40 && bytes.size() >= 34) {
        width = static_cast<std::int32_t>(Little(bytes, 18, 4));
        height = static_cast<std::int32_t>(Little(bytes, 22, 4));
        bitsPerPixel = Little(bytes, 28, 2);
        compression = Little(bytes, 30, 4);
    } else {
        return false;
    }
    constexpr std::uint32_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;
    if (compression != kRgb && compression != kBitFields && compression != kAlphaBitFields)
        return false;
    if (width <= 0 || bitsPerPixel == 0 || bitsPerPixel > 64 || pixelsAt < 14 + std::uint64_t{headerSize})
        return false;
    // Rows are padded to whole 32-bit words.
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    const std::uint64_t rows = static_cast<std::uint64_t>(std::llabs(height));
    if (static_cast<std::uint64_t>(width) * rows * 4 > limitBytes)
        return false;
    return bytes.size() < pixelsAt + rowBytes * rows;
}

// Reports whether the sub-blocks that start at `at` run past the end, and
// moves `at` past them.
bool SubBlocksEndEarly(std::string_view bytes, std::size_t& at)
{
    for (;;) {
        if (at >= bytes.size())
            return true;
        const std::size_t length = static_cast<unsigned char>(bytes[at++]);
        if (length == 0)
            return false;
        at += length;
    }
}

// Qt's GIF reader shows what it decoded of a frame cut short, and the rest
// blank, so the blocks are walked to the trailer here.
bool GifEndsEarly(std::string_view bytes)
{
    if (bytes.size() < 6 || (bytes.substr(0, 6) != "GIF87a" && bytes.substr(0, 6) != "GIF89a"))
        return false;
    if (bytes.size() < 13)
        return true;
    const auto colourTable = [&](std::size_t flagsAt) {
        const auto flags = static_cast<unsigned char>(bytes[flagsAt]);
        return (flags & 0x80) != 0 ? std::size_t{3} << ((flags & 7) + 1) : std::size_t{0};
    };
    std::size_t at = 13 + colourTable(10);
    for (;;) {
        if (at >= bytes.size())
            return true;
        const auto block = static_cast<unsigned char>(bytes[at++]);
        if (block == 0x3B)
            return false;
        if (block == 0x21) {
            ++at;  // the extension's label
        } else if (block == 0x2C) {
            if (at + 9 > bytes.size())
                return true;
            at += 9 + colourTable(at + 8) + 1;  // the descriptor, its colours, the code size
        } else {
            return false;  // damaged, which is the reader's to report
        }
        if (SubBlocksEndEarly(bytes, at))
            return true;
    }
}

// Qt's JPEG reader shows what it decoded of a scan cut short, and the rest
// grey, with only a warning in the log; so the segments are walked to the
// first scan, and its data must reach the end-of-image marker (which scan
// data cannot hold: a 0xFF byte there is always followed by 0 or a restart).
bool JpegEndsEarly(std::string_view bytes)
{
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF
        || static_cast<unsigned char>(bytes[1]) != 0xD8)
        return false;
    std::size_t at = 2;
    for (;;) {
        if (at >= bytes.size())
            return true;
        if (static_cast<unsigned char>(bytes[at]) != 0xFF)
            return false;
        while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) == 0xFF)
            ++at;  // fill bytes
        if (at >= bytes.size())
            return true;
        const auto marker = static_cast<unsigned char>(bytes[at++]);
        if (marker == 0xD9)
            return false;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;  // no length follows
        if (at + 2 > bytes.size())
            return true;
        const std::size_t length = Big(bytes, at, 2);
        if (length < 2)
            return false;
        at += length;
        if (at > bytes.size())
            return true;
        if (marker == 0xDA)
            return bytes.find("\xFF\xD9", at) == std::string_view::npos;
    }
}

// libpng refuses most PNG files cut short, but without saying why; the chunks
// are walked to the end chunk here.
bool PngEndsEarly(std::string_view bytes)
{
    constexpr std::string_view kSignature("\x89PNG\r\n\x1A\n", 8);
    if (bytes.substr(0, kSignature.size()) != kSignature)
        return false;
    std::size_t at = kSignature.size();
    for (;;) {
        if (at + 8 > bytes.size())
            return true;
        const std::uint64_t length = Big(bytes, at, 4);
        if (bytes.substr(at + 4, 4) == "IEND")
            return at + 12 > bytes.size();
        if (length > bytes.size())
            return true;
        at += 12 + static_cast<std::size_t>(length);  // length, type, data, checksum
    }
}

bool EndsEarly(PictureFormat format, std::string_view bytes, std::uint64_t limitBytes)
{
    // An empty file holds no picture to speak of: that is the reader's to say.
    if (bytes.empty())
        return false;
    switch (format) {
    case PictureFormat::Bitmap:
        return BitmapEndsEarly(bytes, limitBytes);
    case PictureFormat::Gif:
        return GifEndsEarly(bytes);
    case PictureFormat::Jpeg:
        return JpegEndsEarly(bytes);
    case PictureFormat::Png:
        return PngEndsEarly(bytes);
    case PictureFormat::None:
        break;
    }
    return false;
}

// Readers differ in what they do when the data stops early, and some show
// the part they decoded as if it were all; so the file's own structure is
// checked before decoding. The file is mapped, not copied, where it can be.
void RefuseIfCutShort(QFile& file, const QImageReader& reader, PictureFormat format, const QString& path)
{
    const qint64 size = file.size();
    if (size <= 0)
        return;
    QByteArray copy;
    const uchar* mapped = file.map(0, size);
    if (mapped == nullptr) {
        if (!file.seek(0))
            return;
        copy = file.readAll();
    }
    const char* data = mapped != nullptr ? reinterpret_cast<const char*>(mapped) : copy.constData();
    const std::size_t length =
        mapped != nullptr ? static_cast<std::size_t>(size) : static_cast<std::size_t>(copy.size());
    const int limitMiB = reader.allocationLimit();
    const std::uint64_t limitBytes = limitMiB > 0 ? static_cast<std::uint64_t>(limitMiB) << 20 : UINT64_MAX;
    const bool cutShort = EndsEarly(format, std::string_view(data, length), limitBytes);
    if (mapped != nullptr)
        file.unmap(const_cast<uchar*>(mapped));
    if (cutShort)
        throw MessageError(CutShortMessage(path));
}

// A reader bound to a format does not tell a missing file from a damaged one,
// so the file is opened here. Opening a FIFO that nothing writes into, or
// some devices, blocks in open() itself: the file is opened without waiting
// and looked at before anything is read.
void Open(QFile& file, const QString& path)
{
    const std::string name = FileNameBytes(path);
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0) {
        const int error = errno;
        // A socket cannot be opened at all.
        if (error == ENXIO && ::stat(name.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
            throw FileError(EINVAL, NotRegularFileMessage(path));
        throw FileError(error == ENOTDIR ? ENOENT : error);
    }
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        throw FileError(error);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        throw FileError(EINVAL, NotRegularFileMessage(path));
    }
    // Waiting or not makes no difference to a regular file's reads.
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw FileError(EIO);
    }
}

// Binds the reader to `format` alone, and checks what the header claims
// before any pixel is allocated: above `ceilingBytes` decoded, or above the
// reader's own allocation limit when none is given, it is refused.
QSize CheckHeader(QImageReader& reader, PictureFormat format, qint64 ceilingBytes = 0)
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
        if (ceilingBytes > 0 ? DecodedBytes(size) > ceilingBytes : ExceedsAllocationLimit(reader, size))
            Fail(format, kPictureTooLargeMessage);
    }
    return size;
}

// The largest size of the same shape within `bytes` decoded.
QSize Within(QSize size, qint64 bytes)
{
    const double factor = std::sqrt(static_cast<double>(bytes) / static_cast<double>(DecodedBytes(size)));
    return QSize(std::max(1, static_cast<int>(size.width() * factor)),
                 std::max(1, static_cast<int>(size.height() * factor)));
}

// Shrinks a picture of few bits a pixel to `target` a band of rows at a time,
// so that no more than a band is ever widened to 32 bits.
QImage ShrinkInBands(const QImage& source, QSize target)
{
    QImage shrunk(target, QImage::Format_ARGB32_Premultiplied);
    if (shrunk.isNull())
        throw std::bad_alloc();
    constexpr int kBandRows = 64;
    for (int y = 0; y < target.height(); y += kBandRows) {
        const int rows = std::min(kBandRows, target.height() - y);
        const int from = static_cast<int>(static_cast<qint64>(y) * source.height() / target.height());
        const int to = static_cast<int>(static_cast<qint64>(y + rows) * source.height() / target.height());
        const QImage band = source.copy(0, from, source.width(), std::max(1, to - from))
                                .convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                .scaled(target.width(), rows, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        for (int row = 0; row < rows; ++row)
            std::memcpy(shrunk.scanLine(y + row), band.constScanLine(row),
                        static_cast<std::size_t>(target.width()) * 4);
    }
    return shrunk;
}

// A picture is scaled down to no less than a sixteenth of the bytes the
// budget allows decoded whole (a quarter of each side).
constexpr qint64 kScaledAtMost = 16;

struct Bounds {
    qint64 limitBytes;
    qint64 reducedBytes;
};

QImage ReadReduced(QImageReader& reader, PictureFormat format, QSize size, qint64 reducedBytes)
{
    const QSize target = Within(size, reducedBytes);
    const QImage::Format own = reader.imageFormat();
    QImage image;
    if (own != QImage::Format_Invalid && QImage::toPixelFormat(own).bitsPerPixel() <= 8) {
        // Qt's decoders widen such a picture to 32 bits whole before scaling
        // it; decoded at its own depth it stays small.
        image = reader.read();
        if (!image.isNull())
            return ShrinkInBands(image, target);
    } else {
        if (!reader.supportsOption(QImageIOHandler::ScaledSize))
            Fail(format, kPictureTooLargeMessage);
        reader.setScaledSize(target);
        image = reader.read();
    }
    if (image.isNull())
        Fail(format, LoaderMessage(reader));
    return image;
}

BoundedPicture Decode(const QString& path, PictureFormat format, const Bounds* bounds = nullptr)
{
    if (format == PictureFormat::None)
        throw MessageError("Unsupported image format");
    QFile file;
    Open(file, path);
    QImageReader reader(&file, QtFormat(format));
    if (bounds != nullptr) {
        // The caller's budget decides, not Qt's default limit. Qt's decoders
        // widen some pictures (a palette, an interlaced PNG) to 32 bits whole
        // before they scale them: up to four times the budget is allowed for
        // that, and nothing claimed beyond kScaledAtMost times is begun.
        const qint64 limitMiB = (bounds->limitBytes * 4 >> 20) + 1;
        reader.setAllocationLimit(static_cast<int>(std::min<qint64>(limitMiB, std::numeric_limits<int>::max())));
    }
    const QSize size = CheckHeader(reader, format, bounds != nullptr ? bounds->limitBytes * kScaledAtMost : 0);
    const qint64 position = file.pos();
    RefuseIfCutShort(file, reader, format, path);
    if (!file.seek(position))
        throw FileError(EIO);
    if (bounds != nullptr && size.isValid() && DecodedBytes(size) > bounds->limitBytes)
        return {ReadReduced(reader, format, size, bounds->reducedBytes), size};
    QImage image = reader.read();
    if (image.isNull())
        Fail(format, LoaderMessage(reader));
    return {image, image.size()};
}

}  // namespace

std::string CutShortMessage(const QString& path)
{
    return QuotedText(FileNameBytes(path)) + " is cut short: its picture data ends early";
}

std::string NotRegularFileMessage(const QString& path)
{
    return QuotedText(FileNameBytes(path)) + " is not a regular file";
}

BoundedPicture PictureService::loadWithin(const QString& path, qint64, qint64)
{
    const QImage image = load(path);
    return {image, image.size()};
}

QImage QtPictureService::load(const QString& path)
{
    return Decode(path, PictureFormatOf(FileNameBytes(path))).image;
}

QImage QtPictureService::loadBitmap(const QString& path)
{
    return Decode(path, PictureFormat::Bitmap).image;
}

BoundedPicture QtPictureService::loadWithin(const QString& path, qint64 limitBytes, qint64 reducedBytes)
{
    const Bounds bounds{limitBytes, std::min(reducedBytes, limitBytes)};
    return Decode(path, PictureFormatOf(FileNameBytes(path)), &bounds);
}

std::shared_ptr<PictureService> QtPictureService::forOtherThreads() const
{
    return std::make_shared<QtPictureService>();
}

QSize QtPictureService::bitmapSize(const QString& path)
{
    QFile file;
    Open(file, path);
    QImageReader reader(&file, QtFormat(PictureFormat::Bitmap));
    const QSize size = CheckHeader(reader, PictureFormat::Bitmap);
    if (!size.isValid())
        Fail(PictureFormat::Bitmap, std::string());
    return size;
}

}  // namespace qel::platform
