// The Edit menu's commands on many objects, by their keys, on the list in
// view; an edit with the focus keeps Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+A.

#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include "core/DefinitionWriter.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/ObjectListView.h"

namespace {

class ObjectClipboardTest : public MainWindowTest {};

std::string MapLines(const qel::DefinitionDocument& doc)
{
    std::string out;
    for (std::size_t row = 0; row < doc.mapObjects().size(); ++row)
        out += std::string(doc.mapObjects().line(row)) + ";";
    return out;
}

TEST_F(ObjectClipboardTest, KeysWorkOnTheListInViewAndUndoPutsRowsAndSelectionBack)
{
    writeFile(path("d.ini"),
              "[objectimages]\r\nIMAGE0=a.bmp\r\n[mapobjects]\r\n1,2,IMAGE0\r\n9,5,image1\r\n7,8,IMAGE0\r\n");
    open(path("d.ini"));
    frm->show();
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    auto* list = find<qel::ui::ObjectListView>("MapObjectList");
    const std::string opened = MapLines(frm->document());
    struct Case {
        std::vector<std::size_t> selected;  // the last one current
        QKeyCombination key;
        QString clipboardBefore;
        std::string lines;  // after the key
        QString clipboardAfter;
        std::vector<std::size_t> selectedAfter;
        QString error;
    };
    const auto ctrl = [](Qt::Key key) { return QKeyCombination(Qt::CTRL, key); };
    const QString two = "3,3,IMAGE1\r\n\n4,4,IMAGE0";
    const QString refused = "Line 2 of the pasted text: '0 2' is not a valid integer value.";
    const Case cases[] = {
        {{0, 2}, ctrl(Qt::Key_C), "", opened, "1,2,IMAGE0\r\n7,8,IMAGE0\r\n", {0, 2}, ""},
        {{1}, ctrl(Qt::Key_X), "", "1,2,IMAGE0;7,8,IMAGE0;", "9,5,image1\r\n", {}, ""},
        {{0}, ctrl(Qt::Key_V), two, "1,2,IMAGE0;3,3,IMAGE1;4,4,IMAGE0;9,5,image1;7,8,IMAGE0;", "", {1, 2}, ""},
        {{}, ctrl(Qt::Key_V), "9,9,IMAGE0", opened + "9,9,IMAGE0;", "", {3}, ""},
        {{2}, ctrl(Qt::Key_V), "", opened, "", {2}, ""},
        {{2}, ctrl(Qt::Key_V), "1,1,IMAGE0\r\n1,1,IMAGE0 2", opened, "", {2}, refused},
        {{1, 2}, ctrl(Qt::Key_D), "", opened + "25,21,image1;23,24,IMAGE0;", "", {3, 4}, ""},
        {{1}, ctrl(Qt::Key_A), "", opened, "", {0, 1, 2}, ""},
        {{2}, QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_A), "", opened, "", {0, 2}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error.toStdString() + " " + std::to_string(c.key.toCombined()));
        clipboard.held = c.clipboardBefore;
        list->showRowSelection(qel::app::RowSelection::ofRows(
            c.selected, c.selected.empty() ? std::nullopt : std::optional(c.selected.back())));
        list->setFocus();
        const int steps = frm->session().history().index();
        QTest::keyClick(list, c.key.key(), c.key.keyboardModifiers());
        EXPECT_EQ(MapLines(frm->document()), c.lines);
        EXPECT_EQ(clipboard.held, c.clipboardAfter.isEmpty() ? c.clipboardBefore : c.clipboardAfter);
        EXPECT_EQ(list->rowSelection().rows(), c.selectedAfter);
        EXPECT_EQ(prompter.errors, c.error.isEmpty() ? std::vector<QString>{} : std::vector<QString>{c.error});
        prompter.errors.clear();
        if (frm->session().history().index() > steps) {
            frm->UndoExecute();
            EXPECT_EQ(MapLines(frm->document()), opened);
            EXPECT_EQ(list->rowSelection().rows(), c.selected);
        }
    }
    list->showRowSelection(qel::app::RowSelection::ofRows({0, 2}, 2));
    for (auto [row, after] : {std::pair{2, std::vector<std::size_t>{0, 2}}, {1, {1}}}) {  // a right press
        const QPointF at = list->visualRect(list->model()->index(row, 0)).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &press);
        EXPECT_EQ(list->rowSelection().rows(), after);
    }
    auto* edit = find<QLineEdit>("eObjectX");
    edit->setText(QStringLiteral("42"));
    edit->setFocus();
    for (Qt::Key key : {Qt::Key_A, Qt::Key_C, Qt::Key_X, Qt::Key_V, Qt::Key_V})
        QTest::keyClick(edit, key, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "4242");
    EXPECT_EQ(MapLines(frm->document()), opened);
}

}  // namespace
