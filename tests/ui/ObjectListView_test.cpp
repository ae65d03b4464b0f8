// The object list's own arithmetic: rows placed by their number, ranges
// chosen by mouse and keyboard, and the scroll range following the rows.
#include <QScrollBar>
#include <QStringListModel>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

#include "ObjectListView.h"

using qel::ui::ObjectListView;

namespace {

struct ViewCase {
    const char* name;
    std::function<void(ObjectListView&, QStringListModel&)> act;
    std::vector<std::pair<std::size_t, std::size_t>> selected;
    int current;
    int firstShownRow;  // -1: the last rows fill the view
};

class ObjectListViewTest : public ::testing::TestWithParam<ViewCase> {};

void Click(ObjectListView& view, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, view.visualRect(view.model()->index(row, 0)).center());
}

TEST_P(ObjectListViewTest, SelectsAndScrollsByRowNumbers)
{
    QStringList lines;
    for (int i = 0; i < 1000; ++i)
        lines << QString::number(i);
    QStringListModel model(lines);
    ObjectListView view;
    view.setModel(&model);
    view.resize(200, 10 * view.rowHeight() + 2 * view.frameWidth());
    view.show();
    const ViewCase& c = GetParam();
    c.act(view, model);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.rowSelection().ranges, c.selected);
    EXPECT_EQ(view.currentIndex().row(), c.current);
    const int rows = model.rowCount();
    EXPECT_EQ(view.verticalScrollBar()->value(), c.firstShownRow >= 0 ? c.firstShownRow : rows - 10);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), rows - 10);
    if (c.current >= 0) {
        EXPECT_EQ(view.indexAt(view.visualRect(view.currentIndex()).center()), view.currentIndex());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Views, ObjectListViewTest,
    ::testing::Values(
        ViewCase{"ShiftClickSelectsTheRange",
                 [](auto& v, auto&) {
                     Click(v, 2);
                     Click(v, 7, Qt::ShiftModifier);
                 },
                 {{2, 7}}, 7, 0},
        ViewCase{"ControlClickAddsARow",
                 [](auto& v, auto&) {
                     Click(v, 2);
                     Click(v, 5, Qt::ControlModifier);
                 },
                 {{2, 2}, {5, 5}}, 5, 0},
        ViewCase{"EndGoesToTheLastRowInView",
                 [](auto& v, auto&) {
                     Click(v, 1);
                     QTest::keyClick(&v, Qt::Key_End);
                 },
                 {{999, 999}}, 999, -1},
        ViewCase{"ShiftPageDownSelectsAPageFurther",
                 [](auto& v, auto&) {
                     Click(v, 5);
                     QTest::keyClick(&v, Qt::Key_PageDown, Qt::ShiftModifier);
                 },
                 {{5, 15}}, 15, 6},
        ViewCase{"RemovedRowsShrinkTheScrollRange",
                 [](auto& v, auto& m) {
                     QTest::keyClick(&v, Qt::Key_End);
                     m.removeRows(500, 500);
                 },
                 {}, 499, -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
