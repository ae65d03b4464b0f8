// Recovery copies: written while the document is modified, gone once its
// changes are saved, undone or discarded; offered to the next editor unless
// one that runs holds them. (Taking an offer up or not, and a copy that
// cannot be read, are tested through the window.)

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "app/DocumentSession.h"
#include "app/OutFileSteps.h"
#include "app/RecoveryStore.h"
#include "core/DefinitionReader.h"
#include "core/DefinitionWriter.h"
#include "core/Errors.h"
#include "core/io/FileIo.h"
#include "platform/RecoveryDisk.h"
#include "tests/fakes/FakeRecoveryFolder.h"

using namespace qel;
using namespace qel::app;
using qel::platform::RecoveryLock;

namespace {

const QDateTime kTime = QDateTime(QDate(2026, 3, 14), QTime(15, 9), Qt::UTC);

void Edit(DocumentSession& session, const std::string& text)
{
    session.push(std::make_unique<SetOutFileStep>(session, text));
}

struct Editor {
    explicit Editor(const QString& folder, std::chrono::milliseconds pause = std::chrono::hours(1))
        : store(session, disk, {folder, pause, std::chrono::hours(1), [] { return kTime; }})
    {
    }
    DocumentSession session;
    platform::DiskRecoveryFolder disk;
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

// What the editor must leave alone: a path, what it leads to, and its entries.
std::string Look(const QString& path)
{
    struct stat seen[2]{};
    const int found = ::lstat(qPrintable(path), &seen[0]) + ::stat(qPrintable(path), &seen[1]);
    return QString::asprintf("%d %o %o ", found, seen[0].st_mode, seen[1].st_mode).toStdString()
           + QDir(path).entryList(QDir::AllEntries | QDir::Hidden).join(' ').toStdString();
}

std::vector<unsigned> gModes;  // of the file each write goes to
ssize_t RecordingWrite(int fd, const void* bytes, std::size_t size)
{
    struct stat info {};
    gModes.push_back(::fstat(fd, &info) == 0 ? info.st_mode : 0);
    return ::write(fd, bytes, size);
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
    const mode_t umask = ::umask(0);  // no matter to the copies' permissions
    SetWriteCall(RecordingWrite);
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
    SetWriteCall(nullptr);
    ::umask(umask);
    const QString copy = editor.store.currentCopy();
    const RecoveryContent content = ParseRecoveryCopy(ReadAll(copy));
    EXPECT_EQ(content.documentPath, definition);
    EXPECT_EQ(content.savedAt, kTime);
    EXPECT_EQ(content.definition, ComposeDefinition(editor.session.document()));
    // No one but the owner, from the first byte: the copy, its lock, its folder.
    EXPECT_EQ(std::set<unsigned>(gModes.begin(), gModes.end()), std::set<unsigned>{S_IFREG | 0600});
    EXPECT_EQ(Look(copy) + Look(copy + ".lock"), "0 100600 100600 0 100600 100600 ");
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

TEST_F(RecoveryStoreTest, AFolderNotSafeForTheCopiesIsNeitherUsedNorChangedAndSaysWhy)
{
    const QString other = dir.filePath("other"), file = other + "/untitled-1.qelrecovery";
    QFile planted(file);  // offered, and so locked, if read
    ASSERT_TRUE(QDir().mkdir(other) && planted.open(QIODevice::WriteOnly)
                && planted.write((ComposeRecoveryHeader({}, kTime) + ComposeRecoveryEnd(0)).c_str()) > 0);
    const auto ofMode = [this](mode_t mode) { return QDir().mkdir(folder) && ::chmod(qPrintable(folder), mode) == 0; };
    // Set-up (false: not for this user), folder, why. Rules, not denied access, for root.
    const std::tuple<std::function<bool()>, QString, QString> rows[] = {
        {[&] { return QFile::link(other, folder); }, folder, folder + " is a symbolic link"},
        {[&] { return QFile::link(file, folder); }, folder, folder + " is a symbolic link"},
        {[&] { return QFile::link(file + "2", folder); }, folder, folder + " is a symbolic link"},
        {[&] { return ofMode(0755); }, folder, folder + " has permissions 0755 instead of 0700"},
        {[&] { return ofMode(0500); }, folder, folder + " has permissions 0500 instead of 0700"},
        {[&] { return ofMode(0700) && ::chown(qPrintable(folder), ::geteuid() + 1, -1) == 0; }, folder,
         folder + " belongs to another user"},
        {[] { return true; }, file + "/recovery", file + " is not a folder"},
    };
    for (const auto& [make, at, why] : rows) {
        SCOPED_TRACE(why.toStdString());
        QFile::remove(folder);
        QDir(folder).removeRecursively();
        if (!make())
            continue;
        const std::string before = Look(folder) + Look(other);
        Editor editor(at);
        std::vector<std::string> problems;
        editor.store.find({}, problems);
        Edit(editor.session, "typed");
        editor.store.writeNow();
        editor.store.waitForWrites();
        EXPECT_EQ(editor.store.unprotectedReason().toStdString(), why.toStdString());
        EXPECT_EQ(Look(folder) + Look(other), before);
    }
}

TEST_F(RecoveryStoreTest, WhatKilledEditorsLeftIsSweptAtStartUpOnceAnHourOldAndNotHeld)
{
    ASSERT_TRUE(QDir().mkdir(folder) && ::chmod(qPrintable(folder), 0700) == 0);
    std::vector<std::unique_ptr<RecoveryLock>> held;
    int error = 0;
    // Partial copies, locks and a whole copy: young, held, and old ones no one holds.
    for (const QString name :
         {".old.qelrecovery.qel-Ab12Cd", ".young.qelrecovery.qel-Ab12Cd", ".held.qelrecovery.qel-Ab12Cd",
          "empty.qelrecovery", "old.qelrecovery.lock", "held.qelrecovery.lock", "whole.qelrecovery"}) {
        QFile file(folder + '/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
                    && file.write(name == "empty.qelrecovery" ? "" : "x") >= 0);
        file.setFileTime(QDateTime::currentDateTime().addSecs(name.contains("young") ? -3500 : -3700),
                         QFile::FileModificationTime);
        if (name.contains("held"))
            held.push_back(RecoveryLock::Take(file.fileName().toStdString(), error));
    }
    Editor editor(folder);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString(),
              ".held.qelrecovery.qel-Ab12Cd .young.qelrecovery.qel-Ab12Cd held.qelrecovery.lock whole.qelrecovery");
}

std::string WholeCopy(const std::string& path, int minutes)
{
    const std::string body = "OutFile=x\r\n";
    return ComposeRecoveryHeader(path, kTime.addSecs(60 * minutes)) + body + ComposeRecoveryEnd(body.size());
}

TEST(RecoveryStoreOnAFake, OffersTheFilesWholeCopiesNewestFirstAndSetsDamagedOnesAside)
{
    const std::string doc = "/d/a.ini", one = "/r/" + RecoveryCopyKey(doc).toStdString() + "-1.qelrecovery";
    const std::string two = "/r/" + RecoveryCopyKey(doc).toStdString() + "-2.qelrecovery";
    const std::string cut = WholeCopy(doc, 1).substr(0, 40), damaged = one + ".damaged";
    using Files = std::map<std::string, std::string>;
    const struct {
        const char* name;
        std::string folderProblem;
        Files files;
        std::set<std::string> heldElsewhere, unreadable;
        std::vector<std::string> offers;
        std::optional<Files> after;  // none: unchanged
        std::size_t problems;
    } rows[] = {
        {"newest first", "", {{one, WholeCopy(doc, 1)}, {two, WholeCopy(doc, 2)}}, {}, {}, {two, one}, {}, 0},
        {"an empty copy goes", "", {{one, ""}}, {}, {}, {}, Files{}, 0},
        {"another file's copy stays", "", {{one, WholeCopy("/d/b.ini", 1)}}, {}, {}, {}, {}, 0},
        {"another editor's copy is not read", "", {{one, "x"}}, {one}, {}, {}, {}, 0},
        {"cut short: set aside", "", {{one, cut}, {damaged, "older"}}, {}, {}, {}, Files{{damaged, cut}}, 1},
        {"unreadable: set aside",
         "",
         {{one, WholeCopy(doc, 1)}},
         {},
         {one},
         {},
         Files{{damaged, WholeCopy(doc, 1)}},
         1},
        {"not from a folder not safe", "unsafe", {{one, WholeCopy(doc, 1)}}, {}, {}, {}, {}, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        platform::FakeRecoveryFolder disk;
        disk.folderProblem = row.folderProblem;
        disk.files = row.files;
        disk.held = row.heldElsewhere;
        disk.unreadable = row.unreadable;
        DocumentSession session;
        RecoveryStore store(session, disk, {QStringLiteral("/r"), std::chrono::hours(1), std::chrono::hours(1), {}});
        std::vector<std::string> problems, offered;
        for (const RecoveryOffer& offer : store.find(doc, problems))
            offered.push_back(offer.copyPath.toStdString());
        EXPECT_EQ(offered, row.offers);
        EXPECT_EQ(disk.files, row.after.value_or(row.files));
        std::set<std::string> held = row.heldElsewhere;
        held.insert(offered.begin(), offered.end());
        EXPECT_EQ(disk.held, held);
        EXPECT_EQ(problems.size(), row.problems);
        EXPECT_EQ(disk.sweeps, row.folderProblem.empty() ? 1 : 0);
    }
}

TEST(RecoveryStoreOnAFake, ACopyThatCannotBeWrittenSaysWhyLeavesNothingAndIsTriedAgain)
{
    platform::FakeRecoveryFolder disk;
    disk.writeError = ENOSPC;
    DocumentSession session;
    RecoveryStore store(session, disk, {QStringLiteral("/r"), std::chrono::hours(1), std::chrono::hours(1), {}});
    Edit(session, "typed");
    store.writeNow();
    store.waitForWrites();
    EXPECT_EQ(store.unprotectedReason().toStdString(), std::string("/r: ") + FileError(ENOSPC).what());
    EXPECT_TRUE(disk.files.empty() && disk.held.empty());
    disk.writeError = 0;
    Edit(session, "typed again");
    store.writeNow();
    store.waitForWrites();
    EXPECT_TRUE(store.unprotectedReason().isEmpty());
    ASSERT_EQ(disk.files.size(), 1u);
    EXPECT_EQ(ParseRecoveryCopy(disk.files.begin()->second).definition, ComposeDefinition(session.document()));
}

}  // namespace
