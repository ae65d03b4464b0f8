// Loading pictures by extension, reading a bitmap's size, and refusing
// damaged or hostile files without crashing. The pictures are made here.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <string>

#include "core/Errors.h"
#include "core/PreviewRules.h"
#include "platform/PictureService.h"

using qel::platform::QtPictureService;

namespace {

// A picture whose every pixel differs from its neighbours, so that a lossy
// or shifted decoding would show.
QImage Pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x + y) % 256));
    return image;
}

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray Bmp()
{
    return Encoded(Pattern(33, 17), "BMP");
}
QByteArray Png()
{
    return Encoded(Pattern(33, 17), "PNG");
}
QByteArray Jpeg()
{
    return Encoded(Pattern(64, 48), "JPEG");
}

// Qt writes no GIF: one white pixel, two colours, written out by hand.
QByteArray Gif()
{
    static const unsigned char kBytes[] = {'G', 'I',  'F',  '8',  '9', 'a', 1, 0,    1,    0, 0x80, 0,
                                           0,   0xFF, 0xFF, 0xFF, 0,   0,   0, 0x2C, 0,    0, 0,    0,
                                           1,   0,    1,    0,    0,   2,   2, 0x44, 0x01, 0, 0x3B};
    return QByteArray(reinterpret_cast<const char*>(kBytes), sizeof kBytes);
}

// The same pictures with a header that claims another size; checksums are
// made to match, so only the size is a lie.
QByteArray BmpClaiming(qint32 width, qint32 height)
{
    QByteArray bytes = Bmp();
    qToLittleEndian(width, bytes.data() + 18);
    qToLittleEndian(height, bytes.data() + 22);
    return bytes;
}

QByteArray GifClaiming(quint16 width, quint16 height)
{
    QByteArray bytes = Gif();
    for (int at : {6, 19 + 5}) {  // the screen, then the image
        qToLittleEndian(width, bytes.data() + at);
        qToLittleEndian(height, bytes.data() + at + 2);
    }
    return bytes;
}

QByteArray PngClaiming(quint32 width, quint32 height)
{
    QByteArray bytes = Png();
    qToBigEndian(width, bytes.data() + 16);
    qToBigEndian(height, bytes.data() + 20);
    const auto* chunk = reinterpret_cast<const Bytef*>(bytes.constData() + 12);
    qToBigEndian(static_cast<quint32>(crc32(0, chunk, 17)), bytes.data() + 29);  // "IHDR" and its data
    return bytes;
}

QByteArray JpegClaiming(quint16 width, quint16 height)
{
    QByteArray bytes = Jpeg();
    const qsizetype frame = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    qToBigEndian(height, bytes.data() + frame + 5);
    qToBigEndian(width, bytes.data() + frame + 7);
    return bytes;
}

QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

std::function<QByteArray()> CutShort(QByteArray (*make)(), double kept)
{
    return [=] {
        const QByteArray whole = make();
        return whole.left(static_cast<qsizetype>(whole.size() * kept));
    };
}

// The message a call throws; empty when it returned.
std::string Thrown(const std::function<void()>& call)
{
    try {
        call();
    } catch (const qel::Error& e) {
        return e.what();
    }
    return {};
}

const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };
constexpr const char* kLoaderMessage = "any loader message";  // thrown, not the bitmap's
constexpr const char* kCutShort = "cut short";                // the file's path and "is cut short: ..."

struct LoadCase {
    const char* name;
    const char* file;
    std::function<QByteArray()> bytes;
    QSize size;           // when it loads
    const char* message;  // "" when it loads
};

class LoadByExtensionTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadByExtensionTest, FormatComesFromTheExtension)
{
    const LoadCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = WriteFile(dir, c.file, c.bytes());
    QImage image;
    const std::string thrown = Thrown([&] { image = QtPictureService().load(path); });
    const std::string expected = c.message;
    if (expected == kLoaderMessage) {
        EXPECT_NE(thrown, "");
        EXPECT_NE(thrown, qel::kBitmapNotValidMessage);
    } else if (expected == kCutShort) {
        EXPECT_EQ(thrown, path.toStdString() + " is cut short: its picture data ends early");
    } else {
        EXPECT_EQ(thrown, expected);
        EXPECT_EQ(image.size(), thrown.empty() ? c.size : QImage().size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadByExtensionTest,
    ::testing::Values(
        LoadCase{"Bitmap", "ship.bmp", Bmp, {33, 17}, ""}, LoadCase{"Bm2HoldingABitmap", "pic.BM2", Bmp, {33, 17}, ""},
        LoadCase{"Gif", "a.gif", Gif, {1, 1}, ""}, LoadCase{"JpgUpperCase", "a.JPG", Jpeg, {64, 48}, ""},
        LoadCase{"Png", "a.Png", Png, {33, 17}, ""},
        LoadCase{"GifRenamedBm2", "a.bm2", Gif, {}, qel::kBitmapNotValidMessage},
        LoadCase{"PngRenamedJpg", "a.jpg", Png, {}, kLoaderMessage},
        LoadCase{"NotAPictureName", "a.txt", Png, {}, "Unsupported image format"},
        LoadCase{"BmpClaiming60000Square",
                 "a.bmp",
                 [] { return BmpClaiming(60000, 60000); },
                 {},
                 qel::kBitmapNotValidMessage},
        LoadCase{"GifClaiming60000Square",
                 "a.gif",
                 [] { return GifClaiming(60000, 60000); },
                 {},
                 qel::kPictureTooLargeMessage},
        LoadCase{"PngClaiming60000Square",
                 "a.png",
                 [] { return PngClaiming(60000, 60000); },
                 {},
                 qel::kPictureTooLargeMessage},
        LoadCase{"JpegClaiming60000Square",
                 "a.jpg",
                 [] { return JpegClaiming(60000, 60000); },
                 {},
                 qel::kPictureTooLargeMessage},
        LoadCase{"BmpOfNoPixels", "a.bmp", [] { return BmpClaiming(0, 0); }, {}, qel::kBitmapNotValidMessage},
        LoadCase{"GifOfNoPixels", "a.gif", [] { return GifClaiming(0, 0); }, {}, kLoaderMessage},
        LoadCase{"PngOfNoPixels", "a.png", [] { return PngClaiming(0, 0); }, {}, kLoaderMessage},
        LoadCase{"JpegOfNoPixels", "a.jpg", [] { return JpegClaiming(0, 0); }, {}, kLoaderMessage},
        LoadCase{"EmptyFile", "a.png", [] { return QByteArray(); }, {}, kLoaderMessage},
        LoadCase{"BmpHeaderCut", "a.bmp", CutShort(Bmp, 0.02), {}, kCutShort},
        LoadCase{"BmpPixelsCut", "a.bmp", CutShort(Bmp, 0.6), {}, kCutShort},
        LoadCase{"BmpLastByteCut", "a.bmp", [] { return Bmp().chopped(1); }, {}, kCutShort},
        LoadCase{"BmpTopRowFirstPixelsCut", "a.bmp", [] { return BmpClaiming(33, -17).left(1000); }, {}, kCutShort},
        LoadCase{"BmpWithBytesAfterItsRows", "a.bmp", [] { return Bmp() + "tail"; }, {33, 17}, ""},
        LoadCase{"GifPixelsCut", "a.gif", CutShort(Gif, 0.85), {}, kCutShort},
        LoadCase{"GifTrailerCut", "a.gif", [] { return Gif().chopped(1); }, {}, kCutShort},
        LoadCase{"JpegHeaderCut", "a.jpg", CutShort(Jpeg, 0.05), {}, kCutShort},
        LoadCase{"JpegScanCut", "a.jpg", CutShort(Jpeg, 0.7), {}, kCutShort},
        LoadCase{"JpegWithBytesAfterItsEnd", "a.jpg", [] { return Jpeg() + "tail"; }, {64, 48}, ""},
        LoadCase{"PngDataCut", "a.png", CutShort(Png, 0.7), {}, kCutShort},
        LoadCase{"PngEndChunkCut", "a.png", [] { return Png().chopped(2); }, {}, kCutShort}),
    kCaseName);

struct BitmapCase {
    const char* name;
    std::function<QByteArray()> bytes;
    QSize size;  // empty: "Bitmap image is not valid"
};

class ReadAsBitmapTest : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(ReadAsBitmapTest, AnyExtensionOnlyBitmapContent)
{
    const BitmapCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "picture.png", c.bytes());  // the content decides
    QtPictureService service;
    QSize size;
    QImage image;
    const std::string sizeMessage = Thrown([&] { size = service.bitmapSize(path); });
    const std::string loadMessage = Thrown([&] { image = service.loadBitmap(path); });
    const std::string expected = c.size.isEmpty() ? qel::kBitmapNotValidMessage : "";
    EXPECT_EQ(sizeMessage, expected);
    EXPECT_EQ(loadMessage, expected);
    EXPECT_EQ(size, c.size.isEmpty() ? QSize() : c.size);
    EXPECT_EQ(image.size(), c.size.isEmpty() ? QImage().size() : c.size);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadAsBitmapTest,
    ::testing::Values(BitmapCase{"Bitmap", Bmp, {33, 17}},
                      BitmapCase{"TopRowFirst", [] { return BmpClaiming(33, -17); }, {33, 17}},
                      BitmapCase{"Png", Png, {}}, BitmapCase{"NoPixels", [] { return BmpClaiming(0, 17); }, {}},
                      BitmapCase{"Claiming60000Square", [] { return BmpClaiming(60000, 60000); }, {}}),
    kCaseName);

// Over the limit, a picture comes scaled down to the size asked for while
// decoding, or not at all; within it, whole.
struct BoundCase {
    const char* name;
    const char* file;
    QImage::Format format;
    qint64 limit;
    QSize decoded;  // empty: refused
};

class LoadWithinTest : public ::testing::TestWithParam<BoundCase> {};

TEST_P(LoadWithinTest, NeverWholeOverTheLimit)
{
    const BoundCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(c.file));
    QImage picture = Pattern(300, 200).convertToFormat(c.format, Qt::ThresholdDither);
    ASSERT_TRUE(picture.save(path));
    qel::platform::BoundedPicture loaded;
    const std::string thrown = Thrown([&] { loaded = QtPictureService().loadWithin(path, c.limit, 150 * 100 * 4); });
    EXPECT_EQ(thrown, c.decoded.isEmpty() ? qel::kBitmapNotValidMessage : "");
    EXPECT_EQ(loaded.image.size(), c.decoded.isEmpty() ? QImage().size() : c.decoded);
    EXPECT_EQ(loaded.size, c.decoded.isEmpty() ? QSize() : QSize(300, 200));
}

constexpr qint64 kWhole = 300 * 200 * 4;
INSTANTIATE_TEST_SUITE_P(
    Cases, LoadWithinTest,
    ::testing::Values(BoundCase{"PngAtTheLimit", "a.png", QImage::Format_RGB32, kWhole, {300, 200}},
                      BoundCase{"Png", "a.png", QImage::Format_RGB32, kWhole - 1, {150, 100}},
                      BoundCase{"PngPaletted", "a.png", QImage::Format_Indexed8, kWhole - 1, {150, 100}},
                      BoundCase{"PngOneBit", "a.png", QImage::Format_Mono, kWhole - 1, {150, 100}},
                      BoundCase{"Jpeg", "a.jpg", QImage::Format_RGB32, kWhole - 1, {150, 100}},
                      BoundCase{"BitmapPaletted", "a.bmp", QImage::Format_Indexed8, kWhole - 1, {150, 100}},
                      BoundCase{"BitmapTrueColour", "a.bmp", QImage::Format_RGB32, kWhole - 1, {}}),
    kCaseName);

// A FIFO nothing writes into would block open() itself, and a read after it.
TEST(PictureService, OnlyRegularFilesAreRead)
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath(QStringLiteral("pipe.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.bmp"));
    ASSERT_TRUE(QDir().mkdir(folder));
    QtPictureService service;
    for (const QString& path : {pipe, folder}) {
        const std::string expected = path.toStdString() + " is not a regular file";
        EXPECT_EQ(Thrown([&] { service.load(path); }), expected);
        EXPECT_EQ(Thrown([&] { service.loadBitmap(path); }), expected);
        EXPECT_EQ(Thrown([&] { service.bitmapSize(path); }), expected);
        EXPECT_EQ(Thrown([&] { service.loadWithin(path, 1, 1); }), expected);
    }
}

TEST(PictureService, MissingFileIsNotFound)
{
    QtPictureService service;
    EXPECT_EQ(Thrown([&] { service.load(QStringLiteral("/nonexistent/ship.png")); }), "File not found");
    EXPECT_EQ(Thrown([&] { service.bitmapSize(QStringLiteral("/nonexistent/ship.bmp")); }), "File not found");
}

}  // namespace
