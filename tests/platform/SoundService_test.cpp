// Qt Multimedia's player as the preview uses it, on a machine that may have
// no audio device (CI has none): wave files decode in the background, and a
// Play with no device is refused instead of pretending.

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <functional>
#include <string>

#include "Errors.h"
#include "PreviewRules.h"
#include "SoundService.h"

using qel::platform::QtSoundService;

namespace {

// A mono 16-bit PCM wave of `samples` samples at 8000 Hz, header by hand.
QByteArray Wave(quint32 samples)
{
    QByteArray bytes;
    auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
    };
    auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
    };
    bytes += "RIFF";
    u32(36 + samples * 2);
    bytes += "WAVEfmt ";
    u32(16);
    u16(1);      // PCM
    u16(1);      // channels
    u32(8000);   // sample rate
    u32(16000);  // bytes a second
    u16(2);      // bytes a frame
    u16(16);     // bits a sample
    bytes += "data";
    u32(samples * 2);
    for (quint32 i = 0; i < samples; ++i)
        u16(static_cast<quint16>((i % 16) * 2000));
    return bytes;
}

enum class Outcome { Ready, Failed, Neither };

// Runs the event loop until the service answers the last open(), at most 10 s.
Outcome WaitForAnswer(QtSoundService& service, QString* message = nullptr)
{
    Outcome outcome = Outcome::Neither;
    QEventLoop loop;
    QObject::connect(&service, &QtSoundService::ready, &loop, [&] {
        outcome = Outcome::Ready;
        loop.quit();
    });
    QObject::connect(&service, &QtSoundService::failed, &loop, [&](const QString& text) {
        outcome = Outcome::Failed;
        if (message)
            *message = text;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return outcome;
}

struct OpenCase {
    const char* name;
    std::function<QByteArray()> bytes;  // null: no file at all
    Outcome outcome;
};

class OpenSoundTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenSoundTest, AnswersOnceDecoded)
{
    const OpenCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("prev.wav"));
    if (c.bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes());
    }
    QtSoundService service;
    service.open(path);
    EXPECT_TRUE(service.isOpen());
    QString message;
    EXPECT_EQ(WaitForAnswer(service, &message), c.outcome);
    if (c.outcome == Outcome::Failed) {
        EXPECT_EQ(message.toStdString(), qel::kSoundNotValidMessage);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenSoundTest,
    ::testing::Values(OpenCase{"Wave", [] { return Wave(800); }, Outcome::Ready},
                      OpenCase{"NotAWave", [] { return QByteArray("plain text, no RIFF header"); }, Outcome::Failed},
                      OpenCase{"EmptyFile", [] { return QByteArray(); }, Outcome::Failed},
                      OpenCase{"HeaderCutShort", [] { return Wave(800).left(20); }, Outcome::Failed},
                      OpenCase{"SoundCutShort", [] { return Wave(800).left(100); }, Outcome::Failed},
                      OpenCase{"FormatChunkClaimsTooMuch",
                               [] {
                                   QByteArray bytes = Wave(800);
                                   qToLittleEndian<quint32>(0x7FFFFFFF, bytes.data() + 16);
                                   return bytes;
                               },
                               Outcome::Failed},
                      OpenCase{"NoSoundData", [] { return Wave(0); }, Outcome::Ready},
                      OpenCase{"OtherChunkBeforeTheSound",
                               [] {
                                   QByteArray bytes = Wave(800);
                                   bytes.insert(36, QByteArray("LIST\x04\0\0\0abcd", 12));
                                   return bytes;
                               },
                               Outcome::Ready},
                      OpenCase{"MissingFile", nullptr, Outcome::Failed}),
    [](const ::testing::TestParamInfo<OpenCase>& info) { return std::string(info.param.name); });

TEST(SoundService, PlayWithoutOutputDeviceIsRefused)
{
    QtSoundService service;
    if (service.hasOutputDevice())
        GTEST_SKIP() << "this machine has an audio output device";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("prev.wav"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Wave(8000));
    file.close();

    service.open(path);
    ASSERT_EQ(WaitForAnswer(service), Outcome::Ready);
    try {
        service.play();
        ADD_FAILURE() << "played without a device";
    } catch (const qel::MessageError& e) {
        EXPECT_STREQ(e.what(), qel::kNoSoundDeviceMessage);
    }
    EXPECT_FALSE(service.isPlaying());
}

TEST(SoundService, ClosedPlayerDoesNothing)
{
    QtSoundService service;
    EXPECT_NO_THROW(service.play());  // nothing open yet
    EXPECT_FALSE(service.isOpen());
    service.open(QStringLiteral("/nonexistent/prev.wav"));
    service.close();
    EXPECT_FALSE(service.isOpen());
    EXPECT_NO_THROW(service.play());
    EXPECT_FALSE(service.isPlaying());
}

}  // namespace
