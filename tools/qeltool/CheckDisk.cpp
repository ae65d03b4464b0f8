#include "CheckDisk.h"

#include <sys/stat.h>

#include <new>

#ifdef QELTOOL_PICTURES
#include <QString>
#include <QtGlobal>

#include "Errors.h"
#include "FileNameText.h"
#include "PictureService.h"
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

// The picture service refuses pictures whose file ends before their data;
// damage inside the data the decoders read past as warnings and hand back
// what they could decode. The preview shows that, but a check must not call
// such a picture good. Decoding runs on this one thread.
std::string gDecoderWarning;

void NoteDecoderWarning(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg && gDecoderWarning.empty())
        gDecoderWarning = text.toLatin1().toStdString();
}

}  // namespace

bool CheckDisk::decodesPictures()
{
    return true;
}

qel::PictureFacts CheckDisk::picture(const std::string& path)
{
    qel::PictureFacts facts;
    // The decoder opens the file as it stands: a FIFO would hold the check
    // there until something wrote to it, a device could feed it for ever.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        facts.error = path + " is not a regular file";
        return facts;
    }
    gDecoderWarning.clear();
    const QtMessageHandler previous = qInstallMessageHandler(NoteDecoderWarning);
    try {
        qel::platform::QtPictureService service;
        const QImage image = service.load(qel::FileNameText(path));
        facts.width = image.width();
        facts.height = image.height();
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
