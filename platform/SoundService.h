#pragma once
// Playing the wave file of a sound preview, with Play and Stop.
//
// Nothing here ever waits for a sound: open() returns at once while the file
// is decoded in the background, and play() returns while the sound plays, so
// the window keeps handling its events.

#include <QObject>
#include <QString>
#include <memory>

class QSoundEffect;

namespace qel::platform {

class SoundService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SoundService() override = default;

    // True when the system has an audio output device now. Asked anew each
    // time, so a device plugged in later counts.
    virtual bool hasOutputDevice() const = 0;

    // Opens the wave file at `path` for Play, closing whatever was open first.
    // Decoding finishes later with exactly one of ready() or failed(): a
    // missing file, or one that is not a wave file the player can decode,
    // gives failed(kSoundNotValidMessage). Nothing is played.
    virtual void open(const QString& path) = 0;

    // Plays the open sound from its start and returns at once; a Play while
    // the file is still being decoded starts it once decoded. Throws
    // qel::MessageError(kNoSoundDeviceMessage) when there is no output device,
    // rather than pretending to play. Does nothing when nothing is open.
    virtual void play() = 0;

    // Stops the sound; it stays open for another Play.
    virtual void stop() = 0;

    // Stops and releases the open file. The file on disk is not held open, so
    // it may be replaced or deleted at once; nothing is reported for it after
    // this (a pending ready() or failed() is dropped).
    virtual void close() = 0;

    virtual bool isOpen() const = 0;
    virtual bool isPlaying() const = 0;

signals:
    // The sound opened last is decoded and ready to play.
    void ready();
    // The sound opened last cannot be played; `message` is the error text.
    void failed(const QString& message);
};

// Qt Multimedia's QSoundEffect, which decodes WAV itself and plays through
// the system's default audio output.
class QtSoundService : public SoundService {
    Q_OBJECT
public:
    explicit QtSoundService(QObject* parent = nullptr);
    ~QtSoundService() override;

    bool hasOutputDevice() const override;
    void open(const QString& path) override;
    void play() override;
    void stop() override;
    void close() override;
    bool isOpen() const override;
    bool isPlaying() const override;

private:
    void statusChanged();

    // One effect per opened file: deleting it on close() cuts its signals, so
    // the decoding of a closed file can never report into a later one.
    std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace qel::platform
