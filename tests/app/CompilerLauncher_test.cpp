// Compile: the two refusals, saving before the launch, and how the compiler
// is started (one argument per path, spaces included; wine for .exe files).

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <functional>

#include "app/AppSettings.h"
#include "app/CompilerLauncher.h"
#include "app/CompilerRun.h"
#include "app/DocumentSession.h"
#include "app/FileSteps.h"
#include "core/DefinitionDocument.h"
#include "core/DefinitionWriter.h"
#include "core/Errors.h"
#include "platform/ProcessLauncher.h"
#include "tests/fakes/FakeProcessLauncher.h"
#include "tests/fakes/FakeSettingsStore.h"

using qel::app::AppSettings;
using qel::app::CompilerProcess;
using qel::app::ComposeCompilerProcess;
using qel::app::NeedsWine;
using qel::platform::FakeProcessLauncher;
using qel::platform::FakeSettingsStore;

namespace {

std::string Bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteExecutable(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content);
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A script that writes its arguments one per line, and a copy of the file
// named by its last argument, then renames both into place so that a reader
// never sees them half written.
QByteArray RecorderScript(const QString& folder)
{
    const QByteArray out = QFile::encodeName(folder);
    return "#!/bin/sh\n"
           "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + out + "/args.tmp'\n"
           "for a in \"$@\"; do last=\"$a\"; done\n"
           "cat \"$last\" > '" + out + "/seen.tmp'\n"
           "mv '" + out + "/seen.tmp' '" + out + "/seen.ini'\n"
           "mv '" + out + "/args.tmp' '" + out + "/args.txt'\n";
}

// The detached process runs on its own: wait (boundedly) for its record.
bool WaitForFile(const QString& path)
{
    for (int i = 0; i < 3000 && !QFileInfo::exists(path); ++i)
        QThread::msleep(20);
    return QFileInfo::exists(path);
}

// Swaps PATH for the length of a test.
class PathOverride {
public:
    explicit PathOverride(const QByteArray& path) : saved_(qgetenv("PATH")) { qputenv("PATH", path); }
    ~PathOverride() { qputenv("PATH", saved_); }

private:
    QByteArray saved_;
};

class CompileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        doc_.setOutFile("objects.pkg");
        doc_.editFiles().push_back("picture.png");
    }

    void useCompiler(const QString& path)
    {
        store_.values = {{"Compiler", path}, {"Collect", 1}};
        settings_.load();
    }

    QString definitionPath() const { return dir_.filePath(QStringLiteral("my defs/level one.ini")); }

    QTemporaryDir dir_;
    FakeSettingsStore store_;
    AppSettings settings_{store_};
    FakeProcessLauncher launcher_;
    qel::app::DocumentSession session_;
    // What the session opens when compile() runs, unless the test made its
    // own changes in the session.
    qel::DefinitionDocument doc_;
    bool ownSession_ = false;

    // What Compile does once Save's questions are answered.
    void compile(qel::platform::ProcessLauncher& launcher)
    {
        if (!ownSession_)
            session_.adopt(doc_);
        qel::app::CheckCompileReady(session_.document(), settings_);
        session_.save();
        qel::app::StartCompiler(session_.document(), settings_, [&](const CompilerProcess& process) {
            running_ = launcher.run(process.program, process.arguments, dir_.filePath(QStringLiteral("run.log")), {});
        });
    }
    std::unique_ptr<qel::platform::RunningProcess> running_;
    void compile() { compile(launcher_); }
};

void ExpectMessage(const std::function<void()>& action, const std::string& message)
{
    try {
        action();
        ADD_FAILURE() << "no exception, expected: " << message;
    } catch (const qel::MessageError& e) {
        EXPECT_EQ(std::string(e.what()), message);
    }
}

TEST_F(CompileTest, NoCompilerIsReportedFirstAndNothingIsWritten)
{
    for (const bool withFile : {false, true}) {
        if (withFile)
            doc_.setCurrentFile(Bytes(definitionPath()));
        ExpectMessage([&] { compile(); }, "No Compiler selected, select one from the options screen!");
        EXPECT_FALSE(QFileInfo::exists(definitionPath()));
        EXPECT_TRUE(launcher_.calls.empty());
    }
}

TEST_F(CompileTest, NoFileIsReportedAndNothingIsStarted)
{
    useCompiler(QStringLiteral("/tools/BuildLevel"));
    ExpectMessage([&] { compile(); }, "Ini not saved or no ini opened!");
    EXPECT_TRUE(launcher_.calls.empty());
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());
}

TEST_F(CompileTest, SavesThenStartsTheCompilerWithThePathAsOneArgument)
{
    useCompiler(QStringLiteral("/tools/Build Level/BuildLevel"));
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("my defs")));
    doc_.setCurrentFile(Bytes(definitionPath()));
    session_.adopt(doc_);
    ownSession_ = true;
    session_.push(std::make_unique<qel::app::AddFilesStep>(session_, std::vector<std::string>{"sound.wav"}, false,
                                                           nullptr, nullptr));
    ASSERT_TRUE(session_.modified());

    compile();

    EXPECT_EQ(ReadAll(definitionPath()).toStdString(), qel::ComposeDefinition(session_.document()));
    EXPECT_FALSE(session_.modified());
    ASSERT_EQ(launcher_.calls.size(), 1u);
    EXPECT_EQ(launcher_.calls[0].program, QStringLiteral("/tools/Build Level/BuildLevel"));
    EXPECT_EQ(launcher_.calls[0].arguments, QStringList{definitionPath()});
}

TEST_F(CompileTest, FailedSaveDoesNotStartTheCompiler)
{
    useCompiler(QStringLiteral("/tools/BuildLevel"));
    // The folder "my defs" does not exist.
    doc_.setCurrentFile(Bytes(definitionPath()));
    EXPECT_THROW(compile(), qel::FileError);
    EXPECT_TRUE(launcher_.calls.empty());
}

TEST_F(CompileTest, LaunchFailureNamesTheCompilerAndTheReason)
{
    useCompiler(QStringLiteral("/tools/BuildLevel"));
    doc_.setCurrentFile(Bytes(dir_.filePath(QStringLiteral("a.ini"))));
    launcher_.failure = "execv: Permission denied";
    ExpectMessage([&] { compile(); }, "Cannot start the compiler '/tools/BuildLevel': execv: Permission denied");
}

struct CommandCase {
    const char* name;
    QString compiler;
    QString definition;
    bool throughWine;
    CompilerProcess expected;
};

class ComposeTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(ComposeTest, ComposesProgramAndArguments)
{
    const CommandCase& c = GetParam();
    EXPECT_EQ(ComposeCompilerProcess(c.compiler, c.definition, c.throughWine), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComposeTest,
    ::testing::Values(
        CommandCase{"Plain", "/t/BuildLevel", "/d/objects.ini", false, {"/t/BuildLevel", {"/d/objects.ini"}}},
        CommandCase{"SpacesStayInOneArgument",
                    "/my tools/BuildLevel",
                    "/my defs/a b.ini",
                    false,
                    {"/my tools/BuildLevel", {"/my defs/a b.ini"}}},
        CommandCase{"QuotesAndShellCharactersAreNotInterpreted",
                    "/t/BuildLevel",
                    "/d/\"x\" $(y);z.ini",
                    false,
                    {"/t/BuildLevel", {"/d/\"x\" $(y);z.ini"}}},
        CommandCase{
            "ThroughWine", "/t/Build Level.exe", "/d/a b.ini", true, {"wine", {"/t/Build Level.exe", "/d/a b.ini"}}}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

#ifndef Q_OS_WIN
TEST(NeedsWineTest, OnlyExeFilesAndOnlyWhenWineIsOnThePath)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    ASSERT_TRUE(WriteExecutable(bin.filePath(QStringLiteral("wine")), "#!/bin/sh\n"));
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());

    struct Case {
        QString compiler;
        bool withWine;
        bool expected;
    };
    const Case cases[] = {
        {"/t/BuildLevel.exe", true, true},       {"/t/BuildLevel.EXE", true, true},
        {"C:/Tools/BuildLevel.Exe", true, true}, {"/t/BuildLevel", true, false},
        {"/t/BuildLevel.exe.sh", true, false},   {"/t/exe", true, false},
        {"/t.exe/BuildLevel", true, false},      {"/t/BuildLevel.exe", false, false},
    };
    for (const Case& c : cases) {
        PathOverride path(QFile::encodeName(c.withWine ? bin.path() : empty.path()));
        EXPECT_EQ(NeedsWine(c.compiler), c.expected) << c.compiler.toStdString() << " wine=" << c.withWine;
    }
}

// --- the real launcher -------------------------------------------------------

class RealLaunchTest : public CompileTest {
protected:
    qel::platform::QtProcessLauncher real_;
};

TEST_F(RealLaunchTest, StubCompilerReceivesExactlyTheSavedDefinitionPath)
{
    const QString compiler = dir_.filePath(QStringLiteral("tool dir/BuildLevel"));
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("tool dir")));
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("my defs")));
    ASSERT_TRUE(WriteExecutable(compiler, RecorderScript(dir_.path())));
    useCompiler(compiler);
    doc_.setCurrentFile(Bytes(definitionPath()));

    compile(real_);

    ASSERT_TRUE(WaitForFile(dir_.filePath(QStringLiteral("args.txt"))));
    EXPECT_EQ(ReadAll(dir_.filePath(QStringLiteral("args.txt"))), QFile::encodeName(definitionPath()) + "\n");
    // What the compiler read is what the editor saved before starting it.
    EXPECT_EQ(ReadAll(dir_.filePath(QStringLiteral("seen.ini"))).toStdString(), qel::ComposeDefinition(doc_));
}

TEST_F(RealLaunchTest, ExeCompilerGoesThroughWineWhenAvailable)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    ASSERT_TRUE(WriteExecutable(bin.filePath(QStringLiteral("wine")), RecorderScript(dir_.path())));
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("my defs")));
    const QString compiler = QStringLiteral("/nowhere/Build Level/BuildLevel.exe");
    useCompiler(compiler);
    doc_.setCurrentFile(Bytes(definitionPath()));
    {
        PathOverride path(QFile::encodeName(bin.path()) + ":/usr/bin:/bin");
        compile(real_);
    }
    ASSERT_TRUE(WaitForFile(dir_.filePath(QStringLiteral("args.txt"))));
    EXPECT_EQ(ReadAll(dir_.filePath(QStringLiteral("args.txt"))),
              QFile::encodeName(compiler) + "\n" + QFile::encodeName(definitionPath()) + "\n");
}

// A printing compiler goes on when its run is let go of, as at the editor's
// end, and writes its whole log; Stop ends a compiler and its helper, which
// ignore TERM, within 2 s.
TEST_F(CompileTest, ARealCompilerOutlivesItsRunAndStopEndsItsWholeGroup)
{
    qel::platform::QtProcessLauncher real;
    const QString compiler = dir_.filePath(QStringLiteral("BuildLevel")), log = dir_.filePath(QStringLiteral("a.log"));
    const QByteArray pids = QFile::encodeName(dir_.filePath(QStringLiteral("pids")));
    auto run = std::make_unique<qel::app::CompilerRun>(real);
    ASSERT_TRUE(WriteExecutable(compiler, "#!/bin/sh\nfor i in 1 2 3 4 5 6 7 8; do echo $i; sleep 0.05; done\n"));
    run->start({compiler, {}}, QStringLiteral("a.ini"), log);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadAll(log).startsWith("1\n"); }, 5000));
    run.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadAll(log) == "1\n2\n3\n4\n5\n6\n7\n8\n"; }, 5000));

    ASSERT_TRUE(WriteExecutable(compiler, "#!/bin/sh\ntrap '' TERM; sleep 30 & echo $! > " + pids + "; wait\n"));
    run = std::make_unique<qel::app::CompilerRun>(real);
    run->start({compiler, {}}, QStringLiteral("a.ini"), log);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadAll(QFile::decodeName(pids)).endsWith('\n'); }, 5000));
    const QString stat = "/proc/" + ReadAll(QFile::decodeName(pids)).trimmed() + "/stat";
    run->stop();
    // A zombie has ended: the first process reaps it in its time.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !run->running() && !ReadAll(stat).contains(") S "); }, 2000));
    EXPECT_TRUE(run->end().startsWith(QStringLiteral("Stopped after "))) << run->end().toStdString();
}

TEST_F(RealLaunchTest, CompilerThatCannotStartIsReported)
{
    const QString notExecutable = dir_.filePath(QStringLiteral("BuildLevel.txt"));
    ASSERT_TRUE(WriteExecutable(notExecutable, "text"));
    ASSERT_TRUE(QFile::setPermissions(notExecutable, QFile::ReadOwner | QFile::WriteOwner));
    struct Case {
        QString compiler;
        const char* reason;
    };
    const Case cases[] = {
        {dir_.filePath(QStringLiteral("missing/BuildLevel")), "No such file or directory"},
        {notExecutable, "Permission denied"},
    };
    doc_.setCurrentFile(Bytes(dir_.filePath(QStringLiteral("a.ini"))));
    for (const Case& c : cases) {
        useCompiler(c.compiler);
        try {
            compile(real_);
            ADD_FAILURE() << "started " << c.compiler.toStdString();
        } catch (const qel::MessageError& e) {
            const std::string message = e.what();
            const std::string prefix = "Cannot start the compiler '" + c.compiler.toStdString() + "': ";
            EXPECT_EQ(message.substr(0, prefix.size()), prefix);
            EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        }
    }
}
#endif

}  // namespace
