// Loading pictures by extension, reading a bitmap's size, and refusing
// damaged or hostile files without crashing. The pictures are made here.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <string>

#include "Errors.h"
#include "PictureService.h"
#include "PreviewRules.h"

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

QByteArray Bmp() { return Encoded(Pattern(33, 17), "BMP"); }
QByteArray Png() { return Encoded(Pattern(33, 17), "PNG"); }
QByteArray Jpeg() { return Encoded(Pattern(64, 48), "JPEG"); }

// Qt writes no GIF: one white pixel, two colours, written out by hand.
QByteArray Gif()
{
    static const unsigned char kBytes[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,
                                           0xFF, 0xFF, 0xFF, 0, 0, 0,
                                           0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0,
                                           2, 2, 0x44, 0x01, 0, 0x3B};
    return QByteArray(reinterpret_cast<const char*>(kBytes), sizeof kBytes);
}

quint32 Crc32(const char* data, qsizetype size)
{
    quint32 crc = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < size; ++i) {
        crc ^= static_cast<unsigned char>(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
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
    qToBigEndian(Crc32(bytes.constData() + 12, 17), bytes.data() + 29);  // "IHDR" and its data
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

class PictureFolder {
public:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

// "" for a picture that loads; otherwise the message it must throw.
constexpr const char* kAnyLoaderMessage = "*";

std::string LoadMessage(const std::function<void()>& load)
{
    try {
        load();
    } catch (const qel::Error& e) {
        return e.what();
    }
    return {};
}

void ExpectMessage(const std::string& thrown, const char* expected)
{
    if (std::string(expected) == kAnyLoaderMessage) {
        EXPECT_FALSE(thrown.empty()) << "loaded";
        EXPECT_NE(thrown, qel::kBitmapNotValidMessage);
    } else {
        EXPECT_EQ(thrown, expected);
    }
}

struct LoadCase {
    const char* name;
    const char* file;
    std::function<QByteArray()> bytes;
    QSize size;            // when it loads
    const char* message;   // "" when it loads
};

class LoadByExtensionTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadByExtensionTest, FormatComesFromTheExtension)
{
    const LoadCase& c = GetParam();
    PictureFolder folder;
    const QString path = folder.write(QString::fromLatin1(c.file), c.bytes());
    QtPictureService service;
    QImage image;
    const std::string thrown = LoadMessage([&] { image = service.load(path); });
    ExpectMessage(thrown, c.message);
    if (*c.message == '\0') {
        EXPECT_EQ(image.size(), c.size);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadByExtensionTest,
    ::testing::Values(
        LoadCase{"Bitmap", "ship.bmp", Bmp, {33, 17}, ""},
        LoadCase{"Bm2HoldingABitmap", "pic.BM2", Bmp, {33, 17}, ""},
        LoadCase{"Gif", "a.gif", Gif, {1, 1}, ""},
        LoadCase{"Jpeg", "a.jpeg", Jpeg, {64, 48}, ""},
        LoadCase{"JpgUpperCase", "a.JPG", Jpeg, {64, 48}, ""},
        LoadCase{"Png", "a.Png", Png, {33, 17}, ""},
        LoadCase{"GifRenamedBm2", "a.bm2", Gif, {}, qel::kBitmapNotValidMessage},
        LoadCase{"PngRenamedBmp", "a.bmp", Png, {}, qel::kBitmapNotValidMessage},
        LoadCase{"PngRenamedJpg", "a.jpg", Png, {}, kAnyLoaderMessage},
        LoadCase{"BmpRenamedGif", "a.gif", Bmp, {}, kAnyLoaderMessage},
        LoadCase{"NotAPictureName", "a.txt", Png, {}, "Unsupported image format"},
        LoadCase{"BitmapClaiming60000Square", "a.bmp", [] { return BmpClaiming(60000, 60000); }, {},
                 qel::kBitmapNotValidMessage},
        LoadCase{"BitmapOfNoPixels", "a.bmp", [] { return BmpClaiming(0, 0); }, {}, qel::kBitmapNotValidMessage},
        LoadCase{"GifClaiming60000Square", "a.gif", [] { return GifClaiming(60000, 60000); }, {},
                 qel::kPictureTooLargeMessage},
        LoadCase{"GifOfNoPixels", "a.gif", [] { return GifClaiming(0, 0); }, {}, kAnyLoaderMessage},
        LoadCase{"PngClaiming60000Square", "a.png", [] { return PngClaiming(60000, 60000); }, {},
                 qel::kPictureTooLargeMessage},
        LoadCase{"PngOfNoPixels", "a.png", [] { return PngClaiming(0, 0); }, {}, kAnyLoaderMessage},
        LoadCase{"JpegClaiming60000Square", "a.jpg", [] { return JpegClaiming(60000, 60000); }, {},
                 qel::kPictureTooLargeMessage},
        LoadCase{"JpegOfNoPixels", "a.jpg", [] { return JpegClaiming(0, 0); }, {}, kAnyLoaderMessage},
        LoadCase{"EmptyFile", "a.png", [] { return QByteArray(); }, {}, kAnyLoaderMessage}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST(LoadByExtension, MissingFileIsNotFound)
{
    QtPictureService service;
    EXPECT_EQ(LoadMessage([&] { service.load(QStringLiteral("/nonexistent/ship.png")); }), "File not found");
    EXPECT_EQ(LoadMessage([&] { service.bitmapSize(QStringLiteral("/nonexistent/ship.bmp")); }), "File not found");
}

TEST(LoadByExtension, DecodesTheBitmapsPixels)
{
    PictureFolder folder;
    QtPictureService service;
    const QImage image = service.load(folder.write(QStringLiteral("p.bm2"), Bmp()));
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), Pattern(33, 17));
}

struct CutCase {
    const char* name;
    const char* file;
    std::function<QByteArray()> bytes;
    double kept;     // share of the file left
    bool mustFail;   // false: it may load what it could decode, at its full size
    QSize size;
};

class CutShortTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutShortTest, NeverCrashes)
{
    const CutCase& c = GetParam();
    const QByteArray whole = c.bytes();
    PictureFolder folder;
    const QString path =
        folder.write(QString::fromLatin1(c.file), whole.left(static_cast<qsizetype>(whole.size() * c.kept)));
    QtPictureService service;
    QImage image;
    const std::string thrown = LoadMessage([&] { image = service.load(path); });
    if (c.mustFail) {
        EXPECT_FALSE(thrown.empty());
    } else if (thrown.empty()) {
        EXPECT_EQ(image.size(), c.size);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CutShortTest,
    ::testing::Values(CutCase{"BmpHeader", "a.bmp", Bmp, 0.02, true, {}},
                      CutCase{"BmpPixels", "a.bmp", Bmp, 0.6, false, {33, 17}},
                      CutCase{"GifHeader", "a.gif", Gif, 0.3, true, {}},
                      CutCase{"GifData", "a.gif", Gif, 0.9, false, {1, 1}},
                      CutCase{"JpegHeader", "a.jpg", Jpeg, 0.05, true, {}},
                      CutCase{"JpegScan", "a.jpg", Jpeg, 0.7, false, {64, 48}},
                      CutCase{"PngHeader", "a.png", Png, 0.1, true, {}}, CutCase{"PngData", "a.png", Png, 0.7, true, {}}),
    [](const ::testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

struct BitmapCase {
    const char* name;
    std::function<QByteArray()> bytes;
    QSize size;  // invalid: "Bitmap image is not valid"
};

class ReadAsBitmapTest : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(ReadAsBitmapTest, AnyExtensionOnlyBitmapContent)
{
    const BitmapCase& c = GetParam();
    PictureFolder folder;
    // A picture extension that is not the bitmap's: the content decides here.
    const QString path = folder.write(QStringLiteral("picture.png"), c.bytes());
    QtPictureService service;
    QSize size;
    const std::string sizeMessage = LoadMessage([&] { size = service.bitmapSize(path); });
    QImage image;
    const std::string loadMessage = LoadMessage([&] { image = service.loadBitmap(path); });
    if (c.size.isValid()) {
        EXPECT_EQ(size, c.size) << sizeMessage;
        EXPECT_EQ(image.size(), c.size) << loadMessage;
    } else {
        EXPECT_EQ(sizeMessage, qel::kBitmapNotValidMessage);
        EXPECT_EQ(loadMessage, qel::kBitmapNotValidMessage);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadAsBitmapTest,
    ::testing::Values(BitmapCase{"Bitmap", Bmp, {33, 17}},
                      BitmapCase{"OnePixel", [] { return Encoded(Pattern(1, 1), "BMP"); }, {1, 1}},
                      BitmapCase{"TopDownRows", [] { return BmpClaiming(33, -17); }, {33, 17}},
                      BitmapCase{"Png", Png, {}}, BitmapCase{"Gif", Gif, {}}, BitmapCase{"Jpeg", Jpeg, {}},
                      BitmapCase{"NoPixels", [] { return BmpClaiming(0, 17); }, {}},
                      BitmapCase{"Claiming60000Square", [] { return BmpClaiming(60000, 60000); }, {}},
                      BitmapCase{"Empty", [] { return QByteArray(); }, {}}),
    [](const ::testing::TestParamInfo<BitmapCase>& info) { return std::string(info.param.name); });

}  // namespace
