// The map view as the main window offers it: its menu entry, its title, and
// a pick in it loading the row as a click on the list does.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>

#include "tests/ui/MainWindowFixture.h"
#include "ui/MapView.h"

namespace {

class MapViewWindowTest : public MainWindowTest {};

TEST_F(MapViewWindowTest, ItsEntryOpensOneWindowTitledAfterTheFile)
{
    auto* entry = find<QAction>("MapView1");
    EXPECT_EQ(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));

    entry->trigger();
    entry->trigger();
    const auto views = frm->findChildren<qel::ui::MapView*>(QStringLiteral("MapView"));
    ASSERT_EQ(views.size(), 1);
    EXPECT_TRUE(views.front()->isWindow());
    EXPECT_EQ(views.front()->windowTitle(), QStringLiteral("Map - Untitled"));
    writeFile(path("harbour.ini"), "OutFile=a\r\n[mapobjects]\r\n1,2,IMAGE0\r\n");
    frm->OpenPath(path("harbour.ini"));
    EXPECT_EQ(views.front()->windowTitle(), QStringLiteral("Map - harbour.ini"));
}

TEST_F(MapViewWindowTest, APickLoadsTheMapRowIntoTheEditorWhateverListWasShown)
{
    writeFile(path("two.ini"),
              "OutFile=a\r\n[mapobjects]\r\n10,20,IMAGE0\r\n30,40,IMAGE1,TopMost\r\n"
              "[screenobjects]\r\n5,6,IMAGE0\r\n");
    frm->OpenPath(path("two.ini"));
    find<QComboBox>("ObjectsBox")->setCurrentIndex(1);
    find<QAction>("MapView1")->trigger();
    auto* view = frm->findChild<qel::ui::MapView*>(QStringLiteral("MapView"));
    ASSERT_NE(view, nullptr);

    emit view->objectActivated(1);
    EXPECT_EQ(find<QComboBox>("ObjectsBox")->currentIndex(), 0);
    EXPECT_EQ(find<QLineEdit>("eObjectX")->text(), QStringLiteral("30"));
    EXPECT_EQ(find<QLineEdit>("eObjectY")->text(), QStringLiteral("40"));
    emit view->screenObjectActivated(0);
    EXPECT_EQ(find<QComboBox>("ObjectsBox")->currentIndex(), 1);
    EXPECT_EQ(find<QLineEdit>("eObjectX")->text(), QStringLiteral("5"));
}

TEST_F(MapViewWindowTest, PlacingIsOfferedOnlyWithAnImageInTheObjectEditor)
{
    writeFile(path("one.ini"), "OutFile=a\r\n[objectimages]\r\nIMAGE0=a.bmp\r\n");
    frm->OpenPath(path("one.ini"));
    frm->TimerTimer();  // the image items of ObjectImageBox
    find<QAction>("MapView1")->trigger();
    auto* view = frm->findChild<qel::ui::MapView*>(QStringLiteral("MapView"));
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->findChild<qel::ui::MapScreenCanvas*>(QStringLiteral("MapScreenCanvas")), nullptr);
    auto* place = view->findChild<QAction*>(QStringLiteral("Place"));
    ASSERT_NE(place, nullptr);
    EXPECT_FALSE(place->isEnabled());
    find<QComboBox>("ObjectImageBox")->setCurrentIndex(0);
    EXPECT_TRUE(place->isEnabled());
    find<QComboBox>("ObjectImageBox")->setEditText(QString());
    EXPECT_FALSE(place->isEnabled());
}

}  // namespace
