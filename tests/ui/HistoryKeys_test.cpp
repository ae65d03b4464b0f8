// Ctrl+Y and Ctrl+Shift+Z redo what Ctrl+Z undid in an edit, whichever undo
// (the edit's own or the document's) took the key. Some platforms bind only
// Ctrl+Shift+Z to an edit's own redo (X11 does), so run under xcb as well.

#include <QLineEdit>
#include <QTest>

#include "MainWindowFixture.h"

namespace {

class HistoryKeysTest : public MainWindowTest {};

TEST_F(HistoryKeysTest, RedoAfterUndoingTyping)
{
    writeFile(path("d.ini"), "OutFile=pkg\r\n");
    open(path("d.ini"));
    frm->show();
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    auto* edit = find<QLineEdit>("eOutFile");
    struct Row {
        const char* name;
        bool undoFromMenu;  // the document's undo, not the edit's, took the typing back
        QKeyCombination redo;
    };
    const Row rows[] = {
        {"the edit's undo, Ctrl+Y", false, Qt::ControlModifier | Qt::Key_Y},
        {"the edit's undo, Ctrl+Shift+Z", false, Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z},
        {"the menu's undo, Ctrl+Y", true, Qt::ControlModifier | Qt::Key_Y},
        {"the menu's undo, Ctrl+Shift+Z", true, Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("new"));
        ASSERT_EQ(frm->document().outFile(), "new");
        if (row.undoFromMenu)
            frm->UndoExecute();
        else
            QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(frm->document().outFile(), "pkg");
        EXPECT_EQ(edit->text(), QStringLiteral("pkg"));
        QTest::keyClick(edit, row.redo.key(), row.redo.keyboardModifiers());
        EXPECT_EQ(frm->document().outFile(), "new");
        EXPECT_EQ(edit->text(), QStringLiteral("new"));
        EXPECT_TRUE(frm->session().modified());
        // And back, so the next row starts where this one did.
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(frm->document().outFile(), "pkg");
    }
}

}  // namespace
