// The image definitions in the window: the edits and spin buttons, deleting
// an image with its two questions, ObjectImageBox following ImageBox, the
// film button's enabling, and the controls following undo and redo.
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolButton>

#include "DefinitionWriter.h"
#include "ImageSection.h"
#include "MainWindowFixture.h"
#include "ObjectsSection.h"
#include "UpDownButton.h"

namespace {

using qel::ui::UpDownButton;

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

QStringList rows(const QListView* list)
{
    QStringList texts;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        texts << list->model()->index(i, 0).data().toString();
    return texts;
}

class ImageSectionTest : public MainWindowTest {
protected:
    qel::ui::ImageSection* images() const { return frm->imageSection; }
    QStringList edits() const
    {
        return {images()->eImageFile->text(), images()->eImageX->text(), images()->eImageY->text(),
                images()->eImageTime->text()};
    }
    void openThreeImages()
    {
        writeFile(path("d.ini"), "[objectimages]\nIMAGE0=a.bmp,1,1,10\nIMAGE1=b.bmp,2,2,20\nIMAGE2=c.bmp,3,3,30\n"
                                 "[mapobjects]\n1,1,IMAGE0\n2,2,IMAGE1\n3,3,IMAGE2\n"
                                 "[screenobjects]\nC-1,1,IMAGE1\nC-2,2,IMAGE2\n");
        open(path("d.ini"));
    }
    std::string written() const { return qel::ComposeDefinition(frm->document()); }
};

TEST_F(ImageSectionTest, EditsAndSpinsStoreWhatTheyShow)
{
    enum Action { Type, Erase, SpinUp, SpinDown };
    const struct {
        const char* name;
        const char* edit;
        const char* before;
        Action action;
        const char* typed;
        std::int32_t stored;  // in the edit's field
        const char* shown;
        const char* error;
    } cases[] = {
        {"TypedNumberStoresAtOnce", "eImageX", "", Type, "4", 4, "4", nullptr},
        {"ErasedNumberIsNotGiven", "eImageX", "4", Erase, "", -1, "", nullptr},
        {"NoNumberKeepsTheValue", "eImageY", "7", Type, "a", 7, "7a", "'7a' is not a valid integer value."},
        {"AboveTheSpinRangeIsTyped", "eImageTime", "", Type, "40000", 40000, "40000", nullptr},
        {"TimeStepsByTen", "eImageTime", "90", SpinUp, "", 100, "100", nullptr},
        {"DownAtZeroStaysZero", "eImageX", "0", SpinDown, "", 0, "0", nullptr},
        {"UpAtTheMaximumStaysThere", "eImageY", "32000", SpinUp, "", 32000, "32000", nullptr},
    };
    images()->AddImageClick();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.errors.clear();
        auto* edit = find<QLineEdit>(c.edit);
        edit->setFocus();
        edit->setText(QString::fromLatin1(c.before));
        QTest::keyClick(edit, Qt::Key_End);  // stores the text set above
        switch (c.action) {
        case Type:
            QTest::keyClicks(edit, QString::fromLatin1(c.typed));
            break;
        case Erase:
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
            break;
        case SpinUp:
        case SpinDown:
            edit->parentWidget()
                ->findChild<UpDownButton*>(QString::fromLatin1(c.edit).mid(1) + "UpDown")
                ->stepBy(c.action == SpinUp ? UpDownButton::Direction::Up : UpDownButton::Direction::Down);
            break;
        }
        const qel::ObjectImage& image = frm->document().images()[0];
        const std::string field = c.edit;
        const std::int32_t stored = field == "eImageX" ? image.xTiles : field == "eImageY" ? image.yTiles : image.aniTime;
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(edit->text(), c.shown);
        if (c.error)
            EXPECT_EQ(prompter.errors.back(), c.error);
        else
            EXPECT_TRUE(prompter.errors.empty());
    }
}

TEST_F(ImageSectionTest, DeletingAnImageAsksTwiceAndRenumbers)
{
    const struct {
        const char* name;
        std::vector<bool> answers;
        QStringList items;
        const char* secondFile;  // the file image 1 has afterwards
        QStringList map;
        QStringList screen;
        int selected;
        QStringList edits;
        int objectImageChosen;  // a delete leaves none chosen there
    } cases[] = {
        {"YesYes", {true, true}, {"IMAGE0", "IMAGE1"}, "c.bmp",
         {"1,1,IMAGE0", "3,3,IMAGE1"}, {"C-2,2,IMAGE1"}, 0, {"a.bmp", "1", "1", "10"}, -1},
        {"YesNo", {true, false}, {"IMAGE0", "IMAGE1"}, "c.bmp", {"1,1,IMAGE0", "2,2,IMAGE1", "3,3,IMAGE2"},
         {"C-1,1,IMAGE1", "C-2,2,IMAGE2"}, 0, {"a.bmp", "1", "1", "10"}, -1},
        {"No", {false}, {"IMAGE0", "IMAGE1", "IMAGE2"}, "b.bmp", {"1,1,IMAGE0", "2,2,IMAGE1", "3,3,IMAGE2"},
         {"C-1,1,IMAGE1", "C-2,2,IMAGE2"}, 0, {"a.bmp", "1", "1", "10"}, 2},
    };
    auto* objectImages = frm->objectsSection->ObjectImageBox;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        openThreeImages();
        frm->TimerTimer();
        objectImages->setCurrentIndex(2);
        const std::string before = written();
        images()->ImageBox->setCurrentIndex(1);
        prompter.confirmations.clear();
        prompter.confirmAnswers.assign(c.answers.begin(), c.answers.end());

        find<QToolButton>("DelImage")->click();

        std::vector<QString> asked = {"Delete 'IMAGE1'?", "Apply Changes to the Objects?"};
        asked.resize(c.answers.size());
        EXPECT_EQ(prompter.confirmations, asked);
        EXPECT_EQ(items(images()->ImageBox), c.items);
        EXPECT_EQ(items(objectImages), c.items);  // at once, not at the next refresh
        EXPECT_EQ(frm->document().images()[1].file, c.secondFile);
        EXPECT_EQ(rows(find<QListView>("MapObjectList")), c.map);
        EXPECT_EQ(rows(find<QListView>("ScreenObjectList")), c.screen);
        EXPECT_EQ(images()->ImageBox->currentIndex(), c.selected);
        EXPECT_EQ(edits(), c.edits);
        EXPECT_EQ(objectImages->currentIndex(), c.objectImageChosen);
        EXPECT_EQ(objectImages->currentText(), "IMAGE2");

        // Undo puts back the images and the object lines, renumbered or not.
        frm->UndoExecute();
        EXPECT_EQ(written(), before);
        EXPECT_EQ(items(images()->ImageBox), QStringList({"IMAGE0", "IMAGE1", "IMAGE2"}));
        frm->TimerTimer();
        EXPECT_EQ(items(objectImages), QStringList({"IMAGE0", "IMAGE1", "IMAGE2"}));
        EXPECT_TRUE(prompter.errors.empty());
    }
}

TEST_F(ImageSectionTest, DeletingTheOnlyImageShowsNoImage)
{
    images()->AddImageClick();
    images()->eImageFile->setText("x.bmp");
    prompter.confirmAnswers = {true, true};
    images()->DelImageClick();
    EXPECT_EQ(images()->ImageBox->count(), 0);
    EXPECT_EQ(images()->ImageBox->currentIndex(), -1);
    EXPECT_EQ(images()->ImageBox->currentText(), "IMAGE#");
    EXPECT_EQ(edits(), QStringList({"", "0", "0", "0"}));
}

TEST_F(ImageSectionTest, ObjectImageBoxTakesNewItemsAtTheNextRefreshKeepingItsText)
{
    auto* objectImages = frm->objectsSection->ObjectImageBox;
    images()->AddImageClick();
    EXPECT_EQ(images()->ImageBox->currentText(), "IMAGE0");
    EXPECT_EQ(edits(), QStringList({"", "", "", ""}));
    EXPECT_EQ(objectImages->count(), 0);
    frm->TimerTimer();
    EXPECT_EQ(items(objectImages), QStringList({"IMAGE0"}));
    EXPECT_EQ(objectImages->currentIndex(), -1);
    EXPECT_EQ(objectImages->currentText(), "IMAGE#");
}

TEST_F(ImageSectionTest, FilmButtonNeedsAFileAndThreeCountsAboveZero)
{
    const struct {
        const char* name;
        QStringList edits;  // file, x, y, time
        bool enabled;
    } cases[] = {
        {"AllGiven", {"a.bmp", "4", "2", "1"}, true},
        {"NoFile", {"", "4", "2", "100"}, false},
        {"EmptyTime", {"a.bmp", "4", "2", ""}, false},
        {"ZeroTime", {"a.bmp", "4", "2", "0"}, false},
        {"TimeNoNumber", {"a.bmp", "4", "2", "1x"}, false},
        {"NegativeColumns", {"a.bmp", "-4", "2", "100"}, false},
    };
    auto* film = find<QToolButton>("AniPreview");
    for (const auto& c : cases) {
        images()->eImageFile->setText(c.edits[0]);
        images()->eImageX->setText(c.edits[1]);
        images()->eImageY->setText(c.edits[2]);
        images()->eImageTime->setText(c.edits[3]);
        frm->TimerTimer();
        EXPECT_EQ(film->isEnabled(), c.enabled) << c.name;
    }
}

TEST_F(ImageSectionTest, TypedTextOfNoItemChoosesNoImage)
{
    openThreeImages();
    images()->ImageBox->setCurrentIndex(2);
    QLineEdit* boxEdit = images()->ImageBox->lineEdit();
    boxEdit->selectAll();
    QTest::keyClicks(boxEdit, "image1");
    EXPECT_EQ(images()->ImageBox->currentIndex(), 1);
    EXPECT_EQ(images()->ImageBox->currentText(), "image1");
    EXPECT_EQ(edits(), QStringList({"b.bmp", "2", "2", "20"}));
    QTest::keyClicks(boxEdit, "x");
    EXPECT_EQ(images()->ImageBox->currentIndex(), -1);
    EXPECT_EQ(images()->ImageBox->currentText(), "image1x");
    // With no image chosen, a key in an edit stores nothing.
    QTest::keyClicks(images()->eImageX, "9");
    EXPECT_FALSE(frm->session().modified());
}

TEST_F(ImageSectionTest, EditsFollowUndoAndRedoOfTheirSteps)
{
    openThreeImages();
    images()->ImageBox->setCurrentIndex(1);
    QTest::keyClicks(images()->eImageX, "5");  // "25"
    QTest::keyClicks(images()->eImageY, "a");  // refused: "2a" stays shown
    prompter.errors.clear();
    frm->UndoExecute();
    EXPECT_EQ(edits(), QStringList({"b.bmp", "2", "2a", "20"}));
    frm->RedoExecute();
    EXPECT_EQ(edits(), QStringList({"b.bmp", "25", "2a", "20"}));

    images()->AddImageClick();
    EXPECT_EQ(images()->ImageBox->currentIndex(), 3);
    frm->UndoExecute();  // the chosen image goes: the last one is shown
    EXPECT_EQ(images()->ImageBox->currentIndex(), 2);
    EXPECT_EQ(edits(), QStringList({"c.bmp", "3", "3", "30"}));
}

}  // namespace
