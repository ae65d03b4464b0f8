// Picture decoding for `qeltool check`, built as a module of its own: the
// GUI library it needs costs more start-up time and memory than reading a
// million-line file does, so the tool loads it only once a picture is there
// to be decoded.

#include <QString>
#include <QtGlobal>
#include <new>
#include <string>

#include "core/Errors.h"
#include "platform/FileNameText.h"
#include "platform/PictureService.h"
#include "tools/qeltool/PictureDecoder.h"

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

extern "C" __attribute__((visibility("default"))) void QelToolDecodePicture(const std::string& path,
                                                                            qel::PictureFacts& facts)
{
    gDecoderWarning.clear();
    const QtMessageHandler previous = qInstallMessageHandler(NoteDecoderWarning);
    try {
        qel::platform::QtPictureService service;
        // Judged as the views decode it: a large picture scaled down.
        const qel::platform::BoundedPicture picture = service.loadWithin(
            qel::FileNameText(path), qel::platform::kViewedPictureBytes, qel::platform::kViewedPictureBytes / 4);
        facts.width = picture.size.width();
        facts.height = picture.size.height();
        facts.decodable = gDecoderWarning.empty();
        facts.error = gDecoderWarning;
    } catch (const qel::Error& failure) {
        facts.error = failure.message();
    } catch (const std::bad_alloc&) {
        facts.error = "Not enough memory to decode it";
    }
    qInstallMessageHandler(previous);
}
