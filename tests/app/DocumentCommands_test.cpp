// The document commands without a window: what each asks, in order, and how
// it ends; a failure comes back to the caller rather than being shown.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <deque>
#include <functional>
#include <utility>

#include "app/AppSettings.h"
#include "app/DocumentCommands.h"
#include "app/DocumentSession.h"
#include "app/OutFileSteps.h"
#include "app/RecoveryStore.h"
#include "core/Errors.h"
#include "core/io/FileIo.h"
#include "platform/FileOperations.h"
#include "tests/fakes/FakeProcessLauncher.h"
#include "tests/fakes/FakeRecoveryFolder.h"
#include "tests/fakes/FakeSettingsStore.h"

namespace {

using qel::app::CommandStatus;
using qel::app::SaveChangesAnswer;
using Outcome = CommandStatus::Outcome;

// Answers from queues and writes down every question and notice.
class ScriptedQuestions : public qel::app::CommandQuestions {
public:
    std::vector<std::string> asked;
    std::deque<bool> yes;
    std::deque<SaveChangesAnswer> saveChanges;
    std::deque<QString> files;

    void error(const QString& text) override { note("error", text); }
    void information(const QString& text) override { note("information", text); }
    bool confirm(const QString& text) override { return note("confirm", text), take(yes); }
    bool confirmNoDefault(const QString& text) override { return note("confirmNoDefault", text), take(yes); }
    SaveChangesAnswer askSaveChanges(const QString& text) override
    {
        return note("saveChanges", text), take(saveChanges);
    }
    QString openFile(const QString& filter) override { return note("open", filter), take(files); }
    QString saveFile(const QString& filter) override { return note("save", filter), take(files); }
    void failed(std::exception_ptr) override { note("failed", {}); }

private:
    void note(const char* kind, const QString& text) { asked.push_back(kind + (": " + text.toStdString())); }
    template <class T>
    static T take(std::deque<T>& answers)
    {
        if (answers.empty()) {
            ADD_FAILURE() << "an unexpected question";
            return T();
        }
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

std::string MessageOf(const CommandStatus& status)
{
    try {
        if (status.failure)
            std::rethrow_exception(status.failure);
    } catch (const qel::Error& error) {
        return error.message();
    }
    return {};
}

class DocumentCommandsTest : public ::testing::Test {
public:
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    static void write(const std::string& file, const std::string& bytes)
    {
        QFile out(QString::fromStdString(file));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    static std::string read(const std::string& file)
    {
        QFile in(QString::fromStdString(file));
        return in.open(QIODevice::ReadOnly) ? in.readAll().toStdString() : "<missing>";
    }
    void type(const char* text) { session.push(std::make_unique<qel::app::SetOutFileStep>(session, text)); }

    QTemporaryDir dir;
    qel::app::DocumentSession session;
    qel::platform::FakeRecoveryFolder recoveryDisk;
    qel::app::RecoveryStore recovery{session, recoveryDisk, {}};
    qel::platform::FakeSettingsStore store;
    qel::app::AppSettings settings{store};
    qel::platform::FakeProcessLauncher launcher;
    ScriptedQuestions questions;
    int resets = 0;
    qel::platform::QtFileOperations files;
    qel::app::DocumentCommands commands{
        session, recovery,  settings,
        files,   questions, {[this] { ++resets, session.newDocument(); }, [] { return qel::app::ViewState{}; }}};
};

TEST_F(DocumentCommandsTest, EachCommandAsksInTurnAndEndsDoneCancelledOrFailed)
{
    const std::string saveDialog = "save: INI-File (*.ini)";
    const struct {
        const char* name;
        std::function<void(DocumentCommandsTest&)> arrange;
        std::function<CommandStatus(qel::app::DocumentCommands&)> command;
        Outcome outcome;
        std::string message;  // of a failure; "?" for any
        std::vector<std::string> asked;
        const char* outFile;  // the document afterwards
    } cases[] = {
        {"Save untitled, dialog cancelled",
         [](auto& t) { t.questions.files.push_back({}); },
         [](auto& c) { return c.save(); },
         Outcome::Cancelled,
         "",
         {saveDialog},
         ""},
        {"Save As over a file, No",
         [](auto& t) {
             t.write(t.path("x.ini"), "old");
             t.questions.files.push_back(QString::fromStdString(t.path("x")));
             t.questions.yes.push_back(false);
         },
         [](auto& c) { return c.saveAs(); },
         Outcome::Cancelled,
         "",
         {saveDialog, "confirm: x.ini already exists. Replace it?"},
         ""},
        {"Save As into no folder",
         [](auto& t) { t.questions.files.push_back(QString::fromStdString(t.path("none/y.ini"))); },
         [](auto& c) { return c.saveAs(); },
         Outcome::Failed,
         "?",
         {saveDialog},
         ""},
        {"Compile without a compiler",
         [](auto&) {},
         [](auto& c) { return c.compile(); },
         Outcome::Failed,
         "No Compiler selected, select one from the options screen!",
         {},
         ""},
        {"New over unsaved work, Cancel",
         [](auto& t) {
             t.type("typed");
             t.questions.saveChanges.push_back(SaveChangesAnswer::Cancel);
         },
         [](auto& c) { return c.newDocument(); },
         Outcome::Cancelled,
         "",
         {"saveChanges: Save changes to Untitled?"},
         "typed"},
        {"New over unsaved work, Yes, the save fails",
         [](auto& t) {
             t.type("typed");
             t.questions.saveChanges.push_back(SaveChangesAnswer::Yes);
             t.questions.files.push_back(QString::fromStdString(t.path("none/z.ini")));
         },
         [](auto& c) { return c.newDocument(); },
         Outcome::Failed,
         "?",
         {"saveChanges: Save changes to Untitled?", saveDialog},
         "typed"},
        {"New over unsaved work, No",
         [](auto& t) {
             t.type("typed");
             t.questions.saveChanges.push_back(SaveChangesAnswer::No);
         },
         [](auto& c) { return c.newDocument(); },
         Outcome::Done,
         "",
         {"saveChanges: Save changes to Untitled?"},
         ""},
        {"Open a file that is not there",
         [](auto&) {},
         [&](auto& c) { return c.open(path("gone.ini")); },
         Outcome::Failed,
         "?",
         {},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        session.newDocument();
        questions.asked.clear();
        c.arrange(*this);
        const CommandStatus status = c.command(commands);
        EXPECT_EQ(status.outcome, c.outcome);
        EXPECT_EQ(status.done(), c.outcome == Outcome::Done);
        if (c.message == "?")
            EXPECT_FALSE(MessageOf(status).empty());
        else
            EXPECT_EQ(MessageOf(status), c.message);
        EXPECT_EQ(questions.asked, c.asked) << "a failure is the caller's to show";
        EXPECT_EQ(session.document().outFile(), c.outFile);
    }
    EXPECT_EQ(read(path("x.ini")), "old");
    EXPECT_TRUE(launcher.calls.empty());
}

TEST_F(DocumentCommandsTest, AReReadAsksOnlyOverUnsavedWorkAndTheLinesItIgnoresAreAskedForAtTheNextSave)
{
    const std::string file = path("d.ini");
    write(file, "OutFile=a\r\n");
    ASSERT_TRUE(commands.open(file).done());
    write(file, "OutFile=b\r\njunk\r\n");
    const CommandStatus quiet = commands.reread();
    EXPECT_TRUE(quiet.done());
    EXPECT_EQ(quiet.notice, "d.ini was changed on disk and read again");
    EXPECT_EQ(session.document().outFile(), "b");
    EXPECT_TRUE(questions.asked.empty());

    type("mine");
    write(file, "OutFile=c\r\n");
    questions.yes = {false, true, true};
    const CommandStatus kept = commands.reread();
    EXPECT_EQ(kept.outcome, Outcome::Cancelled);
    EXPECT_TRUE(kept.notice.empty());
    EXPECT_EQ(session.document().outFile(), "mine");
    EXPECT_TRUE(commands.save().done());
    EXPECT_EQ(questions.asked,
              std::vector<std::string>({
                  "confirmNoDefault: d.ini was changed on disk. Read it again and lose your changes?",
                  "confirmNoDefault: d.ini was changed on disk since it was read. Replace it with this definition?",
                  "confirmNoDefault: 1 line of d.ini is not part of the definition and will be lost. Save anyway?",
              }));
    EXPECT_EQ(read(file), "OutFile=mine\r\n\r\n");
}

// Another program's save at the two edges of ours: just before the replace
// it is met by the question; just after it, it is never taken for ours.
TEST_F(DocumentCommandsTest, AnotherProgramsSaveAtTheReplaceIsNeverTakenForOurs)
{
    const std::string file = path("d.ini");
    const struct {
        const char* what;
        qel::SavePoint at;
        std::deque<bool> answers;
        const char* left;  // what the file holds after the save
        bool changed;      // what the session sees after it
    } cases[] = {
        {"before the replace, kept", qel::SavePoint::BeforeReplaceCheck, {false}, "theirs", true},
        {"before the replace, replaced", qel::SavePoint::BeforeReplaceCheck, {true}, "OutFile=ours\r\n\r\n", false},
        {"after the replace", qel::SavePoint::Replaced, {}, "theirs", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        write(file, "OutFile=a\r\n\r\n");
        ASSERT_TRUE(commands.open(file).done());
        type("ours");
        bool once = true;
        qel::SetSavePointCall([&](qel::SavePoint point) {
            if (point != c.at || !std::exchange(once, false))
                return;
            write(path("new"), "theirs");
            ASSERT_EQ(std::rename(path("new").c_str(), file.c_str()), 0);
        });
        questions.yes = c.answers;
        questions.asked.clear();
        commands.save();
        qel::SetSavePointCall({});
        EXPECT_EQ(read(file), c.left);
        EXPECT_EQ(questions.asked.size(), c.answers.size());
        EXPECT_EQ(session.diskChange() == qel::app::DiskChange::Changed, c.changed);
    }
}

}  // namespace
