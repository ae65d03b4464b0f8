#include "CheckDisk.h"

#include <sys/stat.h>

#include <new>

#ifdef QELTOOL_PICTURES
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>

#include "Errors.h"
#include "FileNameText.h"
#include "PictureService.h"
#include "PreviewRules.h"
#endif

namespace qeltool {

bool CheckDisk::fileExists(const std::string& path)
{
    // A folder is no file to pack, even when a name points at one.
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

#ifdef QELTOOL_PICTURES

namespace {

// The decoders report damage they read past (a JPEG cut short) as warnings
// and hand back what they could decode; the preview shows that, but a check
// must not call such a picture good. Decoding runs on this one thread.
std::string gDecoderWarning;

void NoteDecoderWarning(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg && gDecoderWarning.empty())
        gDecoderWarning = text.toLatin1().toStdString();
}

std::uint32_t Little(const unsigned char* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

// The bitmap reader fills rows that are not in the file with black: a cut
// short uncompressed bitmap is found by its size against its header.
bool BitmapCutShort(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    unsigned char header[34] = {};
    const std::size_t got = std::fread(header, 1, sizeof header, file);
    const long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    std::fclose(file);
    const std::uint32_t infoSize = got >= 18 ? Little(header + 14, 4) : 0;
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::uint32_t bits = 0;
    if (infoSize == 12 && got >= 26) {
        width = Little(header + 18, 2);
        height = Little(header + 20, 2);
        bits = Little(header + 24, 2);
    } else if (infoSize >= 40 && got >= 34) {
        // Compressed rows have no size to compare with.
        const std::uint32_t compression = Little(header + 30, 4);
        if (compression != 0 && compression != 3)
            return false;
        const auto signedHeight = static_cast<std::int32_t>(Little(header + 22, 4));
        width = Little(header + 18, 4);
        height = signedHeight < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(std::int64_t{signedHeight})
                                  : static_cast<std::uint64_t>(signedHeight);
        bits = Little(header + 28, 2);
    } else {
        return false;
    }
    // The preview's loader has refused any size too large to hold by now.
    const std::uint64_t row = (width * bits + 31) / 32 * 4;
    return size >= 0 && static_cast<std::uint64_t>(size) < Little(header + 10, 4) + row * height;
}

}  // namespace

bool CheckDisk::decodesPictures()
{
    return true;
}

qel::PictureFacts CheckDisk::picture(const std::string& path)
{
    qel::PictureFacts facts;
    gDecoderWarning.clear();
    const QtMessageHandler previous = qInstallMessageHandler(NoteDecoderWarning);
    try {
        qel::platform::QtPictureService service;
        const QImage image = service.load(qel::FileNameText(path));
        facts.width = image.width();
        facts.height = image.height();
        if (gDecoderWarning.empty() && qel::PictureFormatOf(path) == qel::PictureFormat::Bitmap && BitmapCutShort(path))
            gDecoderWarning = "The picture data is cut short";
        facts.decodable = gDecoderWarning.empty();
        facts.error = gDecoderWarning;
    } catch (const qel::Error& failure) {
        facts.error = failure.message();
    } catch (const std::bad_alloc&) {
        facts.error = "Not enough memory to decode it";
    }
    qInstallMessageHandler(previous);
    return facts;
}

#else

bool CheckDisk::decodesPictures()
{
    return false;
}

qel::PictureFacts CheckDisk::picture(const std::string&)
{
    qel::PictureFacts facts;
    facts.checked = false;
    return facts;
}

#endif

}  // namespace qeltool
