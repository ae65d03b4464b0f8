// The preview area: a clicked file's picture or sound, the tile animation
// and its messages, and the sound copy's removal at closing. The pictures
// and sounds are made here; the sound service is a fake (no device in CI).
#include <QBuffer>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QTimer>
#include <QToolButton>

#include "tests/fakes/FakeSoundService.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/FileSection.h"
#include "ui/ImageSection.h"
#include "ui/PreviewSection.h"
#include "ui/UpDownButton.h"

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

// Each cell of a columns x rows grid of 64 x 32 cells in its own colour.
QImage Cells(int columns, int rows)
{
    QImage image(columns * 64, rows * 32, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            painter.fillRect(c * 64, r * 32, 64, 32, QColor(c * 40, r * 90, 77));
    return image;
}

QByteArray Picture(int width, int height, const char* format)
{
    return Encoded(Cells(1, 1).scaled(width, height), format);
}

// Qt writes no GIF: one white pixel, written out by hand.
const QByteArray kGif = QByteArray::fromHex("47494638396101000100800000ffffff0000002c00000000010001000002024401003b");
// A wave file's headers (8 kHz, 8 bits, mono) and 16 samples.
const QByteArray kWave = QByteArray::fromHex(
                             "524946463400000057415645666d74201000000001000100401f0000401f0000010008"
                             "006461746110000000")
                         + QByteArray(16, '\x80');

class PreviewTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath("program"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("defs"));
        services.sound = &sound;
        services.soundCopyFolder = path("program/");
        MainWindowTest::SetUp();
    }

    qel::ui::PreviewSection* preview() const { return section<qel::ui::PreviewSection>(); }
    qel::ui::ImageSection* images() const { return section<qel::ui::ImageSection>(); }

    void writeBytes(const QString& name, const QByteArray& bytes)
    {
        writeFile(path("defs/" + name), bytes.toStdString());
    }

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

    // As a click on the entry does (the section's own way to make one current).
    void click(int row) { section<qel::ui::FileSection>()->selectFile(static_cast<std::size_t>(row)); }

    bool shown(QWidget* widget) const { return widget->isVisibleTo(frm.get()); }
    // The red label's text, or nothing while it is hidden.
    QString label() const
    {
        return shown(find<QLabel>("PrevErrorLabel")) ? find<QLabel>("PrevErrorLabel")->text() : "";
    }
    QSize pictureSize() const { return find<QLabel>("Image")->pixmap().size(); }
    QRgb pictureAt(int x, int y) const { return find<QLabel>("Image")->pixmap().toImage().pixel(x, y); }

    void setImageEdits(const QString& file, const QString& x, const QString& y, const QString& time)
    {
        find<QLineEdit>("eImageFile")->setText(file);
        find<QLineEdit>("eImageX")->setText(x);
        find<QLineEdit>("eImageY")->setText(y);
        find<QLineEdit>("eImageTime")->setText(time);
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
        const char* label;  // the red label ("": hidden)
        const char* error;  // the error box, when shown
    } cases[] = {
        {"wide.bmp", Picture(306, 100, "BMP"), true, {153, 50}, nullptr, nullptr},
        {"small.png", Picture(20, 20, "PNG"), true, {20, 20}, nullptr, nullptr},
        {"tall.jpg", Picture(40, 400, "JPEG"), true, {15, 153}, nullptr, nullptr},
        {"dot.gif", kGif, true, {1, 1}, nullptr, nullptr},
        {"pic.BM2", Picture(12, 8, "BMP"), true, {12, 8}, nullptr, nullptr},
        {"gif.bm2", kGif, true, {12, 8}, nullptr, "Bitmap image is not valid."},
        {"ship.bmp", QByteArray(), false, {}, "Unable to find\nthe current image...", nullptr},
        {"art.png", QByteArray(), false, {}, "", nullptr},
        {"notes.txt", QByteArray("text"), false, {}, "", nullptr},
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
        EXPECT_EQ(shown(find<QLabel>("Image")), c.picture);
        if (c.picture) {
            EXPECT_EQ(pictureSize(), c.size);  // a failed load keeps the picture before
        }
        EXPECT_EQ(label(), c.label);
        EXPECT_FALSE(shown(find<QWidget>("Player")));
        EXPECT_EQ(prompter.errors, c.error ? std::vector<QString>({c.error}) : std::vector<QString>());
    }
    EXPECT_EQ(find<QLabel>("Image")->alignment(), Qt::AlignCenter);
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
        {"jingle.wa2", true, false, true, "", nullptr},
        {"quiet.wav", false, false, false, "No audio output device!", nullptr},
        {"broken.WAV", true, true, true, "", "Sound file is not valid."},
    };
    const QString copy = path("program/prev.wav");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(copy);
        writeBytes(c.name, kWave + c.name);
        openListing({c.name});
        sound.outputDevice = c.device;
        sound.calls.clear();
        if (c.undecodable)
            sound.undecodable = {copy};
        prompter.errors.clear();
        click(0);
        QCoreApplication::processEvents();  // the player answers on the event loop

        EXPECT_EQ(shown(find<QWidget>("Player")), c.player);
        EXPECT_FALSE(shown(find<QLabel>("Image")));
        EXPECT_EQ(label(), c.label);
        EXPECT_EQ(readFile(copy), c.device ? (kWave + c.name).toStdString() : "<missing>");
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
    find<QToolButton>("PlayButton")->click();
    EXPECT_TRUE(sound.isPlaying());
    sound.outputDevice = false;
    find<QToolButton>("PlayButton")->click();
    EXPECT_EQ(find<QLabel>("PrevErrorLabel")->text(), "No audio output device!");

    ASSERT_TRUE(QFile::exists(copy));
    frm->close();
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_EQ(sound.calls.back(), "close");
}

TEST_F(PreviewTest, AnimationShowsTheCellsRowByRowAtItsInterval)
{
    for (const char* file : {"tiles.bmp", "tiles.bm2"}) {
        SCOPED_TRACE(file);
        writeBytes(file, Encoded(Cells(4, 2), "BMP"));
        openListing({});
        setImageEdits(file, "4", "2", "100");
        find<QToolButton>("AniPreview")->click();
        EXPECT_EQ(find<QTimer>("AnimTimer")->interval(), 125);
        EXPECT_TRUE(find<QTimer>("AnimTimer")->isActive());
        EXPECT_TRUE(preview()->AnimationRunning());
        EXPECT_EQ(pictureSize(), QSize(64, 32));
        EXPECT_EQ(pictureAt(0, 0), qRgb(0, 0, 77));
        const std::pair<int, int> order[] = {{1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {0, 0}, {1, 0}};
        for (const auto& [column, row] : order) {
            find<QTimer>("AnimTimer")->timeout({});
            EXPECT_EQ(pictureAt(0, 0), qRgb(column * 40, row * 90, 77)) << column << "," << row;
        }
        EXPECT_TRUE(prompter.errors.empty());
    }
    // An interval of 0 stops the timer at the first cell.
    writeBytes("fine.png", Encoded(Cells(8, 8), "PNG"));
    setImageEdits("fine.png", "8", "8", "6");
    find<QToolButton>("AniPreview")->click();
    EXPECT_FALSE(find<QTimer>("AnimTimer")->isActive());
    EXPECT_EQ(pictureAt(0, 0), qRgb(0, 0, 77));
    // A file-list click ends the animation.
    openListing({"fine.png"});
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
        {"EmptyX", {"tiles.bmp", "", "2", "100"}, "X-Tiles not entered!"},
        {"AllEmptyLastWins", {"tiles.bmp", "", "", ""}, "AniTime not entered!"},
        {"ZeroTime", {"tiles.bmp", "4", "2", "0"}, "AniTime must be a whole number above 0!"},
        {"NoNumber", {"tiles.bmp", "4x", "2", "100"}, "X-Tiles must be a whole number above 0!"},
    };
    writeBytes("tiles.bmp", Encoded(Cells(4, 2), "BMP"));
    openListing({});
    setImageEdits("tiles.bmp", "4", "2", "100");
    find<QToolButton>("AniPreview")->click();
    find<QTimer>("AnimTimer")->timeout({});  // now at the third cell
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setImageEdits(c.edits[0], c.edits[1], c.edits[2], c.edits[3]);
        find<QToolButton>("AniPreview")->click();
        EXPECT_FALSE(shown(find<QLabel>("Image")));
        EXPECT_EQ(label(), c.label);
        EXPECT_EQ(find<QTimer>("AnimTimer")->interval(), 125);
        EXPECT_TRUE(preview()->AnimationRunning());
        EXPECT_EQ(preview()->FrameColumn(), 2);
        EXPECT_TRUE(prompter.errors.empty());
    }
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
        {"ChoosingAnotherImage", [&] { find<QComboBox>("ImageBox")->setCurrentIndex(1); }},
        {"AddingAnImage", [&] { images()->AddImageClick(); }},
        {"ASpinClick",
         [&] { find<qel::ui::UpDownButton>("ImageXUpDown")->stepBy(qel::ui::UpDownButton::Direction::Up); }},
        {"DeletingAnsweredNo", [&] { prompter.confirmAnswers = {false}, images()->DelImageClick(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        find<QComboBox>("ImageBox")->setCurrentIndex(0);
        find<QToolButton>("AniPreview")->click();
        ASSERT_TRUE(shown(find<QLabel>("Image")));
        c.act();
        EXPECT_FALSE(shown(find<QLabel>("Image")));
        EXPECT_TRUE(preview()->AnimationRunning());
    }
    find<QComboBox>("ImageBox")->setCurrentIndex(1);
    find<QToolButton>("AniPreview")->click();
    EXPECT_TRUE(shown(find<QLabel>("Image")));
    EXPECT_EQ(find<QTimer>("AnimTimer")->interval(), 100);
    EXPECT_EQ(pictureSize(), QSize(64, 32));
    EXPECT_EQ(preview()->FrameColumn(), 1);
}

TEST_F(PreviewTest, AnimationCutsEachCellOnceUntilItStartsAgain)
{
    const struct {
        const char* name;
        bool restart;  // with the picture's columns swapped in the file
        bool sameCell;
        QRgb colour;
    } cases[] = {
        {"ACycleShowsTheKeptCell", false, true, qRgb(0, 0, 77)},
        {"ARestartCutsTheNewPicture", true, false, qRgb(40, 0, 77)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes("tiles.bmp", Encoded(Cells(2, 1), "BMP"));
        openListing({});
        setImageEdits("tiles.bmp", "2", "1", "20");
        find<QToolButton>("AniPreview")->click();
        const qint64 first = find<QLabel>("Image")->pixmap().cacheKey();
        find<QTimer>("AnimTimer")->timeout({});
        find<QTimer>("AnimTimer")->timeout({});  // back at the first cell
        if (c.restart) {
            writeBytes("tiles.bmp", Encoded(Cells(2, 1).mirrored(true, false), "BMP"));
            find<QToolButton>("AniPreview")->click();
        }
        EXPECT_EQ(find<QLabel>("Image")->pixmap().cacheKey() == first, c.sameCell);
        EXPECT_EQ(pictureAt(0, 0), c.colour);
    }
}

}  // namespace
