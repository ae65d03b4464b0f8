// The Problems window: counts as the status bar says them, errors first, and
// a double-click that names the problem's list and row.

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "DocumentSession.h"
#include "FakePictureService.h"
#include "ProblemMonitor.h"
#include "ProblemPictures.h"
#include "ProblemsView.h"

using namespace qel;

namespace {

TEST(ProblemCountsText, SaysWhatThereIs)
{
    struct Row {
        app::ProblemCounts counts;
        const char* text;
    };
    const Row rows[] = {
        {{0, 0, 0}, "No problems"},
        {{0, 0, 5}, "No problems"},  // infos are in the window only
        {{1, 0, 2}, "1 error"},
        {{0, 1, 0}, "1 warning"},
        {{2, 1, 0}, "2 errors, 1 warning"},
        {{1, 12, 0}, "1 error, 12 warnings"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ui::ProblemCountsText(row.counts).toStdString(), row.text);
}

TEST(ProblemsView, ErrorsFirstAndDoubleClickNamesTheRow)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("def.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // A warning on map row 0 comes before the error on map row 1 in the file.
    file.write("OutFile=pkg\n[objectimages]\nIMAGE0=\n[mapobjects]\n-1,0,IMAGE0\n1,1,IMAGE4\n");
    file.close();

    platform::FakePictureService service;
    app::DocumentSession session;
    app::ProblemPictures pictures(&service);
    app::ProblemMonitor monitor(session, pictures);
    ui::ProblemsView view(monitor);
    session.open(file.fileName().toStdString());
    monitor.finishChecking();
    view.show();

    auto* list = view.findChild<QTableView*>(QStringLiteral("ProblemsList"));
    ASSERT_NE(list, nullptr);
    QAbstractItemModel* model = list->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->index(0, 0).data().toString(), "error");
    EXPECT_EQ(model->index(1, 0).data().toString(), "error");
    EXPECT_EQ(model->index(2, 0).data().toString(), "warning");
    EXPECT_EQ(model->index(2, 3).data().toInt(), 5);  // the off-map row's line

    QSignalSpy activated(&view, &ui::ProblemsView::problemActivated);
    const QRect cell = list->visualRect(model->index(1, 1));
    // A double-click as the system sends it: a click, then the second press.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated[0][0].value<ProblemPlace>(), ProblemPlace::MapObjects);
    EXPECT_EQ(activated[0][1].toInt(), 1);
}

}  // namespace
