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
    auto* window = find<QWidget>("CompilerOutput");
    auto* text = find<QPlainTextEdit>("CompilerText");
    auto* stop = find<QPushButton>("StopCompiler");
    auto* run = frm->findChild<qel::app::CompilerRun*>();
    ASSERT_TRUE(run && launcher.watch.finished);
    const QString log = launcher.calls.back().logFile;
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Compiler Output - harbour.ini"));
    EXPECT_EQ(find<QLabel>("CompilerCommand")->text(), "\"/tools/build level\" " + path("harbour.ini"));
    EXPECT_EQ(find<QLabel>("CompilerLog")->text(), "Log: " + log);
    EXPECT_TRUE(log.startsWith(path("logs/harbour-")));
    EXPECT_EQ(stop->text(), QStringLiteral("&Stop"));

    // Pieces bigger and smaller than what is kept; once output is dropped,
    // the text starts at a line start under the line that says so.
    const qsizetype kept = qel::app::CompilerRun::kKeptOutput;
    QByteArray all;
    const auto say = [&](const QByteArray& bytes) {
        launcher.say(bytes);
        all += bytes;
        run->readLog();
        // Shown in batches: wait for the end of what was said.
        const QString last = QString::fromLatin1(all.right(6));
        EXPECT_TRUE(QTest::qWaitFor([&] { return text->toPlainText().endsWith(last); }, 5000));
    };
    say("\xe9 first\n");
    EXPECT_EQ(text->toPlainText(), QStringLiteral("\u00e9 first\n"));
    say(QByteArray("1234567\n").repeated(kept / 8 - 2));
    say(QByteArray("abcdefghi\n").repeated(40));
    say("x");
    const qsizetype from = all.indexOf('\n', all.size() - kept) + 1;
    const QString header =
        QStringLiteral("(%1 bytes of earlier output not kept; the whole run is in %2)").arg(from).arg(log);
    EXPECT_EQ(text->toPlainText(), header + '\n' + QString::fromLatin1(all.mid(from)));
    say(QByteArray("z").repeated(kept + 5) + "\ntail\n");
    EXPECT_EQ(text->toPlainText().section('\n', 1), QStringLiteral("tail\n"));

    stop->click();
    EXPECT_EQ(launcher.stops, 1);
    launcher.end({true, 15});
    EXPECT_TRUE(find<QLabel>("CompilerEnd")->text().startsWith(QStringLiteral("Stopped after ")));
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_EQ(find<QStatusBar>("Status")->currentMessage(), QStringLiteral("Compiler stopped"));

    struct End {
        qel::platform::ProcessEnd how;
        QString shown;
        QString status;
    };
    for (const End& e : {End{{false, 3}, "Finished with exit code 3 in ", "Compiler finished with exit code 3"},
                         End{{true, 11}, "Ended by signal SIGSEGV after ", "Compiler ended by signal SIGSEGV"}}) {
        frm->CompileExecute();
        launcher.end(e.how);
        EXPECT_TRUE(find<QLabel>("CompilerEnd")->text().startsWith(e.shown)) << e.shown.toStdString();
        EXPECT_EQ(find<QStatusBar>("Status")->currentMessage(), e.status);
    }

    // While one runs, Compile asks first; No starts nothing.
    frm->CompileExecute();
    const std::size_t started = launcher.calls.size();
    prompter.confirmAnswers.push_back(false);
    frm->CompileExecute();
    EXPECT_EQ(launcher.calls.size(), started);
    EXPECT_EQ(prompter.noDefaultConfirmations.back(),
              QStringLiteral("The compiler is still running. Stop it and start again?"));
    launcher.end({false, 0});

    launcher.failure = "No such file";
    frm->CompileExecute();
    EXPECT_EQ(find<QLabel>("CompilerEnd")->text(), QStringLiteral("Could not start: No such file"));
    EXPECT_TRUE(text->toPlainText().isEmpty());
}

}  // namespace
