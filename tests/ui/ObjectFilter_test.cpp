// The filter box over the map list and Change Selected Objects, driven as a
// user would: what is shown, counted, selected and deleted while a filter
// keeps some rows, and the change step with its undo.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "tests/ui/MainWindowFixture.h"
#include "ui/ObjectsSection.h"
#include "ui/TChangeFrm.h"

using qel::ObjectKind;

namespace {

class ObjectFilterTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        writeFile(path("d.ini"),
                  "[objectimages]\r\nIMAGE1=p1.bmp\r\nIMAGE2=p2.bmp\r\n[mapobjects]\r\n"
                  "100,0,IMAGE1\r\n99,0,IMAGE2\r\n200,0,IMAGE1\r\n201,0,IMAGE1\r\n150,0,IMAGE2\r\n");
        open(path("d.ini"));
        frm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frm.get()));
        list = find<QAbstractItemView>("MapObjectList");
        box = list->findChild<QLineEdit*>("ObjectFilter");
        count = list->findChild<QLabel*>("ObjectFilterCount");
        ASSERT_TRUE(box && count);
    }

    // Ctrl+A in the list, then the rows selected.
    std::vector<int> selectAll()
    {
        list->setFocus();
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        std::vector<int> rows;
        for (const QModelIndex& index : list->selectionModel()->selectedIndexes())
            rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    std::string line(std::size_t row) const { return std::string(frm->document().mapObjects().line(row)); }

    QAbstractItemView* list = nullptr;
    QLineEdit* box = nullptr;
    QLabel* count = nullptr;
};

TEST_F(ObjectFilterTest, ShowsCountsAndSelectsOnlyTheMatchingRows)
{
    struct Case {
        const char* text;
        std::vector<int> rows;
        const char* count;  // nullptr: hidden
    };
    const Case cases[] = {
        {"x:100-200", {0, 2, 4}, "3 of 5"}, {"X:201", {3}, "1 of 5"},         {"colour:1", {}, "0 of 5"},
        {"image2", {1, 4}, "2 of 5"},       {"  ", {0, 1, 2, 3, 4}, nullptr},
    };
    for (const Case& c : cases) {
        box->setText(QString::fromLatin1(c.text));
        EXPECT_EQ(selectAll(), c.rows) << c.text;
        EXPECT_EQ(count->isVisibleTo(list), c.count != nullptr) << c.text;
        EXPECT_EQ(count->text(), c.count ? c.count : count->text()) << c.text;
    }
    // The keys move over the rows shown only.
    box->setText(QStringLiteral("image2"));
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().row(), 4);
    // A filter drops what it does not show from the selection; Esc clears it.
    box->setText(QStringLiteral("image1"));
    EXPECT_EQ(selectAll(), (std::vector<int>{0, 2, 3}));
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_TRUE(box->text().isEmpty());
    EXPECT_FALSE(count->isVisibleTo(list));
}

TEST_F(ObjectFilterTest, DeleteAndChangeActOnWhatIsShownAndTheFilterFollows)
{
    box->setText(QStringLiteral("x:100-200"));
    selectAll();
    prompter.changeAnswers.push_back(std::nullopt);                   // cancelled
    prompter.changeAnswers.push_back(qel::ui::ObjectChangeFields{});  // nothing ticked
    section<qel::ui::ObjectsSection>()->ChangeSelectedClick();
    section<qel::ui::ObjectsSection>()->ChangeSelectedClick();
    EXPECT_FALSE(find<QAction>("Undo1")->isEnabled());

    qel::ui::ObjectChangeFields moveRight;
    moveRight.dx = {true, 51};
    prompter.changeAnswers.push_back(moveRight);
    section<qel::ui::ObjectsSection>()->ChangeSelectedClick();
    EXPECT_EQ(find<QAction>("Undo1")->text(), "Undo Change 3 objects");
    EXPECT_EQ(line(0) + line(2) + line(4), "151,0,IMAGE1251,0,IMAGE1201,0,IMAGE2");
    EXPECT_EQ(count->text(), "1 of 5");  // only 151 is still in the range
    find<QAction>("Undo1")->trigger();
    EXPECT_EQ(count->text(), "3 of 5");
    EXPECT_EQ(selectAll(), (std::vector<int>{0, 2, 4}));

    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(frm->document().mapObjects().size(), 2u);
    EXPECT_EQ(line(0) + line(1), "99,0,IMAGE2201,0,IMAGE1");
    EXPECT_EQ(count->text(), "0 of 2");
    find<QAction>("Undo1")->trigger();
    EXPECT_EQ(count->text(), "3 of 5");
}

}  // namespace

TEST(ChangeDialogTest, HandsBackWhatItWasGivenEachFieldInItsOwnRow)
{
    qel::ui::ObjectChangeFields start;
    start.dx = {true, -32}, start.dy = {false, 48}, start.image = {true, 1}, start.layer = {false, 7};
    start.mode = {true, 5}, start.displayTime = {false, 2000}, start.objectId = {true, 9};
    const TChangeFrm dialog({"IMAGE0", "IMAGE1"}, start);
    EXPECT_EQ(dialog.fields(), start);
    EXPECT_FALSE(TChangeFrm({}, {}).findChild<QCheckBox*>("eChangeXChange")->isChecked());
}
