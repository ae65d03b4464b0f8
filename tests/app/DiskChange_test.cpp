// The current file changed by another program: what the session sees of it,
// what a save refuses, and reading it again as one step.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "app/DocumentSession.h"
#include "core/DefinitionWriter.h"
#include "core/Errors.h"
#include "platform/FileNameText.h"

using namespace qel;
using namespace qel::app;

namespace {

void Write(const QString& file, const std::string& bytes)
{
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

TEST(DiskChange, TellsWhatAnotherProgramDidAndWritesOnlyIntoARegularFile)
{
    using Act = std::function<void(const QString& file, const QDir& dir)>;
    const struct {
        const char* what;
        Act act;
        DiskChange change;
    } cases[] = {
        {"nothing", [](const QString&, const QDir&) {}, DiskChange::None},
        {"rewritten in place", [](const QString& f, const QDir&) { Write(f, "OutFile=longer\r\n\r\n"); },
         DiskChange::Changed},
        {"the same bytes renamed over it",
         [](const QString& f, const QDir& d) {
             Write(d.filePath("new"), "OutFile=a\r\n\r\n");
             ASSERT_EQ(std::rename(FileNameBytes(d.filePath("new")).c_str(), FileNameBytes(f).c_str()), 0);
         },
         DiskChange::Changed},
        {"deleted", [](const QString& f, const QDir&) { QFile::remove(f); }, DiskChange::Gone},
        {"a link to another file",
         [](const QString& f, const QDir& d) {
             QFile::remove(f);
             QFile::link(d.filePath("other"), f);
         },
         DiskChange::Changed},
        {"a pipe",
         [](const QString& f, const QDir&) {
             QFile::remove(f);
             ASSERT_EQ(::mkfifo(FileNameBytes(f).c_str(), 0600), 0);
         },
         DiskChange::NotRegular},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString file = dir.filePath("d.ini");
        Write(file, "OutFile=a\r\n\r\n");
        Write(dir.filePath("other"), "theirs");
        DocumentSession session;
        session.open(FileNameBytes(file));
        c.act(file, QDir(dir.path()));
        EXPECT_EQ(session.diskChange(), c.change);
        if (c.change == DiskChange::NotRegular) {
            try {
                session.save();
                ADD_FAILURE() << "saved";
            } catch (const MessageError& refused) {
                EXPECT_EQ(refused.message(), "d.ini is not a regular file");
            }
            QFile other(dir.filePath("other"));
            ASSERT_TRUE(other.open(QIODevice::ReadOnly));
            EXPECT_EQ(other.readAll(), "theirs");
        } else {
            // The question before replacing is the window's; a save takes
            // the file as it was when the user agreed, a link writing the file
            // it leads to.
            const bool link = QFileInfo(file).isSymLink();
            platform::FileStamp now;
            session.diskChange(&now);
            session.acceptDiskChange(now);
            session.save();
            EXPECT_EQ(session.diskChange(), DiskChange::None);
            EXPECT_EQ(QFileInfo(file).isSymLink(), link);
            QFile saved(file);
            ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
            EXPECT_EQ(saved.readAll(), "OutFile=a\r\n\r\n");
        }
    }
}

TEST(DiskChange, ReadingAgainIsOneSavedStepThatUndoesToWhatWasShown)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("d.ini");
    Write(file, "OutFile=a\r\n\r\n[mapobjects]\r\n1,1,IMAGE0\r\n2,2,IMAGE0\r\n3,3,IMAGE0\r\n");
    DocumentSession session;
    session.open(FileNameBytes(file));
    const std::string before = ComposeDefinition(session.document());
    const std::string theirs = "OutFile=b\r\n\r\n\r\n[mapobjects]\r\n9,9,IMAGE0\r\n";
    Write(file, theirs);
    ViewState view;
    view.map = RowSelection::ofRows({0, 2}, 2);
    QSignalSpy views(&session, &DocumentSession::viewStateRequested);
    ASSERT_TRUE(session.reread(view));
    EXPECT_EQ(ComposeDefinition(session.document()), theirs);
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(session.undoText(), "Read d.ini again");
    ASSERT_EQ(views.count(), 1);
    EXPECT_EQ(views.last().at(0).value<ViewState>().map, RowSelection::ofRows({0}));

    session.undo();
    EXPECT_EQ(ComposeDefinition(session.document()), before);
    EXPECT_TRUE(session.modified());
    EXPECT_EQ(views.last().at(0).value<ViewState>(), view);
    session.redo();
    EXPECT_FALSE(session.modified());

    // Touched only: the same content makes no step.
    Write(file, theirs);
    const int steps = session.history().count();
    EXPECT_FALSE(session.reread(view));
    EXPECT_EQ(session.history().count(), steps);
}

}  // namespace
