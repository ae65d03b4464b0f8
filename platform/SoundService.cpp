#include "SoundService.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include "Errors.h"
#include "PreviewRules.h"

namespace qel::platform {

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
