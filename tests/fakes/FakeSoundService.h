#pragma once
// A sound service for tests: a switchable output device, a log of the calls,
// and open() answered as the real one answers, on the event loop after open()
// returned (ready, or failed for the paths listed); processing the pending
// events delivers it. close() or a later open() drops a pending answer.

#include <QMetaObject>
#include <QSet>
#include <QStringList>

#include "core/Errors.h"
#include "core/PreviewRules.h"
#include "platform/SoundService.h"

namespace qel::platform {

class FakeSoundService : public SoundService {
    Q_OBJECT
public:
    using SoundService::SoundService;

    bool outputDevice = true;
    // Paths that open() reports as failed(kSoundNotValidMessage).
    QSet<QString> undecodable;
    // "open PATH", "play", "stop", "close", in call order (a refused play too).
    QStringList calls;

    bool hasOutputDevice() const override { return outputDevice; }

    void open(const QString& path) override
    {
        calls << QStringLiteral("open ") + path;
        openPath_ = path;
        playing_ = false;
        const int opening = ++openings_;
        const bool fails = undecodable.contains(path);
        QMetaObject::invokeMethod(
            this,
            [this, opening, fails] {
                if (opening != openings_)
                    return;
                if (fails)
                    emit failed(QString::fromLatin1(kSoundNotValidMessage));
                else
                    emit ready();
            },
            Qt::QueuedConnection);
    }

    void play() override
    {
        calls << QStringLiteral("play");
        if (openPath_.isEmpty())
            return;
        if (!outputDevice)
            throw MessageError(kNoSoundDeviceMessage);
        playing_ = true;
    }

    void stop() override
    {
        calls << QStringLiteral("stop");
        playing_ = false;
    }

    void close() override
    {
        calls << QStringLiteral("close");
        ++openings_;
        openPath_.clear();
        playing_ = false;
    }

    bool isOpen() const override { return !openPath_.isEmpty(); }
    bool isPlaying() const override { return playing_; }
    const QString& openPath() const { return openPath_; }

private:
    QString openPath_;
    bool playing_ = false;
    int openings_ = 0;
};

}  // namespace qel::platform
