// What the window tells the user: "*" while work is unsaved, keys that never
// type, recent files, and the compiler's output.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "app/CompilerRun.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/MapView.h"

namespace {

class WindowFeedbackTest : public MainWindowTest {
protected:
    void type(const QString& text)
    {
        auto* edit = find<QLineEdit>("eOutFile");
        edit->setText(text);
        emit edit->textEdited(text);
    }
    QString mapTitle()
    {
        auto* view = frm->findChild<qel::ui::MapView*>(QStringLiteral("MapView"));
        return view ? view->windowTitle() : QString();
    }
};

TEST_F(WindowFeedbackTest, TitlesMarkUnsavedWorkUntilUndoReachesTheSavedStep)
{
    find<QAction>("MapView1")->trigger();
    struct Case {
        const char* file;
        QString title;
        QString map;
    };
    const Case cases[] = {{nullptr, "QEL v2 [Tarnwick]", "Map - Untitled"},
                          {"harbour.ini", "harbour.ini - QEL v2 [Tarnwick]", "Map - harbour.ini"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        if (c.file) {
            writeFile(path(c.file), "OutFile=a\r\n\r\n");
            frm->OpenPath(path(c.file));
        }
        EXPECT_EQ(frm->windowTitle(), c.title);
        type(QStringLiteral("b"));
        EXPECT_EQ(frm->windowTitle(), '*' + c.title);
        EXPECT_EQ(mapTitle(), '*' + c.map);
        frm->UndoExecute();
        EXPECT_EQ(frm->windowTitle(), c.title);
        EXPECT_EQ(mapTitle(), c.map);
    }
}

TEST_F(WindowFeedbackTest, AltWithALetterNeverTypesIntoAnEdit)
{
    frm->show();
    auto* edit = find<QLineEdit>("eOutFile");
    edit->setText(QStringLiteral("pkg"));
    edit->setFocus();
    for (const Qt::Key key : {Qt::Key_F, Qt::Key_X})
        QTest::keyClick(edit, key, Qt::AltModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("pkg"));
    QTest::keyClick(edit, Qt::Key_X);
    EXPECT_EQ(edit->text(), QStringLiteral("pkgx"));
}

TEST_F(WindowFeedbackTest, RecentFilesKeepTheNewestTenAndLoseOneThatIsGone)
{
    for (int i = 1; i <= 11; ++i) {
        writeFile(path(QStringLiteral("d%1.ini").arg(i)), "OutFile=a\r\n\r\n");
        open(path(QStringLiteral("d%1.ini").arg(i)));
        ASSERT_EQ(frm->recentFiles().paths().size(), std::min(i, 10));
    }
    EXPECT_EQ(frm->recentFiles().paths().front(), path("d11.ini"));
    EXPECT_EQ(frm->recentFiles().paths().back(), path("d2.ini"));
    auto* newest = find<QAction>("RecentFile1");
    EXPECT_EQ(newest->text(), QStringLiteral("d11.ini"));
    EXPECT_EQ(newest->toolTip(), dir.path());

    // Kept beside the settings: a new window reads them back.
    frm = std::make_unique<TMainFrm>(prompter, store, launcher, services);
    EXPECT_EQ(frm->recentFiles().paths().size(), 10);

    type(QStringLiteral("changed"));
    QFile::remove(path("d5.ini"));
    using Answer = qel::ui::SaveChangesAnswer;
    for (const auto& [answer, listed] : {std::pair{Answer::Cancel, true}, std::pair{Answer::No, false}}) {
        prompter.saveChangesAnswers.push_back(answer);
        frm->OpenRecent(path("d5.ini"));
        EXPECT_EQ(frm->recentFiles().paths().contains(path("d5.ini")), listed);
    }
    EXPECT_EQ(prompter.saveQuestions.size(), 2u);
    ASSERT_EQ(prompter.errors.size(), 1u);
    EXPECT_EQ(frm->recentFiles().paths().size(), 9);
}

TEST_F(WindowFeedbackTest, CompilerOutputShowsTheRunItsEndAndOnlyTheLastMebibyte)
{
    frm->settings().setCompilerPathAndStore(QStringLiteral("/tools/build level"));
    writeFile(path("harbour.ini"), "OutFile=a\r\n\r\n");
    open(path("harbour.ini"));
    frm->CompileExecute();
    auto* window = find<QWidget>("CompilerOutput");
    auto* text = find<QPlainTextEdit>("CompilerText");
    auto* stop = find<QPushButton>("StopCompiler");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Compiler Output - harbour.ini"));
    EXPECT_EQ(find<QLabel>("CompilerCommand")->text(), "\"/tools/build level\" " + path("harbour.ini"));
    EXPECT_EQ(find<QStatusBar>("Status")->currentMessage(), QStringLiteral("Compiling harbour.ini..."));
    ASSERT_TRUE(launcher.watch.output && launcher.watch.finished);

    // A piece of 64 KiB or more is shown at once; smaller ones at the end.
    const qsizetype kept = qel::app::CompilerRun::kKeptOutput;
    const QByteArray lines = QByteArray("1234567\n").repeated(kept / 8 - 2);
    const QByteArray more = QByteArray("abcdefg\n").repeated(8192 + 1);
    QByteArray all = "\xe9 first\n";
    launcher.watch.output(all);
    for (const QByteArray& piece : {lines, more, QByteArray("end")}) {
        launcher.watch.output(piece);
        all += piece;
        if (piece.size() >= 65536) {
            EXPECT_EQ(text->toPlainText(), QString::fromLatin1(all.right(std::min(all.size(), kept))));
        }
    }
    stop->click();
    EXPECT_EQ(launcher.stops, 1);
    launcher.watch.finished(3);
    EXPECT_TRUE(find<QLabel>("CompilerEnd")->text().startsWith(QStringLiteral("Finished with exit code 3 in ")));
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_EQ(text->toPlainText(), QString::fromLatin1(all.right(kept)));
    EXPECT_EQ(find<QStatusBar>("Status")->currentMessage(), QStringLiteral("Compiler finished with exit code 3"));

    launcher.failure = "No such file";
    frm->CompileExecute();
    EXPECT_EQ(find<QLabel>("CompilerEnd")->text(), QStringLiteral("Could not start: No such file"));
    EXPECT_TRUE(text->toPlainText().isEmpty());
}

}  // namespace
