// Qt Multimedia's player as the preview uses it, on a machine that may have
// no audio device (CI has none): wave files decode in the background, and a
// Play with no device is refused instead of pretending.

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <string>

#include "core/Errors.h"
#include "core/PreviewRules.h"
#include "platform/SoundService.h"

using qel::platform::QtSoundService;

namespace {

// A mono 16-bit PCM wave of `samples` samples at 8000 Hz, header by hand.
QByteArray Wave(quint32 samples)
{
    QByteArray bytes(44 + samples * 2, '\x11');
    auto put = [&](int at, auto value) { qToLittleEndian(value, bytes.data() + at); };
    bytes.replace(0, 4, "RIFF").replace(8, 8, "WAVEfmt ").replace(36, 4, "data");
    put(4, quint32(36 + samples * 2));
    put(16, quint32(16));
    put(20, quint16(1));      // PCM
    put(22, quint16(1));      // channels
    put(24, quint32(8000));   // sample rate
    put(28, quint32(16000));  // bytes a second
    put(32, quint16(2));      // bytes a frame
    put(34, quint16(16));     // bits a sample
    put(40, quint32(samples * 2));
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

enum class Outcome { Ready, Failed };

// Waits, at most 10 s, for the answer the case expects; the other one must
// not have come by then.
void ExpectAnswer(QtSoundService& service, Outcome outcome)
{
    QSignalSpy ready(&service, &QtSoundService::ready);
    QSignalSpy failed(&service, &QtSoundService::failed);
    QSignalSpy& expected = outcome == Outcome::Ready ? ready : failed;
    ASSERT_TRUE(expected.wait(10000));
    EXPECT_EQ(ready.count() + failed.count(), 1);
    if (outcome == Outcome::Failed) {
        EXPECT_EQ(failed.first().first().toString().toStdString(), qel::kSoundNotValidMessage);
    }
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
    if (c.bytes)
        WriteFile(path, c.bytes());
    QtSoundService service;
    service.open(path);
    ExpectAnswer(service, c.outcome);
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
    WriteFile(path, Wave(8000));

    service.open(path);
    ExpectAnswer(service, Outcome::Ready);
    try {
        service.play();
        ADD_FAILURE() << "played without a device";
    } catch (const qel::MessageError& e) {
        EXPECT_STREQ(e.what(), qel::kNoSoundDeviceMessage);
    }
    EXPECT_FALSE(service.isPlaying());
}

// "prev.wav" is the same path for every sound previewed: a new open must
// decode the file as it is now, not a sample kept from the last one.
TEST(SoundService, ReopeningTheSamePathDecodesItAgain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("prev.wav"));
    QtSoundService service;
    WriteFile(path, Wave(800));
    service.open(path);
    ExpectAnswer(service, Outcome::Ready);
    QByteArray adpcm = Wave(800);  // whole, but in a format the player cannot decode
    qToLittleEndian(quint16(2), adpcm.data() + 20);
    WriteFile(path, adpcm);
    service.open(path);
    ExpectAnswer(service, Outcome::Failed);
}

}  // namespace
