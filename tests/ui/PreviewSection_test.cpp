// The preview area: a clicked file's picture or sound, the tile animation
// and its messages, and the sound copy's removal at closing. The pictures
// and sounds are made here; the sound service is a fake (no device in CI).
#include <QBuffer>
#include <QCoreApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTimer>
#include <QToolButton>
#include <QtEndian>

#include "FakeSoundService.h"
#include "FileSection.h"
#include "ImageSection.h"
#include "MainWindowFixture.h"
#include "PreviewSection.h"
#include "UpDownButton.h"

namespace {

using qel::platform::FakeSoundService;

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage Plain(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    return image;
}

// Qt writes no GIF: one white pixel, two colours, written out by hand.
QByteArray Gif()
{
    static const unsigned char kBytes[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0xFF, 0xFF,
                                           0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
    return QByteArray(reinterpret_cast<const char*>(kBytes), sizeof kBytes);
}

QByteArray BmpClaiming(qint32 width, qint32 height)
{
    QByteArray bytes = Encoded(Plain(4, 4), "BMP");
    qToLittleEndian(width, bytes.data() + 18);
    qToLittleEndian(height, bytes.data() + 22);
    return bytes;
}

// A short wave file: 8 kHz, 8 bits, mono, 64 samples.
QByteArray Wave()
{
    QByteArray bytes("RIFF", 4);
    const auto add32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
    };
    const auto add16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
    };
    add32(36 + 64);
    bytes.append("WAVEfmt ", 8);
    add32(16);
    add16(1);
    add16(1);
    add32(8000);
    add32(8000);
    add16(1);
    add16(8);
    bytes.append("data", 4);
    add32(64);
    for (int i = 0; i < 64; ++i)
        bytes.append(static_cast<char>(128 + (i % 8) * 8));
    return bytes;
}

// Each cell of a columns x rows grid of 64 x 32 cells in its own colour.
QImage Cells(int columns, int rows)
{
    QImage image(columns * 64, rows * 32, QImage::Format_RGB32);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 64; ++x)
                    image.setPixel(c * 64 + x, r * 32 + y, qRgb(c * 40, r * 90, 77));
    return image;
}

class PreviewTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(QDir(dir.path()).mkpath("program"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("defs"));
        preview()->UseSoundService(sound);
        preview()->UseProgramFolder(path("program/"));
    }

    qel::ui::PreviewSection* preview() const { return frm->previewSection; }
    qel::ui::ImageSection* images() const { return frm->imageSection; }

    void writeBytes(const QString& name, const QByteArray& bytes) { writeFile(path("defs/" + name), bytes.toStdString()); }

    // Opens a definition in defs/ that lists `files` and the given images.
    void openListing(const QStringList& files, const std::string& images = "")
    {
        std::string text;
        for (const QString& name : files)
            text += "File=" + name.toStdString() + "\r\n";
        text += "[objectimages]\r\n" + images;
        writeFile(path("defs/d.ini"), text);
        open(path("defs/d.ini"));
    }

    void click(int row)
    {
        QListView* list = frm->fileSection->FileList;
        list->setCurrentIndex(list->model()->index(row, 0));
        emit frm->fileSection->FileListClicked();
    }

    bool shown(QWidget* widget) const { return widget->isVisibleTo(frm.get()); }
    QSize pictureSize() const { return preview()->Image->pixmap().size(); }
    QRgb pictureAt(int x, int y) const { return preview()->Image->pixmap().toImage().pixel(x, y); }

    void setImageEdits(const QString& file, const QString& x, const QString& y, const QString& time)
    {
        images()->eImageFile->setText(file);
        images()->eImageX->setText(x);
        images()->eImageY->setText(y);
        images()->eImageTime->setText(time);
    }

    FakeSoundService sound;
};

TEST_F(PreviewTest, ClickedFileShowsItsPictureOrSaysItIsMissing)
{
    const struct {
        const char* name;
        QByteArray bytes;  // none: the file is missing
        bool picture;
        QSize size;         // as drawn
        const char* label;  // the red label, when shown
        const char* error;  // the error box, when shown
    } cases[] = {
        {"wide.bmp", Encoded(Plain(306, 100), "BMP"), true, {153, 50}, nullptr, nullptr},
        {"small.png", Encoded(Plain(20, 20), "PNG"), true, {20, 20}, nullptr, nullptr},
        {"tall.jpg", Encoded(Plain(40, 400), "JPEG"), true, {15, 153}, nullptr, nullptr},
        {"photo.JPEG", Encoded(Plain(30, 10), "JPEG"), true, {30, 10}, nullptr, nullptr},
        {"dot.gif", Gif(), true, {1, 1}, nullptr, nullptr},
        {"pic.BM2", Encoded(Plain(12, 8), "BMP"), true, {12, 8}, nullptr, nullptr},
        {"gif.bm2", Gif(), true, {12, 8}, nullptr, "Bitmap image is not valid."},
        {"huge.bmp", BmpClaiming(60000, 60000), true, {12, 8}, nullptr, "Bitmap image is not valid."},
        {"ship.bmp", QByteArray(), false, {}, "Unable to find\nthe current image...", nullptr},
        {"gone.bm2", QByteArray(), false, {}, "Unable to find\nthe current image...", nullptr},
        {"art.png", QByteArray(), false, {}, nullptr, nullptr},
        {"notes.txt", QByteArray("text"), false, {}, nullptr, nullptr},
    };
    QStringList names;
    for (const auto& c : cases) {
        names << c.name;
        if (!c.bytes.isEmpty())
            writeBytes(c.name, c.bytes);
    }
    openListing(names);
    for (int row = 0; row < names.size(); ++row) {
        const auto& c = cases[row];
        SCOPED_TRACE(c.name);
        prompter.errors.clear();
        click(row);
        EXPECT_EQ(shown(preview()->Image), c.picture);
        if (c.picture) {
            EXPECT_EQ(pictureSize(), c.size);  // a failed load keeps the picture before
        }
        EXPECT_EQ(shown(preview()->PrevErrorLabel), c.label != nullptr);
        if (c.label) {
            EXPECT_EQ(preview()->PrevErrorLabel->text(), c.label);
        }
        EXPECT_FALSE(shown(preview()->Player));
        if (c.error)
            EXPECT_EQ(prompter.errors, std::vector<QString>({c.error}));
        else
            EXPECT_TRUE(prompter.errors.empty());
    }
    EXPECT_EQ(preview()->Image->alignment(), Qt::AlignCenter);
}

TEST_F(PreviewTest, SoundIsPlayedThroughACopyThatClosingRemoves)
{
    const struct {
        const char* name;
        bool device;
        bool undecodable;
        bool player;
        const char* label;
        const char* error;
    } cases[] = {
        {"jingle.wa2", true, false, true, nullptr, nullptr},
        {"quiet.wav", false, false, false, "No audio output device!", nullptr},
        {"broken.WAV", true, true, true, nullptr, "Sound file is not valid."},
    };
    const QString copy = path("program/prev.wav");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(copy);
        writeBytes(c.name, Wave() + c.name);
        openListing({c.name});
        sound.outputDevice = c.device;
        sound.calls.clear();
        if (c.undecodable)
            sound.undecodable = {copy};
        prompter.errors.clear();
        click(0);
        QCoreApplication::processEvents();  // the player answers on the event loop

        EXPECT_EQ(shown(preview()->Player), c.player);
        EXPECT_FALSE(shown(preview()->Image));
        EXPECT_EQ(shown(preview()->PrevErrorLabel), c.label != nullptr);
        if (c.label) {
            EXPECT_EQ(preview()->PrevErrorLabel->text(), c.label);
        }
        EXPECT_EQ(readFile(copy), c.device ? (Wave() + c.name).toStdString() : "<missing>");
        if (c.device) {
            EXPECT_EQ(sound.calls, QStringList({"close", "open " + copy}));
        }
        EXPECT_EQ(prompter.errors, c.error ? std::vector<QString>({c.error}) : std::vector<QString>());
    }

    // Play returns at once; a device gone since the click is said in the label.
    openListing({"jingle.wa2"});
    sound.outputDevice = true;
    sound.undecodable.clear();
    click(0);
    preview()->PlayButton->click();
    EXPECT_TRUE(sound.isPlaying());
    sound.outputDevice = false;
    preview()->PlayButton->click();
    EXPECT_EQ(preview()->PrevErrorLabel->text(), "No audio output device!");

    ASSERT_TRUE(QFile::exists(copy));
    frm->close();
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_EQ(sound.calls.back(), "close");
}

TEST_F(PreviewTest, AnimationShowsTheCellsRowByRowAtItsInterval)
{
    const struct {
        const char* file;
        const char* format;
    } pictures[] = {{"tiles.bmp", "BMP"}, {"tiles.bm2", "BMP"}, {"tiles.png", "PNG"}};
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.file);
        writeBytes(p.file, Encoded(Cells(4, 2), p.format));
        openListing({});
        setImageEdits(p.file, "4", "2", "100");
        images()->AniPreview->click();
        EXPECT_EQ(frm->AnimTimer->interval(), 125);
        EXPECT_TRUE(frm->AnimTimer->isActive());
        EXPECT_TRUE(preview()->AnimationRunning());
        EXPECT_EQ(pictureSize(), QSize(64, 32));
        EXPECT_EQ(pictureAt(0, 0), qRgb(0, 0, 77));
        const std::pair<int, int> order[] = {{1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {0, 0}, {1, 0}};
        for (const auto& [column, row] : order) {
            frm->AnimTimer->timeout({});
            EXPECT_EQ(pictureAt(0, 0), qRgb(column * 40, row * 90, 77)) << column << "," << row;
        }
        EXPECT_TRUE(prompter.errors.empty());
    }
    // A file-list click ends the animation; the ticks then show nothing new.
    openListing({"tiles.bmp"});
    click(0);
    EXPECT_FALSE(preview()->AnimationRunning());
}

TEST_F(PreviewTest, AnimationThatCannotStartSaysWhyAndLeavesTheRunningOne)
{
    const struct {
        const char* name;
        QStringList edits;  // file, x, y, time
        const char* label;
    } cases[] = {
        {"MissingFile", {"gone.bmp", "4", "2", "100"}, "File not found!"},
        {"NoFileName", {"", "4", "2", "100"}, "File not found!"},
        {"EmptyX", {"tiles.bmp", "", "2", "100"}, "X-Tiles not entered!"},
        {"AllEmptyLastWins", {"tiles.bmp", "", "", ""}, "AniTime not entered!"},
        {"ZeroTime", {"tiles.bmp", "4", "2", "0"}, "AniTime must be a whole number above 0!"},
        {"NegativeRows", {"tiles.bmp", "4", "-2", "100"}, "Y-Tiles must be a whole number above 0!"},
        {"NoNumber", {"tiles.bmp", "4x", "2", "100"}, "X-Tiles must be a whole number above 0!"},
    };
    writeBytes("tiles.bmp", Encoded(Cells(4, 2), "BMP"));
    openListing({});
    setImageEdits("tiles.bmp", "4", "2", "100");
    images()->AniPreview->click();
    frm->AnimTimer->timeout({});  // now at the third cell
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setImageEdits(c.edits[0], c.edits[1], c.edits[2], c.edits[3]);
        images()->AniPreview->click();
        EXPECT_FALSE(shown(preview()->Image));
        EXPECT_TRUE(shown(preview()->PrevErrorLabel));
        EXPECT_EQ(preview()->PrevErrorLabel->text(), c.label);
        EXPECT_EQ(frm->AnimTimer->interval(), 125);
        EXPECT_TRUE(preview()->AnimationRunning());
        EXPECT_EQ(preview()->FrameColumn(), 2);
        EXPECT_TRUE(prompter.errors.empty());
    }
}

TEST_F(PreviewTest, IntervalZeroStopsTheTimerAfterTheFirstCell)
{
    writeBytes("fine.png", Encoded(Cells(8, 8), "PNG"));
    openListing({});
    setImageEdits("fine.png", "8", "8", "6");
    images()->AniPreview->click();
    EXPECT_FALSE(frm->AnimTimer->isActive());
    EXPECT_EQ(pictureAt(0, 0), qRgb(0, 0, 77));
    setImageEdits("fine.png", "8", "8", "640");
    images()->AniPreview->click();
    EXPECT_TRUE(frm->AnimTimer->isActive());
    EXPECT_EQ(frm->AnimTimer->interval(), 100);
}

TEST_F(PreviewTest, ImageEditsHideARunningAnimationUntilItStartsAgain)
{
    writeBytes("a.bmp", Encoded(Cells(2, 1), "BMP"));
    writeBytes("b.bmp", Encoded(Cells(4, 1), "BMP"));
    openListing({}, "IMAGE0=a.bmp,2,1,20\r\nIMAGE1=b.bmp,4,1,40\r\n");
    const struct {
        const char* name;
        std::function<void()> act;
    } cases[] = {
        {"ChoosingAnotherImage", [&] { images()->ImageBox->setCurrentIndex(1); }},
        {"AddingAnImage", [&] { images()->AddImageClick(); }},
        {"ASpinClick", [&] { images()->ImageXUpDown->stepBy(qel::ui::UpDownButton::Direction::Up); }},
        {"DeletingAnsweredNo",
         [&] {
             prompter.confirmAnswers = {false};
             images()->DelImageClick();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        images()->ImageBox->setCurrentIndex(0);
        images()->AniPreview->click();
        ASSERT_TRUE(shown(preview()->Image));
        c.act();
        EXPECT_FALSE(shown(preview()->Image));
        EXPECT_TRUE(preview()->AnimationRunning());
    }
    images()->ImageBox->setCurrentIndex(1);
    images()->AniPreview->click();
    EXPECT_TRUE(shown(preview()->Image));
    EXPECT_EQ(frm->AnimTimer->interval(), 100);
    EXPECT_EQ(pictureSize(), QSize(64, 32));
    EXPECT_EQ(preview()->FrameColumn(), 1);
}

}  // namespace
