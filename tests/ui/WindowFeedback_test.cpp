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

TEST_F(WindowFeedbackTest, CompilerOutputFollowsTheLogFromALineStartAndTellsTheEnd)
{
    frm->settings().setCompilerPathAndStore(QStringLiteral("/tools/build level"));
    writeFile(path("harbour.ini"), "OutFile=a\r\n\r\n");
    open(path("harbour.ini"));
    frm->CompileExecute();
    auto* text = find<QPlainTextEdit>("CompilerText");
    const QString log = launcher.calls.back().logFile;
    EXPECT_EQ(find<QWidget>("CompilerOutput")->windowTitle(), QStringLiteral("Compiler Output - harbour.ini"));
    EXPECT_EQ(find<QLabel>("CompilerCommand")->text(), "\"/tools/build level\" " + path("harbour.ini"));
    EXPECT_EQ(find<QLabel>("CompilerLog")->text(), "Log: " + log);

    // More than is kept: the text starts at a line start under a line that says so.
    const QByteArray all = "\xe9 first\n" + QByteArray("1234567\n").repeated(qel::app::CompilerRun::kKeptOutput / 8);
    writeFile(log, all.toStdString());
    frm->findChild<qel::app::CompilerRun*>()->readLog();
    const QString header = QStringLiteral("(8 bytes of earlier output not kept; the whole run is in %1)\n").arg(log);
    EXPECT_TRUE(QTest::qWaitFor([&] { return text->toPlainText() == header + QString::fromLatin1(all.mid(8)); }));
    find<QPushButton>("StopCompiler")->click();
    EXPECT_EQ(launcher.stops, 1);
    launcher.watch.finished({true, 15});
    EXPECT_TRUE(find<QLabel>("CompilerEnd")->text().startsWith(QStringLiteral("Stopped after ")));
    EXPECT_FALSE(find<QPushButton>("StopCompiler")->isEnabled());
    EXPECT_EQ(find<QStatusBar>("Status")->currentMessage(), QStringLiteral("Compiler stopped"));

    // While one runs, Compile asks first; No starts nothing.
    frm->CompileExecute();
    prompter.confirmAnswers.push_back(false);
    frm->CompileExecute();
    EXPECT_EQ(launcher.calls.size(), 2u);
    EXPECT_EQ(prompter.confirmations.back(), QStringLiteral("The compiler is still running. Stop it and start again?"));
    launcher.watch.finished({true, 11});
    EXPECT_EQ(find<QStatusBar>("Status")->currentMessage(), QStringLiteral("Compiler ended by signal SIGSEGV"));
}

}  // namespace
