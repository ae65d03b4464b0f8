// The Objects Section driven through its controls: composition, the tile
// shorthand, loading, the selections, the presets, switch, sort, the
// buttons' enabling, and undo and redo of every edit from the Edit menu.

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "core/DefinitionWriter.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/ObjectListModel.h"
#include "ui/ObjectsSection.h"
#include "ui/TSortFrm.h"

using qel::ObjectKind;
using qel::ui::ObjectsSection;

namespace {

class ObjectsSectionTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        writeFile(path("d.ini"),
                  "[objectimages]\r\nIMAGE0=p0.bmp\r\nIMAGE1=p1.bmp\r\nIMAGE2=p2.bmp\r\n"
                  "IMAGE3=p3.bmp\r\nIMAGE9=gone.bmp\r\n"
                  "[mapobjects]\r\n10,20,image1,aftertiles,showalways,0\r\n5,6,IMAGE0\r\n300,1,IMAGE0\r\n"
                  "[screenobjects]\r\nC-1,1,IMAGE0\r\nC-2,2,IMAGE0\r\nC-3,3,IMAGE0\r\n");
        open(path("d.ini"));
        frm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frm.get()));
        s = section<qel::ui::ObjectsSection>();
        frm->TimerTimer();
        ASSERT_EQ(find<QComboBox>("ObjectImageBox")->count(), 5);
    }

    // Typed into the editor; -1 leaves a box at its placeholder.
    void editors(const char* x, const char* y, int image = -1, int layer = -1, int mode = -1, const char* time = "0",
                 const char* id = "0")
    {
        find<QLineEdit>("eObjectX")->setText(QString::fromLatin1(x));
        find<QLineEdit>("eObjectY")->setText(QString::fromLatin1(y));
        for (auto [box, index] : {std::pair{find<QComboBox>("ObjectImageBox"), image},
                                  {find<QComboBox>("ObjectLayerBox"), layer},
                                  {find<QComboBox>("ObjectModeBox"), mode}})
            if (index >= 0)
                box->setCurrentIndex(index);
        find<QLineEdit>("eObjectDsplyTime")->setText(QString::fromLatin1(time));
        find<QLineEdit>("eObjectID")->setText(QString::fromLatin1(id));
    }

    std::vector<std::string> lines(ObjectKind kind) const
    {
        const auto& list = frm->document().objects(kind);
        std::vector<std::string> out;
        for (std::size_t i = 0; i < list.size(); ++i)
            out.emplace_back(list.line(i));
        return out;
    }

    static std::vector<int> selected(QAbstractItemView* list)
    {
        std::vector<int> rows;
        for (const QModelIndex& index : list->selectionModel()->selectedIndexes())
            rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    static void clickRow(QAbstractItemView* list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualRect(list->model()->index(row, 0)).center());
    }

    void picture(int image, int width, int height, const char* format = "BMP")
    {
        QImage pixels(width, height, QImage::Format_RGB32);
        pixels.fill(Qt::darkGreen);
        ASSERT_TRUE(pixels.save(path(QStringLiteral("p%1.bmp").arg(image)), format));
    }

    std::string text() const { return qel::ComposeDefinition(frm->document()); }

    ObjectsSection* s = nullptr;
};

TEST_F(ObjectsSectionTest, AddComposesTheLineFromTheEditor)
{
    const struct {
        int image, layer, mode;
        const char *time, *id, *line;
    } cases[] = {
        {3, 2, 0, "0", "0", "100,200,IMAGE3,AfterTiles,ShowAlways,0"},
        {3, 2, 3, "", "5", "100,200,IMAGE3,AfterTiles,Kill"},
        {3, 2, 3, "50", "", "100,200,IMAGE3,AfterTiles,Kill,50"},
        {3, 2, 6, "2000", "5", "100,200,IMAGE3,AfterTiles"},
        {3, 2, -1, "2000", "5", "100,200,IMAGE3,AfterTiles"},
        {3, -1, 4, "0", "0", "100,200,IMAGE3,Death,0"},
        {4, 2, 0, "150", "101", "100,200,IMAGE9,AfterTiles,ShowAlways,150,101"},  // above the spins' maxima
    };
    for (const auto& c : cases) {
        s->ResetControls();
        editors("100", "200", c.image, c.layer, c.mode, c.time, c.id);
        find<QToolButton>("AddObject")->click();
        EXPECT_EQ(lines(ObjectKind::Map).back(), c.line);
    }
    EXPECT_TRUE(prompter.errors.empty());
}

TEST_F(ObjectsSectionTest, TileShorthandExpandsWhereItsMarkerApplies)
{
    enum Action { EnterX, LeaveX, Add, Apply, ApplyWithNoCurrentRow };
    const struct {
        const char* name;
        Action action;
        const char *x, *y, *shownX, *shownY, *line, *error;
    } cases[] = {
        {"EnterOnX", EnterX, "@5", "@3", "80", "@3", nullptr, nullptr},
        {"FocusLeavingX", LeaveX, "@-2", "", "-32", "", nullptr, nullptr},
        {"MarkerAlone", EnterX, "@", "", "@", "", nullptr, nullptr},
        {"EnterWithABadNumber", EnterX, "@x", "", "@x", "", nullptr, "'x' is not a valid integer value."},
        {"AddExpandsAt", Add, "@5", "@3", "80", "48", "80,48,IMAGE-1", nullptr},
        {"AddStopsAtBadY", Add, "@2", "@5 ", "32", "@5 ", nullptr, "'5 ' is not a valid integer value."},
        {"ApplyLeavesAt", Apply, "@5", "@3", "@5", "@3", "@5,@3,IMAGE-1", nullptr},
        {"ApplyExpandsT", Apply, "t5", "T3", "80", "48", "80,48,IMAGE-1", nullptr},
        {"ApplyWithNoCurrentRow", ApplyWithNoCurrentRow, "t5", "T3", "t5", "T3", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.errors.clear();
        frm->ResetDocument();
        find<QComboBox>("ObjectsBox")->setCurrentIndex(1);
        editors("C", "C", -1, -1, -1);
        find<QToolButton>("AddObject")->click();
        QTest::keyClick(find<qel::ui::ObjectListView>("ScreenObjectList"),
                        Qt::Key_Down);  // makes the row current and loads it
        editors(c.x, c.y);
        const std::string before = text();
        switch (c.action) {
        case EnterX:
            QTest::keyClick(find<QLineEdit>("eObjectX"), Qt::Key_Return);
            break;
        case LeaveX: {
            QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
            QCoreApplication::sendEvent(find<QLineEdit>("eObjectX"), &leave);
            break;
        }
        case Add:
            find<QToolButton>("AddObject")->click();
            break;
        case ApplyWithNoCurrentRow:
            find<qel::ui::ObjectListView>("ScreenObjectList")->selectionModel()->clearCurrentIndex();
            [[fallthrough]];
        case Apply:
            find<QToolButton>("ApplyObject")->click();
            break;
        }
        EXPECT_EQ(find<QLineEdit>("eObjectX")->text(), c.shownX);
        EXPECT_EQ(find<QLineEdit>("eObjectY")->text(), c.shownY);
        if (c.line)
            EXPECT_EQ(lines(ObjectKind::Screen).back(), c.line);
        else
            EXPECT_EQ(text(), before);
        EXPECT_EQ(prompter.errors, c.error ? std::vector<QString>{c.error} : std::vector<QString>{});
    }
}

TEST_F(ObjectsSectionTest, AddSelectsTheLastRowOfBothListsAndKeepsTheCurrentRows)
{
    clickRow(find<qel::ui::ObjectListView>("MapObjectList"), 1);
    find<qel::ui::ObjectListView>("ScreenObjectList")
        ->selectionModel()
        ->select(frm->screenObjectModel()->index(0), QItemSelectionModel::Select);
    editors("1", "2");
    find<QToolButton>("AddObject")->click();
    EXPECT_EQ(selected(find<qel::ui::ObjectListView>("MapObjectList")), std::vector<int>({3}));
    EXPECT_EQ(selected(find<qel::ui::ObjectListView>("ScreenObjectList")), std::vector<int>({2}));
    EXPECT_EQ(find<qel::ui::ObjectListView>("MapObjectList")->currentIndex().row(), 1);
}

TEST_F(ObjectsSectionTest, LoadedRowAppliedBackGivesItsComposedForm)
{
    const struct {
        int row;
        const char* mode;
        const char* line;
    } cases[] = {
        {0, "ShowAlways", "10,20,IMAGE1,AfterTiles,ShowAlways,0"},
        {1, "None", "5,6,IMAGE0"},
    };
    for (const auto& c : cases) {
        clickRow(find<qel::ui::ObjectListView>("MapObjectList"), c.row);
        EXPECT_EQ(find<QComboBox>("ObjectModeBox")->currentText(), c.mode);
        find<QToolButton>("ApplyObject")->click();
        EXPECT_EQ(lines(ObjectKind::Map)[static_cast<std::size_t>(c.row)], c.line);
    }
    QTest::keyClick(find<qel::ui::ObjectListView>("MapObjectList"), Qt::Key_Down);  // the keyboard loads too
    EXPECT_EQ(find<QLineEdit>("eObjectX")->text(), "300");
    EXPECT_TRUE(prompter.errors.empty());
}

TEST_F(ObjectsSectionTest, DeleteRemovesTheSelectedRowsOnly)
{
    const std::string before = text();
    find<QToolButton>("DelObject")->click();  // nothing selected
    EXPECT_EQ(text(), before);
    EXPECT_FALSE(find<QAction>("Undo1")->isEnabled());
    clickRow(find<qel::ui::ObjectListView>("MapObjectList"), 0);
    clickRow(find<qel::ui::ObjectListView>("MapObjectList"), 2, Qt::ControlModifier);
    QTest::keyClick(find<qel::ui::ObjectListView>("MapObjectList"), Qt::Key_Delete);
    EXPECT_EQ(lines(ObjectKind::Map), std::vector<std::string>({"5,6,IMAGE0"}));
    EXPECT_TRUE(selected(find<qel::ui::ObjectListView>("MapObjectList")).empty());
}

TEST_F(ObjectsSectionTest, PresetsTakeTheChosenBitmapsSize)
{
    enum Preset { Centre, Splash, Tiled };
    const struct {
        const char* name;
        int image, width, height;
        const char* format;
        Preset preset;
        const char *x, *y, *added, *error, *question;
        bool shownScreen;
    } cases[] = {
        {"CentreOf1x1", 0, 1, 1, "BMP", Centre, "8200", "8200", "8200,8200,IMAGE0,AfterTiles", nullptr, nullptr, false},
        {"CentreOf33x17", 1, 33, 17, "BMP", Centre, "8184", "8192", nullptr, nullptr, nullptr, false},
        {"SplashOf33x17", 1, 33, 17, "BMP", Splash, "C-16", "C-8", nullptr, nullptr, nullptr, true},
        {"CentreOf64x48", 2, 64, 48, "BMP", Centre, "8168", "8176", "8168,8176,IMAGE2,AfterTiles", nullptr, nullptr,
         false},
        {"SplashOf640x480", 0, 640, 480, "BMP", Splash, "C-320", "C-240", "C-320,C-240,IMAGE0,TopMost,EnterZone,2000",
         nullptr, nullptr, true},
        {"TiledOf640x480", 3, 640, 480, "BMP", Tiled, "", "", "16000,16320,IMAGE3,AfterBackground", nullptr, nullptr,
         false},
        {"TiledOf1x1Asked", 0, 1, 1, "BMP", Tiled, "", "", nullptr, nullptr, "This makes 268468225 objects. Go on?",
         false},
        {"PngIsNoBitmap", 2, 64, 48, "PNG", Centre, "", "", nullptr, "Bitmap image is not valid.", nullptr, false},
        {"MissingFile", 4, 0, 0, nullptr, Splash, "", "", nullptr, nullptr, nullptr, false},
        {"NoImageChosen", -1, 0, 0, nullptr, Centre, "", "", nullptr, nullptr, nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.errors.clear();
        prompter.confirmations.clear();
        prompter.confirmAnswers = {false};
        s->ResetControls();
        if (c.format)
            picture(c.image, c.width, c.height, c.format);
        find<QComboBox>("ObjectImageBox")->setCurrentIndex(c.image);
        const std::size_t mapRows = lines(ObjectKind::Map).size();
        QAction* item[] = {find<QAction>("CenterSafe"), find<QAction>("SplashScreenCenter"),
                           find<QAction>("BackgroundTiledZindle1")};
        item[c.preset]->trigger();
        EXPECT_EQ(find<QLineEdit>("eObjectX")->text(), c.x);
        EXPECT_EQ(find<QLineEdit>("eObjectY")->text(), c.y);
        EXPECT_EQ(find<qel::ui::ObjectListView>("ScreenObjectList")->isVisibleTo(s), c.shownScreen);
        EXPECT_EQ(prompter.errors, c.error ? std::vector<QString>{c.error} : std::vector<QString>{});
        EXPECT_EQ(prompter.confirmations, c.question ? std::vector<QString>{c.question} : std::vector<QString>{});
        if (c.preset == Tiled && c.added) {
            EXPECT_EQ(lines(ObjectKind::Map).size(), mapRows + 26 * 35);
        } else if (c.added) {
            find<QToolButton>("AddObject")->click();
        }
        if (c.added)
            EXPECT_EQ(lines(c.shownScreen ? ObjectKind::Screen : ObjectKind::Map).back(), c.added);
        else
            EXPECT_EQ(lines(ObjectKind::Map).size(), mapRows);
    }
}

TEST_F(ObjectsSectionTest, SwitchCopiesTheSelectedRowsAndShowsTheOtherList)
{
    find<QToolButton>("Switch")->click();  // nothing selected: only the other list shows
    EXPECT_TRUE(find<qel::ui::ObjectListView>("ScreenObjectList")->isVisibleTo(s));
    EXPECT_FALSE(find<QAction>("Undo1")->isEnabled());
    find<QToolButton>("Switch")->click();
    clickRow(find<qel::ui::ObjectListView>("MapObjectList"), 0);
    clickRow(find<qel::ui::ObjectListView>("MapObjectList"), 2, Qt::ControlModifier);
    find<QToolButton>("Switch")->click();
    EXPECT_EQ(find<QComboBox>("ObjectsBox")->currentIndex(), 1);
    EXPECT_EQ(lines(ObjectKind::Screen).size(), 5u);
    EXPECT_EQ(lines(ObjectKind::Screen)[4], "300,1,IMAGE0");
    EXPECT_EQ(selected(find<qel::ui::ObjectListView>("MapObjectList")), std::vector<int>({0, 2}));
    find<QAction>("Undo1")->trigger();
    EXPECT_TRUE(find<qel::ui::ObjectListView>("MapObjectList")->isVisibleTo(s));
    EXPECT_EQ(lines(ObjectKind::Screen).size(), 3u);
}

TEST_F(ObjectsSectionTest, SortDialogSortsAndRegeneratesAsOneStep)
{
    find<QToolButton>("SortObjects")->click();
    TSortFrm* sort = frm->SortFrm();
    ASSERT_TRUE(sort->isVisible());
    sort->findChild<QRadioButton*>("SortByRadioItem1")->click();  // Y-Coord
    sort->findChild<QToolButton*>("Sort")->click();
    EXPECT_EQ(lines(ObjectKind::Map),
              std::vector<std::string>({"300,1,IMAGE0", "5,6,IMAGE0", "10,20,IMAGE1,AfterTiles,ShowAlways"}));
    EXPECT_EQ(find<QAction>("Undo1")->text(), "Undo Sort map objects by Y-Coord");
    find<QAction>("Undo1")->trigger();
    EXPECT_EQ(lines(ObjectKind::Map)[0], "10,20,image1,aftertiles,showalways,0");
}

TEST_F(ObjectsSectionTest, ButtonsThatNeedObjectsFollowTheShownCount)
{
    const struct {
        std::function<void()> step;
        bool sort, others;
    } steps[] = {
        {[&] { find<QToolButton>("ClearObjectList")->click(); }, false, false},
        {[&] {
             editors("1", "1");
             find<QToolButton>("AddObject")->click();
         },
         false, true},  // one object: sort keeps its state
        {[&] { find<QToolButton>("AddObject")->click(); }, true, true},
        {[&] {
             clickRow(find<qel::ui::ObjectListView>("MapObjectList"), 0);
             find<QToolButton>("DelObject")->click();
         },
         true, true},
        {[&] {
             find<QComboBox>("ObjectsBox")->setCurrentIndex(1);
             find<QToolButton>("ClearObjectList")->click();
         },
         false, false},
    };
    for (const auto& step : steps) {
        step.step();
        frm->TimerTimer();
        EXPECT_EQ(find<QToolButton>("SortObjects")->isEnabled(), step.sort);
        EXPECT_EQ(find<QToolButton>("Switch")->isEnabled(), step.others);
        EXPECT_EQ(find<QToolButton>("ClearObjectList")->isEnabled(), step.others);
    }
}

TEST_F(ObjectsSectionTest, UndoKeysInAnEditUndoTheDocumentUnlessTheEditHasTypingToUndo)
{
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    find<QLineEdit>("eObjectX")->setFocus();
    editors("1", "2");
    find<QToolButton>("AddObject")->click();
    const struct {
        const char* typed;
        QKeyCombination key;
        std::size_t rows;
        const char* shownX;
    } steps[] = {
        {"", Qt::ControlModifier | Qt::Key_Z, 3, "1"},
        {"", Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z, 4, "1"},
        {"7", Qt::ControlModifier | Qt::Key_Z, 4, "1"},  // the typing goes, the added row stays
        {"", Qt::ControlModifier | Qt::Key_Z, 3, "1"},
        {"", Qt::ControlModifier | Qt::Key_Y, 3, "17"},  // the edit's own redo first
        {"", Qt::ControlModifier | Qt::Key_Y, 4, "17"},
    };
    for (const auto& step : steps) {
        QTest::keyClicks(find<QLineEdit>("eObjectX"), QString::fromLatin1(step.typed));
        QTest::keyClick(find<QLineEdit>("eObjectX"), step.key.key(), step.key.keyboardModifiers());
        EXPECT_EQ(lines(ObjectKind::Map).size(), step.rows) << step.typed;
        EXPECT_EQ(find<QLineEdit>("eObjectX")->text(), step.shownX);
    }
}

TEST_F(ObjectsSectionTest, EveryEditIsUndoneAndRedoneFromTheEditMenu)
{
    picture(1, 4096, 4096);
    const struct {
        const char* name;
        std::function<void()> edit;
    } edits[] = {
        {"Add",
         [&] {
             editors("@1", "2", 1, 0, 0);
             find<QToolButton>("AddObject")->click();
         }},
        {"Apply",
         [&] {
             clickRow(find<qel::ui::ObjectListView>("MapObjectList"), 1);
             editors("t1", "2");
             find<QToolButton>("ApplyObject")->click();
         }},
        {"Delete",
         [&] {
             clickRow(find<qel::ui::ObjectListView>("MapObjectList"), 0);
             clickRow(find<qel::ui::ObjectListView>("MapObjectList"), 2, Qt::ControlModifier);
             find<QToolButton>("DelObject")->click();
         }},
        {"Clear", [&] { find<QToolButton>("ClearObjectList")->click(); }},
        {"Switch",
         [&] {
             clickRow(find<qel::ui::ObjectListView>("MapObjectList"), 1);
             find<QToolButton>("Switch")->click();
         }},
        {"TiledBackground",
         [&] {
             find<QComboBox>("ObjectImageBox")->setCurrentIndex(1);
             find<QAction>("BackgroundTiledZindle1")->trigger();
         }},
    };
    for (const auto& e : edits) {
        SCOPED_TRACE(e.name);
        const std::string before = text();
        e.edit();
        const std::string after = text();
        ASSERT_NE(after, before);
        find<QAction>("Undo1")->trigger();
        EXPECT_EQ(text(), before);
        find<QAction>("Redo1")->trigger();
        EXPECT_EQ(text(), after);
        find<QAction>("Undo1")->trigger();
    }
    EXPECT_TRUE(prompter.errors.empty());
}

}  // namespace

namespace {

// Other windows make a row current through the section; what they leave must
// be what a click on the row leaves.
TEST_F(ObjectsSectionTest, MakingARowCurrentDoesWhatAClickDoes)
{
    const struct {
        const char* name;
        ObjectKind kind;
        int row;
        ObjectKind shownBefore;
    } cases[] = {
        {"MapRowWhileMapShown", ObjectKind::Map, 2, ObjectKind::Map},
        {"ScreenRowWhileMapShown", ObjectKind::Screen, 1, ObjectKind::Map},
        {"MapRowWhileScreenShown", ObjectKind::Map, 0, ObjectKind::Screen},
    };
    const auto state = [this] {
        QStringList shown;
        for (const char* name : {"ObjectsBox", "ObjectImageBox", "ObjectLayerBox", "ObjectModeBox"})
            shown << find<QComboBox>(name)->currentText();
        for (const char* name : {"eObjectX", "eObjectY", "eObjectDsplyTime", "eObjectID"})
            shown << find<QLineEdit>(name)->text();
        shown << QString::number(find<qel::ui::ObjectListView>("MapObjectList")->isVisible())
              << QString::number(find<qel::ui::ObjectListView>("ScreenObjectList")->isVisible());
        return std::pair{shown, s->CurrentViewState()};
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = [&] {
            s->ResetControls();
            s->ShowViewState({c.shownBefore, {}, {}});
        };
        start();
        find<QComboBox>("ObjectsBox")->setCurrentIndex(c.kind == ObjectKind::Map ? 0 : 1);
        clickRow(find<qel::ui::ObjectListView>(c.kind == ObjectKind::Map ? "MapObjectList" : "ScreenObjectList"),
                 c.row);
        const auto clicked = state();
        start();
        s->makeRowCurrent(c.kind, static_cast<std::size_t>(c.row));
        EXPECT_EQ(state(), clicked);
        EXPECT_EQ(s->CurrentViewState().of(c.kind).current, static_cast<std::size_t>(c.row));
    }
    EXPECT_EQ(s->mapSelection(), find<qel::ui::ObjectListView>("MapObjectList")->selectionModel());
}

}  // namespace
