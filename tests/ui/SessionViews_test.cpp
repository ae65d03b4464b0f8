// The window over the session: the list models stay consistent through every
// kind of change (Qt's model tester checks each notice), a one-row change
// keeps the views' selection, and the Edit menu follows the history.

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTest>

#include "app/FileSteps.h"
#include "app/ObjectSteps.h"
#include "app/OutFileSteps.h"
#include "core/DefinitionReader.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/FileListModel.h"
#include "ui/ObjectListModel.h"
#include "ui/ObjectsSection.h"

using namespace qel;
using namespace qel::app;

namespace {

class SessionViewsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        writeFile(path("d.ini"),
                  "[mapobjects]\r\n1,1,IMAGE0\r\n2,2,IMAGE0\r\n3,3,IMAGE0\r\n4,4,IMAGE0\r\n"
                  "[screenobjects]\r\nC-1,1,IMAGE0\r\n");
        open(path("d.ini"));
        ASSERT_EQ(frm->document().mapObjectCount(), 4);
    }

    template <class Step, class... Args>
    void push(Args... args)
    {
        auto step = std::make_unique<Step>(frm->session(), args...);
        step->setViewBefore(section<qel::ui::ObjectsSection>()->CurrentViewState());
        frm->guarded([&] { frm->session().push(std::move(step)); });
    }

    QAbstractItemView* mapList() { return find<QAbstractItemView>("MapObjectList"); }
};

TEST_F(SessionViewsTest, ModelsStayConsistentThroughEveryChangeAndItsUndo)
{
    QAbstractItemModelTester mapTester(frm->mapObjectModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester screenTester(frm->screenObjectModel(),
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester fileTester(frm->fileModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    EditorValues values;
    values.xText = "9";
    values.yText = "9";
    push<AddObjectStep>(ObjectKind::Map, values);
    push<ApplyObjectStep>(ObjectKind::Map, values, std::size_t{1});
    push<DeleteObjectsStep>(ObjectKind::Map, std::vector<std::size_t>{1, 2});
    push<DeleteObjectsStep>(ObjectKind::Map, std::vector<std::size_t>{0, 2});
    push<SwitchObjectsStep>(ObjectKind::Map, std::vector<std::size_t>{0});
    push<ClearObjectsStep>(ObjectKind::Screen);
    push<SortObjectsStep>(ObjectKind::Map, std::optional<SortKey>(SortKey::YCoord));
    frm->session().push(
        std::make_unique<AddFilesStep>(frm->session(), std::vector<std::string>{"a.png"}, false, nullptr, nullptr));
    const int steps = frm->session().history().index();
    ASSERT_GE(steps, 7);  // a sort that moves nothing is no step
    for (int i = 0; i < steps; ++i)
        frm->UndoExecute();
    EXPECT_EQ(frm->mapObjectModel()->rowCount(), 4);
    EXPECT_EQ(frm->mapObjectModel()->index(3).data().toString(), "4,4,IMAGE0");
    for (int i = 0; i < steps; ++i)
        frm->RedoExecute();
    EXPECT_EQ(frm->fileModel()->rowCount(), 1);
    EXPECT_TRUE(prompter.errors.empty());
}

TEST_F(SessionViewsTest, ApplyOfOneRowKeepsTheSelectionOfTheOthers)
{
    QItemSelectionModel* selection = mapList()->selectionModel();
    selection->select(frm->mapObjectModel()->index(0), QItemSelectionModel::Select);
    selection->select(frm->mapObjectModel()->index(3), QItemSelectionModel::Select);
    selection->setCurrentIndex(frm->mapObjectModel()->index(3), QItemSelectionModel::NoUpdate);
    EditorValues values;
    values.xText = "7";
    values.yText = "7";
    push<ApplyObjectStep>(ObjectKind::Map, values, std::size_t{2});
    EXPECT_EQ(frm->mapObjectModel()->index(2).data().toString(), "7,7,IMAGE-1");
    std::vector<int> rows;
    for (const QModelIndex& index : selection->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(selection->currentIndex().row(), 2);

    frm->UndoExecute();
    rows.clear();
    for (const QModelIndex& index : selection->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<int>{0, 3}));
    EXPECT_EQ(selection->currentIndex().row(), 3);
}

TEST_F(SessionViewsTest, EditMenuNamesTheStepsAndFollowsTheHistory)
{
    auto* undo = find<QAction>("Undo1");
    auto* redo = find<QAction>("Redo1");
    EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(redo->shortcuts(), QList<QKeySequence>({QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                                      QKeySequence(QStringLiteral("Ctrl+Y"))}));
    const struct {
        void (TMainFrm::*move)();
        const char* undoText;
        const char* redoText;
        bool modified;
    } moves[] = {
        {nullptr, "Undo Delete 3 objects", "Redo", true},
        {&TMainFrm::UndoExecute, "Undo", "Redo Delete 3 objects", false},
        {&TMainFrm::RedoExecute, "Undo Delete 3 objects", "Redo", true},
    };
    push<DeleteObjectsStep>(ObjectKind::Map, std::vector<std::size_t>{0, 1, 3});
    for (const auto& m : moves) {
        if (m.move)
            (frm.get()->*m.move)();
        EXPECT_EQ(undo->text(), m.undoText);
        EXPECT_EQ(redo->text(), m.redoText);
        EXPECT_EQ(undo->isEnabled(), QString::fromLatin1(m.undoText) != "Undo");
        EXPECT_EQ(redo->isEnabled(), QString::fromLatin1(m.redoText) != "Redo");
        // Back at the opened state, nothing is asked on New.
        EXPECT_EQ(frm->session().modified(), m.modified);
    }
    prompter.saveChangesAnswers.push_back(qel::ui::SaveChangesAnswer::No);
    frm->NewExecute();  // asks: the delete is redone, so the document changed
    EXPECT_EQ(prompter.saveQuestions, std::vector<QString>({"Save changes to d.ini?"}));
    EXPECT_FALSE(undo->isEnabled()) << "a new document starts an empty history";
}

}  // namespace

namespace {
TEST_F(SessionViewsTest, UndoKeysReachTheHistoryFromEveryEditWithoutTypingOfItsOwn)
{
    frm->show();
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    for (const char* name : {"eOutFile", "eImageFile", "eImageTime", "ImageBox"}) {
        push<DeleteObjectsStep>(ObjectKind::Map, std::vector<std::size_t>{0});
        ASSERT_EQ(frm->document().mapObjectCount(), 3) << name;
        auto* edit = find<QWidget>(name);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(frm->document().mapObjectCount(), 4) << name;
    }
}
}  // namespace
