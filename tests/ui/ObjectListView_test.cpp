// The object list's own arithmetic: rows placed by their number, ranges
// chosen by mouse and keyboard, and scrolling that follows the current row.
#include <gtest/gtest.h>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStringListModel>
#include <QTest>
#include <functional>

#include "ui/ObjectListView.h"

using qel::ui::ObjectListView;

namespace {

void Click(ObjectListView& view, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers,
                      view.visualRect(view.model()->index(row, 0)).center());
}

TEST(ObjectListView, SelectsAndScrollsByRowNumbers)
{
    const struct {
        const char* name;
        std::function<void(ObjectListView&)> act;
        std::vector<std::pair<std::size_t, std::size_t>> selected;
        int current, firstShownRow;
    } cases[] = {
        {"ShiftClick", [](auto& v) { Click(v, 2), Click(v, 7, Qt::ShiftModifier); }, {{2, 7}}, 7, 0},
        {"End", [](auto& v) { Click(v, 1), QTest::keyClick(&v, Qt::Key_End); }, {{999, 999}}, 999, 990},
        {"ShiftPageDown",
         [](auto& v) { Click(v, 5), QTest::keyClick(&v, Qt::Key_PageDown, Qt::ShiftModifier); },
         {{5, 15}},
         15,
         6},
    };
    QStringList lines;
    for (int i = 0; i < 1000; ++i)
        lines << QString::number(i);
    QStringListModel model(lines);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ObjectListView view;
        view.setModel(&model);
        view.resize(200, 10 * view.rowHeight() + 2 * view.frameWidth());  // ten rows in view
        view.show();
        c.act(view);
        EXPECT_EQ(view.rowSelection().ranges, c.selected);
        EXPECT_EQ(view.currentIndex().row(), c.current);
        EXPECT_EQ(view.verticalScrollBar()->value(), c.firstShownRow);
        EXPECT_EQ(view.indexAt(view.visualRect(view.currentIndex()).center()), view.currentIndex());
    }
}

// Rows below a change move: the view must repaint them, not only the
// changed row, or it shows lines the list no longer has.
TEST(ObjectListView, RepaintsTheRowsThatMoveWhenRowsComeOrGo)
{
    const struct {
        const char* name;
        std::function<void(QStringListModel&)> change;
    } cases[] = {
        {"RemoveOne", [](auto& m) { m.removeRows(2, 1); }},
        {"InsertOne", [](auto& m) { m.insertRows(2, 1); }},
        {"Reset", [](auto& m) { m.setStringList({"a"}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QStringListModel model(QStringList({"0", "1", "2", "3", "4"}));
        ObjectListView view;
        view.setModel(&model);
        view.resize(200, 10 * view.rowHeight() + 2 * view.frameWidth());
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        QRegion painted;
        struct Recorder : QObject {
            QRegion& region;
            explicit Recorder(QRegion& r) : region(r) {}
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Paint)
                    region += static_cast<QPaintEvent*>(e)->region();
                return false;
            }
        } recorder(painted);
        view.viewport()->installEventFilter(&recorder);
        c.change(model);
        QCoreApplication::processEvents();
        const QRect lastOldRow(0, 4 * view.rowHeight(), view.viewport()->width(), view.rowHeight());
        EXPECT_TRUE(painted.contains(lastOldRow.center())) << "the fifth row is drawn again";
    }
}

}  // namespace
