// Where the window's parts meet the session: an image deleted with its
// objects while the problems follow, and the object editor following the row
// it shows through the steps that change it.

#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QToolButton>
#include <functional>

#include "DefinitionWriter.h"
#include "ImageSection.h"
#include "MainWindowFixture.h"
#include "MapCanvas.h"
#include "MapView.h"
#include "ObjectListView.h"
#include "ObjectsSection.h"
#include "ProblemMonitor.h"

using namespace qel;

namespace {

class WindowSeamsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        writeFile(path("d.ini"),
                  "[objectimages]\r\nIMAGE0=a.bmp\r\nIMAGE1=b.bmp\r\nIMAGE2=c.bmp\r\n"
                  "[mapobjects]\r\n8176,8136,IMAGE1,AfterTiles\r\n10,10,IMAGE0\r\n20,20,IMAGE1\r\n30,30,IMAGE2\r\n"
                  "[screenobjects]\r\nC-1,1,IMAGE1\r\n5,5,IMAGE2\r\n");
        open(path("d.ini"));
        ASSERT_EQ(frm->document().mapObjectCount(), 4);
    }

    // The counts the window's monitor shows, next to a check made afresh.
    void expectProblemsAsFresh()
    {
        struct NoDisk : CheckEnvironment {
            bool fileExists(const std::string&) override { return false; }
            PictureFacts picture(const std::string&) override { return {}; }
        } disk;
        app::ProblemMonitor& monitor = frm->problemMonitor();
        monitor.finishChecking();
        app::ProblemCounts fresh;
        for (const Problem& p : CheckDocument(frm->document(), disk)) {
            std::size_t& count = p.severity == Severity::Error     ? fresh.errors
                                 : p.severity == Severity::Warning ? fresh.warnings
                                                                   : fresh.infos;
            ++count;
        }
        EXPECT_EQ(monitor.counts(), fresh);
    }

    std::string bytes() const { return ComposeDefinition(frm->document()); }
};

TEST_F(WindowSeamsTest, DeletingAnImageWithItsObjectsKeepsTheProblemsWhole)
{
    const struct {
        std::size_t image;
        bool withObjects;
        int mapRowsAfter;
    } cases[] = {{1, true, 2}, {1, false, 4}, {0, true, 3}, {2, true, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "image " << c.image << " with objects " << c.withObjects);
        const std::string opened = bytes();
        section<qel::ui::ImageSection>()->selectImage(c.image);
        prompter.confirmAnswers = {true, c.withObjects};
        find<QToolButton>("DelImage")->click();
        EXPECT_EQ(frm->document().mapObjectCount(), c.mapRowsAfter);
        expectProblemsAsFresh();
        frm->UndoExecute();
        EXPECT_EQ(bytes(), opened);
        expectProblemsAsFresh();
    }
    EXPECT_TRUE(prompter.errors.empty());
}

// The editor follows the row it loaded through the steps that move or
// change it; what the user typed stays, and a deleted row leaves the editor
// as it was.
TEST_F(WindowSeamsTest, ObjectEditorFollowsTheRowItShows)
{
    using Act = std::function<void()>;
    auto* objects = section<qel::ui::ObjectsSection>();
    frm->MapView1Click();
    auto* canvas = find<qel::ui::MapCanvas>("MapCanvas");
    const auto remove = [&](std::vector<int> rows) {
        auto* list = find<qel::ui::ObjectListView>("MapObjectList");
        list->selectionModel()->clearSelection();
        for (int row : rows)
            list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select);
        objects->DelObjectClick();
    };
    const Act drag = [&] { canvas->dragObject({8180, 8140}, {8228, 8164}, Qt::NoModifier); };
    const Act nudge = [&] { canvas->nudge(16, 0); };
    const Act undo = [&] { frm->UndoExecute(); };
    const Act redo = [&] { frm->RedoExecute(); };
    const Act typeY = [&] { find<QLineEdit>("eObjectY")->setText("5"); };
    const Act sortByX = [&] { objects->SortRequested(ObjectKind::Map, SortKey::XCoord); };
    const Act sortByY = [&] { objects->SortRequested(ObjectKind::Map, SortKey::YCoord); };
    const struct {
        const char* name;
        std::size_t row;
        std::vector<Act> acts;
        int loadedAfter;
        const char *x, *y;
    } cases[] = {
        {"Drag", 0, {drag}, 0, "8224", "8160"},
        {"NudgeUndoRedo", 0, {nudge, undo, redo}, 0, "8192", "8136"},
        {"TypedFieldStays", 0, {typeY, nudge}, 0, "8192", "5"},
        {"EarlierRowDeleted", 2, {[&] { remove({0}); }}, 1, "20", "20"},
        {"LoadedRowDeletedStaysAsScratch", 2, {[&] { remove({2}); }, undo}, -1, "20", "20"},
        {"ScatteredRowsDeletedAndBack",
         3,
         {[&] {
              remove({0, 2});
          },
          undo},
         3,
         "30",
         "30"},
        {"SortMovesIt", 0, {sortByX}, 3, "8176", "8136"},
        {"SortUndone", 1, {sortByY, undo}, 1, "10", "10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frm->OpenPath(path("d.ini"));
        objects->makeRowCurrent(ObjectKind::Map, c.row);
        for (const Act& act : c.acts)
            act();
        const auto loaded = objects->loadedRow();
        EXPECT_EQ(loaded ? static_cast<int>(loaded->row) : -1, c.loadedAfter);
        EXPECT_EQ(find<QLineEdit>("eObjectX")->text(), QString::fromLatin1(c.x));
        EXPECT_EQ(find<QLineEdit>("eObjectY")->text(), QString::fromLatin1(c.y));
        if (c.loadedAfter >= 0) {
            // Apply writes what the editor shows, moved position included.
            find<QToolButton>("ApplyObject")->click();
            EXPECT_EQ(frm->document().mapObjects().xText(static_cast<std::size_t>(c.loadedAfter)), c.x);
        }
    }
    EXPECT_TRUE(prompter.errors.empty());
}

}  // namespace
