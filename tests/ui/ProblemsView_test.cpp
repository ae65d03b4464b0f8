// The Problems window: counts as the status bar says them, errors first, a
// double-click that names the problem's list and row, and through the main
// window the View menu entry, the counts and the cause made current.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/DocumentSession.h"
#include "app/ProblemMonitor.h"
#include "app/ProblemPictures.h"
#include "platform/FileOperations.h"
#include "tests/fakes/FakePictureService.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/ProblemsView.h"

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
    app::ProblemPictures pictures(service);
    platform::QtFileOperations files;
    app::ProblemMonitor monitor(session, pictures, files);
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

// Through the main window: View > Problems opens the window, the status bar
// counts, and a double-click shows the cause in its section.
class ProblemsWindow : public MainWindowTest {
protected:
    // Double-clicks the problem of that code; false when it is not listed.
    bool doubleClick(const char* code)
    {
        auto* view = frm->findChild<ui::ProblemsView*>(QStringLiteral("ProblemsView"));
        auto* list = view ? view->findChild<QTableView*>(QStringLiteral("ProblemsList")) : nullptr;
        if (list == nullptr)
            return false;
        QAbstractItemModel* model = list->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (!model->index(row, 1).data(Qt::ToolTipRole).toString().endsWith(QStringLiteral("[%1]").arg(code)))
                continue;
            list->scrollTo(model->index(row, 1));
            const QPoint at = list->visualRect(model->index(row, 1)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            return true;
        }
        return false;
    }
};

TEST_F(ProblemsWindow, DoubleClickShowsTheCause)
{
    writeFile(path(QStringLiteral("a.bmp")), "");
    // File row 1 is missing; IMAGE1 has no picture file; screen object 2 uses an undefined image.
    writeFile(path(QStringLiteral("def.ini")),
              "OutFile=pkg\nFile=a.bmp\nFile=gone.wav\n[objectimages]\nIMAGE0=a.bmp\n"
              "IMAGE1=\n[mapobjects]\n1,1,IMAGE0\n[screenobjects]\n3,3,IMAGE1\n"
              "7,8,IMAGE5\n");
    frm->OpenPath(path(QStringLiteral("def.ini")));
    frm->problemMonitor().finishChecking();
    auto* counts = find<QAbstractButton>("ProblemCounts");
    // a.bmp is empty: it does not decode either.
    EXPECT_EQ(counts->text(), "4 errors");

    counts->click();
    auto* view = frm->findChild<ui::ProblemsView*>(QStringLiteral("ProblemsView"));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());

    ASSERT_TRUE(doubleClick("object-image-undefined"));
    EXPECT_EQ(find<QComboBox>("ObjectsBox")->currentText(), "ScreenObjects");
    EXPECT_FALSE(find<QWidget>("ScreenObjectList")->isHidden());
    EXPECT_EQ(find<QAbstractItemView>("ScreenObjectList")->currentIndex().row(), 1);
    EXPECT_EQ(find<QLineEdit>("eObjectX")->text(), "7");

    ASSERT_TRUE(doubleClick("image-no-file"));
    EXPECT_EQ(find<QComboBox>("ImageBox")->currentIndex(), 1);

    ASSERT_TRUE(doubleClick("file-missing"));
    EXPECT_EQ(find<QAbstractItemView>("FileList")->currentIndex().row(), 1);
}

TEST_F(ProblemsWindow, ViewMenuEntryOpensIt)
{
    auto* entry = find<QAction>("Problems1");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    entry->trigger();
    auto* view = frm->findChild<ui::ProblemsView*>(QStringLiteral("ProblemsView"));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    // A new document has no out file.
    EXPECT_EQ(find<QAbstractButton>("ProblemCounts")->text(), "1 warning");
}

}  // namespace
