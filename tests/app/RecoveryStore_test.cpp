// Recovery copies: written while the document is modified, gone once its
// changes are saved, undone or discarded; offered to the next editor unless
// one that runs holds them. (Taking an offer up or not, and a copy that
// cannot be read, are tested through the window.)

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <functional>
#include <memory>

#include "DefinitionReader.h"
#include "DefinitionWriter.h"
#include "DocumentSession.h"
#include "Errors.h"
#include "FileIo.h"
#include "OutFileSteps.h"
#include "RecoveryDisk.h"
#include "RecoveryStore.h"

using namespace qel;
using namespace qel::app;

namespace {

const QDateTime kTime = QDateTime(QDate(2026, 3, 14), QTime(15, 9), Qt::UTC);

void Edit(DocumentSession& session, const std::string& text)
{
    session.push(std::make_unique<SetOutFileStep>(session, text));
}

struct Editor {
    explicit Editor(const QString& folder, std::chrono::milliseconds pause = std::chrono::hours(1))
        : store(session, {folder, pause, std::chrono::hours(1), [] { return kTime; }})
    {
    }
    DocumentSession session;
    RecoveryStore store;
};

QStringList Copies(const QTemporaryDir& dir, const QString& pattern = QStringLiteral("*.qelrecovery"))
{
    return QDir(dir.path() + QStringLiteral("/recovery")).entryList({pattern}, QDir::Files);
}

std::string ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

class RecoveryStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QStringLiteral("/recovery");
        definition = dir.filePath(QStringLiteral("a.ini")).toStdString();
        QFile file(QString::fromStdString(definition));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("OutFile=pkg\r\n\r\n[mapobjects]\r\n1,2,IMAGE0\r\n");
    }

    QTemporaryDir dir;
    QString folder;
    std::string definition;
};

TEST(RecoveryCopyFormat, ReadsWhatItWritesAndRefusesCopiesCutShort)
{
    const std::string path = "/x/a\nb.ini";
    const std::string body = "OutFile=p\r\n\r\nend 3\n";
    const std::string whole = ComposeRecoveryHeader(path, kTime) + body + ComposeRecoveryEnd(body.size());
    const RecoveryContent content = ParseRecoveryCopy(whole);
    EXPECT_EQ(content.documentPath, path);
    EXPECT_EQ(content.savedAt, kTime);
    EXPECT_EQ(content.definition, body);

    struct Row {
        const char* name;
        std::string bytes;
    };
    const Row damaged[] = {
        {"empty", ""},
        {"another file", "OutFile=x\r\n"},
        {"last byte missing", whole.substr(0, whole.size() - 1)},
        {"end line missing", whole.substr(0, whole.size() - ComposeRecoveryEnd(body.size()).size())},
        {"definition cut", whole.substr(0, whole.size() - 30) + ComposeRecoveryEnd(body.size())},
        {"path longer than the copy", "QEL recovery 1\nfile 99:/x\ntime 1\n\n\nend 0\n"},
    };
    for (const Row& row : damaged)
        EXPECT_THROW(ParseRecoveryCopy(row.bytes), MessageError) << row.name;
}

TEST_F(RecoveryStoreTest, CopyLivesWhileTheDocumentIsModified)
{
    struct Row {
        const char* name;
        std::function<void(Editor&, const std::string&)> after;
        int copies;
    };
    const Row rows[] = {
        {"kept while modified", [](Editor&, const std::string&) {}, 1},
        {"removed by a save", [](Editor& e, const std::string&) { e.session.save(); }, 0},
        {"removed by Save As", [](Editor& e, const std::string& path) { e.session.saveAs(path + "2"); }, 0},
        {"removed by undoing to the saved step", [](Editor& e, const std::string&) { e.session.undo(); }, 0},
        {"removed by New", [](Editor& e, const std::string&) { e.session.newDocument(); }, 0},
        {"removed when discarded", [](Editor& e, const std::string&) { e.store.discard(); }, 0},
        {"renamed by Save As failing",
         [](Editor& e, const std::string&) {
             EXPECT_THROW(e.session.saveAs("/nonexistent/b.ini"), FileError);
             e.store.writeNow();
         },
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QDir(folder).removeRecursively();
        auto editor = std::make_unique<Editor>(folder);
        editor->session.open(definition);
        Edit(editor->session, std::string("edited: ") + row.name);
        editor->store.writeNow();
        editor->store.waitForWrites();
        ASSERT_EQ(Copies(dir).size(), 1);
        row.after(*editor, definition);
        editor->store.waitForWrites();
        EXPECT_EQ(Copies(dir).size(), row.copies);
        editor.reset();
        EXPECT_EQ(Copies(dir).size(), row.copies) << "after the editor ended";
    }
}

TEST_F(RecoveryStoreTest, CopyHoldsTheDefinitionAsSavedAndOnlyItsOwnerReadsIt)
{
    Editor editor(folder);
    editor.session.open(definition);
    Edit(editor.session, "edited");
    editor.store.writeNow();
    // A change while the copy is being written is in the next one.
    Edit(editor.session, "edited again");
    editor.store.writeNow();
    editor.store.waitForWrites();
    editor.store.writeNow();
    editor.store.waitForWrites();
    const QString copy = editor.store.currentCopy();
    const RecoveryContent content = ParseRecoveryCopy(ReadAll(copy));
    EXPECT_EQ(content.documentPath, definition);
    EXPECT_EQ(content.savedAt, kTime);
    EXPECT_EQ(content.definition, ComposeDefinition(editor.session.document()));
    // No one but the owner: no group or other bits, on the copy or its folder.
    EXPECT_EQ(QFile::permissions(copy).toInt() & 0x00FF, 0);
    EXPECT_EQ(QFile::permissions(folder).toInt() & 0x00FF, 0);

    // A save while the copy is being written leaves no copy behind.
    Edit(editor.session, "third");
    editor.store.writeNow();
    editor.session.save();
    editor.store.waitForWrites();
    EXPECT_TRUE(Copies(dir).isEmpty());
}

TEST_F(RecoveryStoreTest, WrittenAfterThePauseWithoutBeingAsked)
{
    Editor editor(folder, std::chrono::milliseconds(0));
    Edit(editor.session, "typed");
    QElapsedTimer waited;
    waited.start();
    while (Copies(dir).isEmpty() && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    editor.store.waitForWrites();
    EXPECT_EQ(Copies(dir).size(), 1);
}

TEST_F(RecoveryStoreTest, OfferedToTheNextEditorOnly)
{
    struct Row {
        const char* name;
        bool untitled;
        bool firstStillRuns;
        std::string askedFor;  // "" untitled, "*" the definition
        int offers;
    };
    const Row rows[] = {
        {"a file's copy on its Open", false, false, "*", 1},
        {"an untitled copy at start-up", true, false, "", 1},
        {"not another file's", false, false, "", 0},
        {"not the live work of a running editor", false, true, "*", 0},
        {"not a running editor's untitled work", true, true, "", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QDir(folder).removeRecursively();
        auto first = std::make_unique<Editor>(folder);
        if (!row.untitled)
            first->session.open(definition);
        Edit(first->session, "lost work");
        first->store.writeNow();
        first->store.waitForWrites();
        if (!row.firstStillRuns)
            first.reset();

        Editor second(folder);
        std::vector<std::string> problems;
        const std::vector<RecoveryOffer> offers =
            second.store.find(row.askedFor == "*" ? definition : row.askedFor, problems);
        EXPECT_TRUE(problems.empty());
        ASSERT_EQ(static_cast<int>(offers.size()), row.offers);
        if (offers.empty())
            continue;
        const QString question = RecoveryQuestion(offers[0]);
        EXPECT_TRUE(question.startsWith(row.untitled ? QStringLiteral("Untitled has changes from ")
                                                     : QStringLiteral("a.ini has changes from ")))
            << question.toStdString();
        EXPECT_TRUE(question.endsWith(QStringLiteral(" that were never saved. Recover them?")));
        // Held by the second editor while it asks: a third one is not offered it.
        Editor third(folder);
        EXPECT_TRUE(third.store.find(row.askedFor == "*" ? definition : row.askedFor, problems).empty());
    }
}

// Type, owner, permissions and entries: what the editor must leave alone.
std::string Look(const QString& path)
{
    struct stat link {
    }, target{};
    const int linked = ::lstat(path.toLocal8Bit(), &link), reached = ::stat(path.toLocal8Bit(), &target);
    const QStringList names = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    return QString::asprintf("%d %o %u %d %o ", linked, link.st_mode, link.st_uid, reached, target.st_mode)
               .toStdString()
           + names.join(' ').toStdString();
}

TEST_F(RecoveryStoreTest, AFolderNotSafeForTheCopiesIsNeitherUsedNorChangedAndSaysWhy)
{
    const QString other = dir.filePath("other"), file = dir.filePath("file");
    ASSERT_TRUE(QDir().mkdir(other));
    const std::string planted = ComposeRecoveryHeader({}, kTime) + ComposeRecoveryEnd(0);
    QFile copy(other + "/untitled-1.qelrecovery");
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly) && copy.write(planted.data(), planted.size()) > 0);
    copy.close();
    QFile(file).open(QIODevice::WriteOnly);
    const bool root = ::geteuid() == 0;
    const auto ofMode = [this](int mode) {
        return QDir().mkdir(folder) && ::chmod(folder.toLocal8Bit(), static_cast<mode_t>(mode)) == 0;
    };
    struct Row {
        const char* name;
        std::function<bool()> make;  // false: this user cannot set it up
        QString folder;
        QString why;
    };
    const QString below = folder + "/recovery";
    const Row rows[] = {
        {"a link to a folder", [&] { return QFile::link(other, folder); }, folder, folder + " is a symbolic link"},
        {"a link to a file", [&] { return QFile::link(file, folder); }, folder, folder + " is a symbolic link"},
        {"a dangling link", [&] { return QFile::link(dir.filePath("no"), folder); }, folder,
         folder + " is a symbolic link"},
        {"a file", [&] { return QFile::copy(file, folder); }, folder, folder + " is not a folder"},
        {"0755, not made here", [&] { return ofMode(0755); }, folder, folder + " has permissions 0755 instead of 0700"},
        {"0500", [&] { return ofMode(0500); }, folder, folder + " has permissions 0500 instead of 0700"},
        {"another user's", [&] { return root && ofMode(0700) && ::chown(folder.toLocal8Bit(), 65534, 65534) == 0; },
         folder, folder + " belongs to another user"},
        {"below a file", [] { return true; }, file + "/recovery", file + " is not a folder"},
        // Root passes permission checks: the rules above are what stop it.
        {"below a read-only folder", [&] { return !root && ofMode(0500); }, below,
         below + " cannot be made: File access denied"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(folder);
        QDir(folder).removeRecursively();
        if (!row.make())
            continue;
        const std::string before = Look(folder) + Look(other);
        Editor editor(row.folder);
        QStringList reasons;
        QObject::connect(&editor.store, &RecoveryStore::protectionFailed, [&](const QString& why) { reasons << why; });
        Edit(editor.session, "typed");
        editor.store.writeNow();
        editor.store.waitForWrites();
        EXPECT_EQ(reasons, QStringList{row.why});
        std::vector<std::string> problems;
        EXPECT_TRUE(editor.store.find({}, problems).empty()) << "nothing read from it either";
        EXPECT_EQ(Look(folder) + Look(other), before);
    }
}

// Each write records the permissions of the file it goes to, and fails for a full disk.
std::vector<mode_t> gWrittenModes;
bool gDiskFull = false;
ssize_t RecordingWrite(int fd, const void* bytes, std::size_t size)
{
    struct stat info {};
    ::fstat(fd, &info);
    gWrittenModes.push_back(info.st_mode & 07777);
    errno = ENOSPC;
    return gDiskFull ? -1 : ::write(fd, bytes, size);
}

TEST_F(RecoveryStoreTest, CopiesAreOwnerOnlyUnderAnyUmaskAndAFullDiskIsToldUntilACopyIsWritten)
{
    const mode_t umask = ::umask(0);
    SetWriteCall(RecordingWrite);
    Editor editor(folder);
    QStringList told;
    QObject::connect(&editor.store, &RecoveryStore::protectionFailed, [&](const QString& why) { told << why; });
    QObject::connect(&editor.store, &RecoveryStore::protectionRestored, [&] { told << "restored"; });
    for (const bool full : {true, true, false}) {
        gDiskFull = full;
        Edit(editor.session, full ? "lost" : "kept");
        editor.store.writeNow();
        editor.store.waitForWrites();
    }
    SetWriteCall(nullptr);
    ::umask(umask);
    EXPECT_EQ(told, QStringList({folder + ": Disk full", folder + ": Disk full", "restored"}));
    const QString copy = editor.store.currentCopy();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList({QFileInfo(copy).fileName(), QFileInfo(copy).fileName() + ".lock"}));
    EXPECT_EQ(gWrittenModes, std::vector<mode_t>(gWrittenModes.size(), 0600)) << "from the first byte";
    for (const QString& file : {copy, copy + ".lock"}) {
        struct stat info {};
        EXPECT_EQ(::stat(file.toLocal8Bit(), &info) == 0 ? info.st_mode & 07777 : 0, 0600u) << file.toStdString();
    }
}

TEST_F(RecoveryStoreTest, WhatKilledEditorsLeftIsSweptAfterAnHourUnlessHeld)
{
    ASSERT_TRUE(
        QDir().mkdir(folder)
        && QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    const std::string whole = ComposeRecoveryHeader({}, kTime) + ComposeRecoveryEnd(0);
    struct Row {
        const char* name;
        std::string bytes;
        bool old, held, kept;
    };
    const Row rows[] = {
        {".untitled-1.qelrecovery.qel-Ab12Cd", "QEL rec", true, false, false},
        {".untitled-2.qelrecovery.qel-Ab12Cd", "QEL rec", false, false, true},
        {".untitled-3.qelrecovery.qel-Ab12Cd", "QEL rec", true, true, true},
        {"untitled-4.qelrecovery", "", true, false, false},  // never written into
        {"untitled-5.qelrecovery", "", true, true, true},
        {"untitled-6.qelrecovery.lock", "", true, false, false},
        {"untitled-7.qelrecovery.lock", "", true, true, true},
        {"untitled-8.qelrecovery.lock", "", false, false, true},
        {"untitled-9.qelrecovery", whole, true, false, true},  // unsaved work
    };
    std::vector<std::unique_ptr<RecoveryLock>> locks;
    std::vector<int> held;
    for (const Row& row : rows) {
        const std::string path = (folder + "/" + row.name).toStdString();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_EQ(::write(fd, row.bytes.data(), row.bytes.size()), static_cast<ssize_t>(row.bytes.size()));
        const timespec at[2] = {{std::time(nullptr) - (row.old ? 3700 : 3500), 0},
                                {std::time(nullptr) - (row.old ? 3700 : 3500), 0}};
        ::futimens(fd, at);
        int error = 0;
        if (row.held && path.back() == 'y')
            locks.push_back(RecoveryLock::Take(path + ".lock", error));
        if (row.held && path.back() != 'y')
            ::flock(fd, LOCK_EX);
        held.push_back(fd);
    }
    Editor editor(folder);
    for (const Row& row : rows)
        EXPECT_EQ(QFile::exists(folder + "/" + row.name), row.kept) << row.name;
    for (const int fd : held)
        ::close(fd);
}

}  // namespace
