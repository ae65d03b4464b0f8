#include "platform/SoundService.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QMetaObject>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>

#include "core/Errors.h"
#include "core/PreviewRules.h"

namespace qel::platform {

namespace {

// Qt's wave decoder waits for ever, reporting neither success nor failure,
// for a file that ends before its headers or its sound data say it does (an
// empty file, a copy cut short). So the chunks are walked here first: a
// "fmt " chunk of at least 16 bytes, then a "data" chunk that the file holds
// whole. Chunks of other kinds are skipped, with their pad byte.
bool IsCompleteWave(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    char riff[12];
    if (file.read(riff, 12) != 12 || (qstrncmp(riff, "RIFF", 4) != 0 && qstrncmp(riff, "RIFX", 4) != 0)
        || qstrncmp(riff + 8, "WAVE", 4) != 0)
        return false;
    const bool bigEndian = riff[3] == 'X';
    bool format = false;
    qint64 at = 12;
    while (at + 8 <= size) {
        char chunk[8];
        if (!file.seek(at) || file.read(chunk, 8) != 8)
            return false;
        const qint64 length = bigEndian ? qFromBigEndian<quint32>(chunk + 4) : qFromLittleEndian<quint32>(chunk + 4);
        const qint64 body = at + 8;
        if (body + length > size)
            return false;
        if (qstrncmp(chunk, "fmt ", 4) == 0)
            format = length >= 16;
        else if (qstrncmp(chunk, "data", 4) == 0)
            return format;
        at = body + length + (length & 1);
    }
    return false;
}

}  // namespace

QtSoundService::QtSoundService(QObject* parent) : SoundService(parent) {}

QtSoundService::~QtSoundService() = default;

bool QtSoundService::hasOutputDevice() const
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

void QtSoundService::open(const QString& path)
{
    close();
    effect_ = std::make_unique<QSoundEffect>(QMediaDevices::defaultAudioOutput());
    if (!IsCompleteWave(path)) {
        // Answered on the event loop like a decoding failure, and only if
        // this file is still the open one by then.
        QMetaObject::invokeMethod(
            effect_.get(), [this] { emit failed(QString::fromLatin1(kSoundNotValidMessage)); }, Qt::QueuedConnection);
        return;
    }
    connect(effect_.get(), &QSoundEffect::statusChanged, this, &QtSoundService::statusChanged);
    effect_->setSource(QUrl::fromLocalFile(path));
}

void QtSoundService::statusChanged()
{
    if (!effect_)
        return;
    switch (effect_->status()) {
    case QSoundEffect::Ready:
        emit ready();
        break;
    case QSoundEffect::Error:
        emit failed(QString::fromLatin1(kSoundNotValidMessage));
        break;
    case QSoundEffect::Null:
    case QSoundEffect::Loading:
        break;
    }
}

void QtSoundService::play()
{
    if (!effect_)
        return;
    // Without a device the effect reports that it plays while nothing is heard.
    if (!hasOutputDevice())
        throw MessageError(kNoSoundDeviceMessage);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (effect_->audioDevice() != device)
        effect_->setAudioDevice(device);
    effect_->stop();
    effect_->play();
}

void QtSoundService::stop()
{
    if (effect_)
        effect_->stop();
}

void QtSoundService::close()
{
    if (!effect_)
        return;
    effect_->disconnect(this);
    effect_->stop();
    effect_.reset();
}

bool QtSoundService::isOpen() const
{
    return effect_ != nullptr;
}

bool QtSoundService::isPlaying() const
{
    return effect_ && effect_->isPlaying();
}

}  // namespace qel::platform
