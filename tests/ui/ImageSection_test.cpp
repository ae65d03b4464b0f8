// The image definitions in the window: the edits and spin buttons, deleting
// an image with its two questions, ObjectImageBox following ImageBox, and the
// controls following undo and redo.
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "core/DefinitionWriter.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/ImageSection.h"
#include "ui/ObjectListModel.h"
#include "ui/ObjectsSection.h"
#include "ui/UpDownButton.h"

namespace {

using Direction = qel::ui::UpDownButton::Direction;

class ImageSectionTest : public MainWindowTest {
protected:
    qel::ui::ImageSection* images() const { return section<qel::ui::ImageSection>(); }
    QComboBox* box() const { return find<QComboBox>("ImageBox"); }
    QStringList edits() const
    {
        return {find<QLineEdit>("eImageFile")->text(), find<QLineEdit>("eImageX")->text(),
                find<QLineEdit>("eImageY")->text(), find<QLineEdit>("eImageTime")->text()};
    }
    void openThreeImages()
    {
        writeFile(path("d.ini"),
                  "[objectimages]\nIMAGE0=a.bmp,1,1,10\nIMAGE1=b.bmp,2,2,20\nIMAGE2=c.bmp,3,3,30\n"
                  "[mapobjects]\n1,1,IMAGE0\n2,2,IMAGE1\n3,3,IMAGE2\n"
                  "[screenobjects]\nC-1,1,IMAGE1\nC-2,2,IMAGE2\n");
        open(path("d.ini"));
    }
};

// Other windows choose an image through the section, as choosing its item does.
TEST_F(ImageSectionTest, SelectingAnImageShowsItAsChoosingItsItemDoes)
{
    openThreeImages();
    const struct {
        std::size_t position;
        int chosen;
        QStringList edits;
    } cases[] = {
        {1, 1, {"b.bmp", "2", "2", "20"}},
        {2, 2, {"c.bmp", "3", "3", "30"}},
        {3, 2, {"c.bmp", "3", "3", "30"}},  // no such image: nothing changes
    };
    for (const auto& c : cases) {
        images()->selectImage(c.position);
        EXPECT_EQ(box()->currentIndex(), c.chosen) << c.position;
        EXPECT_EQ(edits(), c.edits) << c.position;
    }
}

TEST_F(ImageSectionTest, EditsAndSpinsStoreWhatTheyShow)
{
    enum Action { Type, Erase, Up, Down };
    const struct {
        const char* name;
        QLineEdit* edit;
        std::int32_t qel::ObjectImage::*field;
        const char* before;
        Action action;
        const char* typed;
        std::int32_t stored;
        const char* shown;
        const char* error;
    } cases[] = {
        {"TypedStoresAtOnce", find<QLineEdit>("eImageX"), &qel::ObjectImage::xTiles, "", Type, "4", 4, "4", nullptr},
        {"ErasedIsNotGiven", find<QLineEdit>("eImageX"), &qel::ObjectImage::xTiles, "4", Erase, "", -1, "", nullptr},
        {"NoNumberKeepsTheValue", find<QLineEdit>("eImageY"), &qel::ObjectImage::yTiles, "7", Type, "a", 7, "7a",
         "'7a' is not a valid integer value."},
        {"TypedPastTheSpinRange", find<QLineEdit>("eImageTime"), &qel::ObjectImage::aniTime, "", Type, "40000", 40000,
         "40000", nullptr},
        {"TimeStepsByTen", find<QLineEdit>("eImageTime"), &qel::ObjectImage::aniTime, "90", Up, "", 100, "100",
         nullptr},
        {"DownAtZeroStaysZero", find<QLineEdit>("eImageX"), &qel::ObjectImage::xTiles, "0", Down, "", 0, "0", nullptr},
        {"UpAtTheTopStaysThere", find<QLineEdit>("eImageY"), &qel::ObjectImage::yTiles, "32000", Up, "", 32000, "32000",
         nullptr},
    };
    images()->AddImageClick();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.errors.clear();
        c.edit->setText(c.before);
        QTest::keyClick(c.edit, Qt::Key_End);  // a key release stores the text set
        if (c.action == Type)
            QTest::keyClicks(c.edit, c.typed);
        if (c.action == Erase) {
            c.edit->selectAll();
            QTest::keyClick(c.edit, Qt::Key_Backspace);
        }
        if (c.action == Up || c.action == Down)
            QTest::keyClick(c.edit, c.action == Up ? Qt::Key_Up : Qt::Key_Down);
        EXPECT_EQ(frm->document().images()[0].*c.field, c.stored);
        EXPECT_EQ(c.edit->text(), c.shown);
        EXPECT_EQ(prompter.errors, c.error ? std::vector<QString>({c.error}) : std::vector<QString>());
    }
}

TEST_F(ImageSectionTest, DeletingAnImageAsksTwiceAndRenumbers)
{
    const struct {
        const char* name;
        std::deque<bool> answers;
        QStringList items;
        const char* secondFile;  // image 1's file afterwards
        QStringList map, screen;
        int objectImageChosen;  // replacing the items leaves none chosen
    } cases[] = {
        {"YesYes", {true, true}, {"IMAGE0", "IMAGE1"}, "c.bmp", {"1,1,IMAGE0", "3,3,IMAGE1"}, {"C-2,2,IMAGE1"}, -1},
        {"YesNo",
         {true, false},
         {"IMAGE0", "IMAGE1"},
         "c.bmp",
         {"1,1,IMAGE0", "2,2,IMAGE1", "3,3,IMAGE2"},
         {"C-1,1,IMAGE1", "C-2,2,IMAGE2"},
         -1},
        {"No",
         {false},
         {"IMAGE0", "IMAGE1", "IMAGE2"},
         "b.bmp",
         {"1,1,IMAGE0", "2,2,IMAGE1", "3,3,IMAGE2"},
         {"C-1,1,IMAGE1", "C-2,2,IMAGE2"},
         2},
    };
    auto* objectImages = find<QComboBox>("ObjectImageBox");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        openThreeImages();
        frm->TimerTimer();
        objectImages->setCurrentIndex(2);
        const std::string before = qel::ComposeDefinition(frm->document());
        box()->setCurrentIndex(1);
        prompter.confirmations.clear();
        prompter.confirmAnswers = c.answers;

        find<QToolButton>("DelImage")->click();

        std::vector<QString> asked = {"Delete 'IMAGE1'?", "Apply Changes to the Objects?"};
        asked.resize(c.answers.size());
        EXPECT_EQ(prompter.confirmations, asked);
        EXPECT_EQ(itemsOf(box()), c.items);
        EXPECT_EQ(itemsOf(objectImages), c.items);  // at once, not at the next refresh
        EXPECT_EQ(objectImages->currentIndex(), c.objectImageChosen);
        EXPECT_EQ(objectImages->currentText(), "IMAGE2");
        EXPECT_EQ(frm->document().images()[1].file, c.secondFile);
        EXPECT_EQ(rowsOf(frm->mapObjectModel()), c.map);
        EXPECT_EQ(rowsOf(frm->screenObjectModel()), c.screen);
        EXPECT_EQ(box()->currentIndex(), 0);
        EXPECT_EQ(edits(), QStringList({"a.bmp", "1", "1", "10"}));

        frm->UndoExecute();
        EXPECT_EQ(qel::ComposeDefinition(frm->document()), before);
        EXPECT_EQ(itemsOf(box()), QStringList({"IMAGE0", "IMAGE1", "IMAGE2"}));
        EXPECT_TRUE(prompter.errors.empty());
    }
}

TEST_F(ImageSectionTest, DeletingTheOnlyImageShowsNoImage)
{
    images()->AddImageClick();
    QTest::keyClicks(find<QLineEdit>("eImageFile"), "x.bmp");
    prompter.confirmAnswers = {true, true};
    images()->DelImageClick();
    EXPECT_EQ(box()->count(), 0);
    EXPECT_EQ(box()->currentIndex(), -1);
    EXPECT_EQ(box()->currentText(), "IMAGE#");
    EXPECT_EQ(edits(), QStringList({"", "0", "0", "0"}));
}

TEST_F(ImageSectionTest, RefreshGivesObjectImageBoxTheNewItemsAndEnablesTheFilmButton)
{
    auto* objectImages = find<QComboBox>("ObjectImageBox");
    images()->AddImageClick();
    EXPECT_EQ(box()->currentText(), "IMAGE0");
    EXPECT_EQ(edits(), QStringList({"", "", "", ""}));
    EXPECT_EQ(objectImages->count(), 0);
    frm->TimerTimer();
    EXPECT_EQ(itemsOf(objectImages), QStringList({"IMAGE0"}));
    EXPECT_EQ(objectImages->currentIndex(), -1);
    EXPECT_EQ(objectImages->currentText(), "IMAGE#");
    EXPECT_FALSE(find<QToolButton>("AniPreview")->isEnabled());
    find<QLineEdit>("eImageFile")->setText("a.bmp");
    find<QLineEdit>("eImageX")->setText("4");
    find<QLineEdit>("eImageY")->setText("2");
    find<QLineEdit>("eImageTime")->setText("1");
    frm->TimerTimer();
    EXPECT_TRUE(find<QToolButton>("AniPreview")->isEnabled());
}

TEST_F(ImageSectionTest, TypedTextOfNoItemChoosesNoImage)
{
    openThreeImages();
    box()->setCurrentIndex(2);
    box()->lineEdit()->selectAll();
    QTest::keyClicks(box()->lineEdit(), "image1");
    EXPECT_EQ(box()->currentIndex(), 1);
    EXPECT_EQ(edits(), QStringList({"b.bmp", "2", "2", "20"}));
    QTest::keyClicks(box()->lineEdit(), "x");
    EXPECT_EQ(box()->currentIndex(), -1);
    EXPECT_EQ(box()->currentText(), "image1x");
    QTest::keyClicks(find<QLineEdit>("eImageX"), "9");  // no image: nothing stored
    EXPECT_FALSE(frm->session().modified());
}

TEST_F(ImageSectionTest, EditsFollowUndoAndRedo)
{
    openThreeImages();
    box()->setCurrentIndex(1);
    QTest::keyClicks(find<QLineEdit>("eImageX"), "5");  // "25"
    QTest::keyClicks(find<QLineEdit>("eImageY"), "a");  // refused: "2a" stays
    frm->UndoExecute();
    EXPECT_EQ(edits(), QStringList({"b.bmp", "2", "2a", "20"}));
    frm->RedoExecute();
    EXPECT_EQ(edits(), QStringList({"b.bmp", "25", "2a", "20"}));
    images()->AddImageClick();
    frm->UndoExecute();  // the chosen image goes: the last one is shown
    EXPECT_EQ(box()->currentIndex(), 2);
    EXPECT_EQ(edits(), QStringList({"c.bmp", "3", "3", "30"}));
}

TEST_F(ImageSectionTest, ObjectImageBoxFollowsUndoAndRedoThatKeepTheCount)
{
    // Each case ends with as many items as the refresh before it saw, so
    // only the replay itself can hand over the new keys.
    const struct {
        const char* name;
        int undos, redos;
        QStringList items;
    } cases[] = {
        {"UndoDeleteAndAdd", 2, 0, {"IMAGE0", "IMAGE5"}},
        {"RedoBoth", 2, 2, {"IMAGE5", "IMAGE0"}},
    };
    auto* objectImages = find<QComboBox>("ObjectImageBox");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(path("d.ini"), "[objectimages]\nIMAGE0=a.bmp,1,1,10\nIMAGE5=b.bmp,2,2,20\n");
        open(path("d.ini"));
        box()->setCurrentIndex(0);
        prompter.confirmAnswers = {true, false};
        images()->DelImageClick();
        images()->AddImageClick();
        frm->TimerTimer();
        ASSERT_EQ(itemsOf(objectImages), QStringList({"IMAGE5", "IMAGE0"}));
        for (int i = 0; i < c.undos; ++i) {
            frm->UndoExecute();
            if (c.redos > 0)
                frm->TimerTimer();  // one undo at a time changes the count
        }
        for (int i = 0; i < c.redos; ++i)
            frm->RedoExecute();
        EXPECT_EQ(itemsOf(box()), c.items);
        EXPECT_EQ(itemsOf(objectImages), c.items);
    }
}

TEST_F(ImageSectionTest, DeletingIntoTheObjectsTakesTheirViewAlong)
{
    using qel::app::RowSelection;
    using qel::app::ViewState;
    openThreeImages();
    const ViewState before{qel::ObjectKind::Screen, RowSelection::ofRows({0, 2}, 2), RowSelection::ofRows({1}, 1)};
    const ViewState regenerated{qel::ObjectKind::Screen, {}, {}};
    section<qel::ui::ObjectsSection>()->ShowViewState(before);
    box()->setCurrentIndex(1);
    prompter.confirmAnswers = {true, true};
    const struct {
        const char* name;
        std::function<void()> act;
        ViewState shown;
    } steps[] = {
        {"Delete", [&] { images()->DelImageClick(); }, regenerated},
        {"Undo", [&] { frm->UndoExecute(); }, before},
        {"Redo", [&] { frm->RedoExecute(); }, regenerated},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        const ViewState shown = section<qel::ui::ObjectsSection>()->CurrentViewState();
        EXPECT_EQ(shown.shown, step.shown.shown);
        EXPECT_EQ(shown.map.rows(), step.shown.map.rows());
        EXPECT_EQ(shown.map.current, step.shown.map.current);
        EXPECT_EQ(shown.screen.rows(), step.shown.screen.rows());
        EXPECT_EQ(shown.screen.current, step.shown.screen.current);
    }
}

}  // namespace
