// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z walk the one history from any control. Some platforms bind only
// Ctrl+Shift+Z to an edit's own redo (X11 does), so run under xcb as well.

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QTest>

#include "core/DefinitionWriter.h"
#include "tests/ui/MainWindowFixture.h"

namespace {

class HistoryKeysTest : public MainWindowTest {};

TEST_F(HistoryKeysTest, EveryStepIsUndoneAndRedoneFromAnyControlAndNoKeyMakesOne)
{
    writeFile(path("d.ini"), "OutFile=pkg\r\n[objectimages]\r\nIMAGE0=a.bmp\r\n");
    open(path("d.ini"));
    frm->show();
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    auto* edit = find<QLineEdit>("eOutFile");
    const std::string opened = qel::ComposeDefinition(frm->document());
    find<QComboBox>("ImageBox")->setCurrentIndex(0);
    for (auto [name, typed] : {std::pair{"eOutFile", "2"}, {"eImageFile", "b"}, {"eImageX", "4"}})
        QTest::keyClicks(find<QLineEdit>(name), QString::fromLatin1(typed));
    QTest::mouseClick(find<QWidget>("ImageYUpDown"), Qt::LeftButton, {}, QPoint(2, 2));  // its upper arrow
    find<QLineEdit>("eObjectX")->setText(QStringLiteral("100"));  // scratch, with no typing of its own
    QTest::mouseClick(find<QWidget>("AddObject"), Qt::LeftButton);
    prompter.openFilesAnswers.push_back({path("s.wav")});
    QTest::mouseClick(find<QWidget>("AddFile"), Qt::LeftButton);
    const std::string edited = qel::ComposeDefinition(frm->document());
    const auto undo = Qt::CTRL | Qt::Key_Z, redoY = Qt::CTRL | Qt::Key_Y, redoZ = Qt::CTRL | Qt::SHIFT | Qt::Key_Z;
    const std::tuple<const char*, QKeyCombination, bool /* by the edit's menu */, int> presses[] = {
        {"eOutFile", undo, false, 5},      {"eImageFile", undo, true, 4},   {"eImageX", undo, false, 3},
        {"MapObjectList", undo, false, 2}, {"ImageBox", undo, false, 1},    {"eObjectX", undo, false, 0},
        {"eImageX", undo, false, 0},       {"eImageTime", redoY, false, 1}, {"eOutFile", redoZ, true, 2},
        {"eImageFile", redoZ, false, 3},   {"FileList", redoY, false, 4},   {"eImageY", redoY, false, 5},
        {"eOutFile", redoZ, false, 6},     {"eImageX", redoY, false, 6}};
    for (const auto& [name, key, menu, index] : presses) {
        auto* control = find<QWidget>(name);
        control->setFocus();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), control->mapToGlobal(QPoint(2, 2)));
        if (menu && QApplication::sendEvent(control, &click)) {
            for (QAction* entry : QApplication::activePopupWidget()->actions())
                if (entry->text().startsWith(key == undo ? "&Undo" : "&Redo"))
                    entry->trigger();
            QApplication::activePopupWidget()->close();
        } else {
            QTest::keyClick(control, key.key(), key.keyboardModifiers());
        }
        EXPECT_EQ(frm->session().history().count(), 6) << name;
        EXPECT_EQ(frm->session().history().index(), index) << name;
        EXPECT_TRUE(index > 0 || (qel::ComposeDefinition(frm->document()) == opened && edit->text() == "pkg")) << name;
    }
    EXPECT_EQ(qel::ComposeDefinition(frm->document()), edited);
    EXPECT_EQ(edit->text() + find<QLineEdit>("eImageX")->text(), "pkg24");
    QTest::keyClicks(find<QLineEdit>("eObjectX"), QStringLiteral("7"));  // the object editor's typing is its own
    QTest::keyClick(find<QLineEdit>("eObjectX"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(find<QLineEdit>("eObjectX")->text(), "100");
    for (int i = 0; i < 5; ++i)  // back to the typing, which other steps followed: new typing is a new step
        frm->UndoExecute();
    QTest::keyClicks(edit, QStringLiteral("3"));
    EXPECT_EQ(frm->session().history().count(), 2);
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "pkg2");
}

}  // namespace
