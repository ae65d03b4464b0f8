// The window as it first appears: every control in its start state, at its
// place, with nothing cut off.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "tests/ui/MainWindowFixture.h"
#include "ui/TAboutFrm.h"
#include "ui/TOptnsForm.h"
#include "ui/TSortFrm.h"

namespace {

TEST_F(MainWindowTest, StartsUntitledWithTheMapListShown)
{
    EXPECT_EQ(frm->windowTitle(), "QEL v2 [Tarnwick]");
    EXPECT_EQ(find<QLabel>("StatusPanel")->text(), "");
    EXPECT_TRUE(find<QAbstractItemView>("MapObjectList")->isVisibleTo(frm.get()));
    EXPECT_FALSE(find<QAbstractItemView>("ScreenObjectList")->isVisibleTo(frm.get()));
    EXPECT_EQ(frm->document().currentFile(), "");
    EXPECT_EQ(frm->document().documentFolder(), "");
    EXPECT_FALSE(frm->session().modified());
    EXPECT_TRUE(frm->programFolder().endsWith('/'));
    EXPECT_TRUE(prompter.silent());
}

TEST_F(MainWindowTest, ComboBoxesShowTheirPlaceholdersWithNothingChosen)
{
    const struct {
        const char* name;
        const char* text;
        QStringList items;
    } cases[] = {
        {"ObjectsBox", "MapObjects", {"MapObjects", "ScreenObjects"}},
        {"ImageBox", "IMAGE#", {}},
        {"ObjectImageBox", "IMAGE#", {}},
        {"ObjectLayerBox",
         "Layer",
         {"BelowAll", "AfterBackground", "AfterTiles", "AfterWeapons", "AfterShips", "AfterGauges", "AfterChat",
          "TopMost"}},
        {"ObjectModeBox",
         "Mode",
         {"ShowAlways", "EnterZone", "EnterArena", "Kill", "Death", "ServerControlled", "None"}},
    };
    for (const auto& c : cases) {
        auto* box = find<QComboBox>(c.name);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isEditable()) << c.name;
        EXPECT_EQ(box->currentIndex(), -1) << c.name;
        EXPECT_EQ(box->currentText(), c.text) << c.name;
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        EXPECT_EQ(items, c.items) << c.name;
    }
}

TEST_F(MainWindowTest, EditsStartWithTheirTexts)
{
    const struct {
        const char* name;
        const char* text;
        const char* label;
    } cases[] = {
        {"eOutFile", "", "OutFile:"}, {"eImageFile", "", "Image File:"},       {"eImageX", "0", "X-Tiles:"},
        {"eImageY", "0", "Y-Tiles:"}, {"eImageTime", "0", "AniTime:"},         {"eObjectX", "", "X-Coord:"},
        {"eObjectY", "", "Y-Coord:"}, {"eObjectDsplyTime", "0", "DsplyTime:"}, {"eObjectID", "0", "Object ID:"},
    };
    for (const auto& c : cases) {
        auto* edit = find<QLineEdit>(c.name);
        auto* label = find<QLabel>((std::string(c.name) + "Label").c_str());
        ASSERT_TRUE(edit && label);
        EXPECT_EQ(edit->text(), c.text) << c.name;
        EXPECT_EQ(label->text(), c.label) << c.name;
        // The label sits above its edit.
        EXPECT_LE(label->geometry().bottom(), edit->geometry().top()) << c.name;
        EXPECT_EQ(label->buddy(), edit) << c.name;
    }
}

TEST_F(MainWindowTest, SectionsSitAtTheirRectanglesInTheInnerArea)
{
    frm->show();
    const struct {
        const char* name;
        const char* caption;
        QRect rect;
    } cases[] = {
        {"FileSection", "File Section", {0, 32, 145, 417}},
        {"ImageSection", "Image Section", {152, 32, 153, 241}},
        {"PreviewSection", "Preview Section", {144, 272, 169, 177}},
        {"ObjectsSection", "Objects Section", {312, 32, 369, 417}},
    };
    QWidget* inner = frm->centralWidget();
    for (const auto& c : cases) {
        auto* box = find<QGroupBox>(c.name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->parentWidget(), inner) << c.name;
        EXPECT_EQ(box->geometry(), c.rect) << c.name;
        EXPECT_EQ(box->title(), c.caption) << c.name;
        EXPECT_TRUE(box->font().bold()) << c.name;
        EXPECT_EQ(box->font().pointSize(), 10) << c.name;
    }
    // The inner area is everything below the menu: 683 x 468 with the
    // 19-pixel status bar at its foot and the 28-pixel tool bar at its top.
    EXPECT_EQ(inner->size(), QSize(683, 468 - 19));
    EXPECT_EQ(inner->geometry().top(), frm->menuBar()->geometry().bottom() + 1);
    EXPECT_EQ(frm->statusBar()->geometry(), QRect(0, inner->geometry().bottom() + 1, 683, 19));
    EXPECT_EQ(frm->size(), QSize(683, frm->menuBar()->height() + 468));
    EXPECT_EQ(frm->minimumSize(), frm->maximumSize());
    EXPECT_EQ(frm->findChild<QWidget*>("ActionToolBar1Edge")->geometry(), QRect(0, 0, 683, 28));
    EXPECT_EQ(find<QAbstractItemView>("MapObjectList")->size(), QSize(353, 241));
    EXPECT_EQ(find<QAbstractItemView>("ScreenObjectList")->geometry(),
              find<QAbstractItemView>("MapObjectList")->geometry());
    EXPECT_EQ(find<QLabel>("Image")->size(), QSize(153, 153));
    EXPECT_EQ(find<QToolButton>("AniPreview")->size(), QSize(57, 33));
    EXPECT_EQ(find<QToolButton>("Presets")->pos(), QPoint(8, 392));
    EXPECT_FALSE(frm->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindowTest, PreviewExtrasStartHidden)
{
    EXPECT_TRUE(find<QLabel>("Image")->isVisibleTo(frm.get()));
    for (const char* name : {"PrevErrorLabel", "Player", "ProgressLabel", "Progress"})
        EXPECT_FALSE(find<QWidget>(name)->isVisibleTo(frm.get())) << name;
    EXPECT_EQ(find<QLabel>("PrevErrorLabel")->size(), QSize(153, 57));
}

TEST_F(MainWindowTest, CommandsMenusAndToolBarCarryTheirCaptions)
{
    const struct {
        const char* name;
        const char* text;
        const char* toolText;
    } commands[] = {
        {"New", "New", "&New"},    {"aOpen", "Open", "&Open"},
        {"Save", "Save", "&Save"}, {"SaveAs", "Save As...", "Save As..."},
        {"Exit", "Exit", "Exit"},  {"Compile", "Compile", "&Compile"},
    };
    for (const auto& c : commands) {
        auto* action = find<QAction>(c.name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), c.text) << c.name;
        EXPECT_EQ(action->iconText(), c.toolText) << c.name;
        EXPECT_TRUE(action->shortcut().isEmpty()) << c.name;
    }
    QStringList toolBar;
    for (QAction* action : find<QToolBar>("ActionToolBar1")->actions())
        toolBar << action->objectName();
    EXPECT_EQ(toolBar, QStringList({"New", "aOpen", "Save", "SaveAs", "Compile"}));
    EXPECT_EQ(find<QToolBar>("ActionToolBar1")->iconSize(), QSize(16, 16));

    const auto entries = [](QMenu* menu) {
        QStringList names;
        for (QAction* action : menu->actions())
            names << action->objectName() + '=' + action->text();
        return names;
    };
    EXPECT_EQ(entries(find<QMenu>("File1")), QStringList({"New1=New", "Open1=Open", "OpenRecent1=Open Recent",
                                                          "Save1=Save", "SaveAs1=Save As...", "Exit1=Exit"}));
    EXPECT_EQ(entries(find<QMenu>("Help1")), QStringList({"QelHelp1=Qel Help", "About1=About..."}));
    EXPECT_EQ(entries(find<QMenu>("View1")),
              QStringList({"MapView1=Map View", "Problems1=Problems", "CompilerOutput1=Compiler Output"}));
    // What the menu bar shows: the View menu between Edit and Options.
    QStringList top;
    for (QAction* action : frm->menuBar()->actions())
        if (action->isVisible())
            top << action->text();
    EXPECT_EQ(top, QStringList({"&File", "&Edit", "&View", "O&ptions", "&Help"}));
    EXPECT_EQ(find<QAction>("Options1")->menu(), nullptr);
    EXPECT_EQ(entries(find<QMenu>("PresetPopUp")),
              QStringList({"CenterSafe=Center Safe", "SplashScreenCenter=SplashScreen - Center",
                           "BackgroundTiledZindle1=Background (TiledZindle)"}));
}

TEST_F(MainWindowTest, EachAccessKeyOfTheWindowBelongsToOneControl)
{
    QStringList keys;  // two owners of one Alt+letter take turns at it
    for (QAction* action : frm->menuBar()->actions())
        keys << QKeySequence::mnemonic(action->text()).toString();
    for (QAbstractButton* button : frm->findChildren<QAbstractButton*>())
        keys << (button->isVisibleTo(frm.get()) ? QKeySequence::mnemonic(button->text()).toString() : QString());
    keys.removeAll(QString());
    EXPECT_EQ(keys.removeDuplicates(), 0) << keys.join(' ').toStdString();
}

TEST_F(MainWindowTest, TimersRunFromStartUp)
{
    auto* timer = find<QTimer>("Timer");
    auto* anim = find<QTimer>("AnimTimer");
    ASSERT_TRUE(timer && anim);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_TRUE(anim->isActive());
    EXPECT_EQ(anim->interval(), 1000);
}

TEST_F(MainWindowTest, DialogsAreCreatedHidden)
{
    ASSERT_TRUE(frm->SortFrm() && frm->OptnsForm() && frm->AboutFrm());
    EXPECT_FALSE(frm->SortFrm()->isVisible());
    EXPECT_FALSE(frm->OptnsForm()->isVisible());
    EXPECT_FALSE(frm->AboutFrm()->isVisible());
    EXPECT_EQ(frm->SortFrm()->windowTitle(), "Sort Objects");
    EXPECT_TRUE(frm->isEnabled());
}

// Every caption must fit its control with the font the control really has.
void ExpectNothingCutOff(QWidget* root)
{
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || label->wordWrap())
            continue;
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_LE(needed, label->contentsRect().width()) << label->objectName().toStdString();
        EXPECT_LE(label->fontMetrics().height(), label->contentsRect().height()) << label->objectName().toStdString();
    }
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (button->text().isEmpty() || !button->isVisibleTo(root))
            continue;
        const QSize hint = button->sizeHint();
        EXPECT_LE(hint.width(), button->width()) << button->objectName().toStdString();
    }
    for (QComboBox* box : root->findChildren<QComboBox*>()) {
        for (int i = 0; i < box->count(); ++i) {
            const int needed = box->fontMetrics().horizontalAdvance(box->itemText(i));
            EXPECT_LE(needed, box->lineEdit()->width())
                << box->objectName().toStdString() << " " << box->itemText(i).toStdString();
        }
    }
}

TEST_F(MainWindowTest, VisibleControlsOfASectionDoNotOverlap)
{
    frm->show();
    for (const char* section : {"FileSection", "ImageSection", "PreviewSection", "ObjectsSection"}) {
        QList<QWidget*> controls;
        for (QObject* child : find<QWidget>(section)->children()) {
            auto* widget = qobject_cast<QWidget*>(child);
            if (widget && widget->isVisible() && !widget->isWindow())
                controls << widget;
        }
        for (int i = 0; i < controls.size(); ++i)
            for (int j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                    << controls[i]->objectName().toStdString() << " / " << controls[j]->objectName().toStdString();
    }
    EXPECT_TRUE(find<QComboBox>("ObjectsBox")->lineEdit()->font().bold());
}

TEST_F(MainWindowTest, NoCaptionIsCutOff)
{
    frm->show();
    frm->SortFrm()->show();
    ExpectNothingCutOff(frm.get());
    ExpectNothingCutOff(frm->SortFrm());
    frm->SortFrm()->hide();
}

}  // namespace
