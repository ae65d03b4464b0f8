// The object commands without a window: each is one step (or none) on the
// session, a failure comes back in the status, and the presets look for
// their picture through the file operations they are given.

#include "app/ObjectCommands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <optional>

#include "app/DocumentSession.h"
#include "core/DefinitionWriter.h"
#include "platform/FileNameText.h"
#include "tests/core/ListLines.h"
#include "tests/fakes/FakeClipboard.h"
#include "tests/fakes/FakeFileOperations.h"
#include "tests/fakes/FakePictureService.h"

namespace {

using namespace qel;
using Outcome = app::CommandStatus::Outcome;

class Answers : public app::CommandQuestions {
public:
    int confirmations = 0;
    bool yes = false;
    void error(const QString&) override {}
    void information(const QString&) override {}
    bool confirm(const QString&) override { return ++confirmations, yes; }
    bool confirmNoDefault(const QString&) override { return ++confirmations, yes; }
    app::SaveChangesAnswer askSaveChanges(const QString&) override { return app::SaveChangesAnswer::Cancel; }
    QString openFile(const QString&) override { return {}; }
    QString saveFile(const QString&) override { return {}; }
    void failed(std::exception_ptr) override {}
};

struct ObjectCommandsTest : ::testing::Test {
    app::DocumentSession session;
    Answers answers;
    platform::FakeClipboard clipboard;
    platform::FakeFileOperations files;
    platform::FakePictureService pictures;
    app::ObjectCommands commands{session, answers, clipboard, files, pictures};
    const app::ViewState view{ObjectKind::Map, app::RowSelection::ofRows({1}, 1), {}};

    void SetUp() override
    {
        DefinitionDocument doc;
        doc.mapObjects() = ObjectListOf(ObjectKind::Map, {"0,0,IMAGE0", "16,16,IMAGE1", "32,32,IMAGE0"});
        session.adopt(std::move(doc));
    }
};

TEST_F(ObjectCommandsTest, EachCommandIsOneStepOrNone)
{
    EditorValues values;
    values.xText = "@2";
    values.yText = "@3";
    ObjectChange layer;
    layer.layer = 7;
    const struct {
        const char* name;
        std::function<app::CommandStatus(app::ObjectCommands&)> run;
        Outcome outcome;
        std::optional<std::vector<std::string>> lines;  // after the command; none: no step
    } cases[] = {
        {"add expands @",
         [&](auto& c) { return c.add(ObjectKind::Map, values, view); },
         Outcome::Done,
         {{"0,0,IMAGE0", "16,16,IMAGE1", "32,32,IMAGE0", "32,48,IMAGE-1"}}},
        {"apply refuses a map X that is no number after the step",
         [&](auto& c) { return c.apply(ObjectKind::Map, values, 0, view); },
         Outcome::Failed,
         {{"@2,@3,IMAGE-1", "16,16,IMAGE1", "32,32,IMAGE0"}}},
        {"move",
         [&](auto& c) { return c.move(ObjectKind::Map, {2}, 16, -32, view); },
         Outcome::Done,
         {{"0,0,IMAGE0", "16,16,IMAGE1", "48,0,IMAGE0"}}},
        {"change",
         [&](auto& c) {
             return c.changeSelected(ObjectKind::Map, {0, 1}, layer, view);
         },
         Outcome::Done,
         {{"0,0,IMAGE0,TopMost", "16,16,IMAGE1,TopMost", "32,32,IMAGE0"}}},
        {"change with no field", [&](auto& c) { return c.changeSelected(ObjectKind::Map, {0}, {}, view); },
         Outcome::Done, std::nullopt},
        {"place without an image", [&](auto& c) { return c.place(ObjectKind::Map, {}, 5, 5, view); }, Outcome::Done,
         std::nullopt},
        {"cut",
         [&](auto& c) {
             return c.cut(ObjectKind::Map, {0, 2}, view);
         },
         Outcome::Done,
         {{"16,16,IMAGE1"}}},
        {"paste after the current row",
         [&](auto& c) { return c.paste(ObjectKind::Map, view); },
         Outcome::Done,
         {{"0,0,IMAGE0", "16,16,IMAGE1", "1,2,IMAGE3", "32,32,IMAGE0"}}},
        {"paste of no object line", [&](auto& c) { return clipboard.held = "x", c.paste(ObjectKind::Map, view); },
         Outcome::Failed, std::nullopt},
        {"clear", [&](auto& c) { return c.clear(ObjectKind::Map, view); }, Outcome::Done, std::vector<std::string>{}},
    };
    for (const auto& c : cases) {
        SetUp();
        clipboard.held = QStringLiteral("1,2,IMAGE3");
        const std::string before = ComposeDefinition(session.document());
        const int steps = session.history().count();
        const app::CommandStatus status = c.run(commands);
        EXPECT_EQ(status.outcome, c.outcome) << c.name;
        EXPECT_EQ(session.history().count(), steps + (c.lines ? 1 : 0)) << c.name;
        if (c.lines) {
            EXPECT_EQ(Lines(session.document().mapObjects()), *c.lines) << c.name;
        }
        while (session.canUndo())
            session.undo();
        EXPECT_EQ(ComposeDefinition(session.document()), before) << c.name;
    }
}

TEST_F(ObjectCommandsTest, PresetsFindTheirPictureThroughTheFileOperations)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.bmp")));
    DefinitionDocument doc;
    doc.setDocumentFolder(FileNameBytes(dir.path() + '/'));
    doc.editImages() = {{0, "folder.bmp", -1, -1, -1}, {1, "gone.bmp", -1, -1, -1}};
    session.adopt(std::move(doc));
    for (int choice : {-1, 0, 1, 2})
        EXPECT_FALSE(commands.centerSafe(choice)) << choice;
    EXPECT_TRUE(pictures.calls.isEmpty());
}

TEST_F(ObjectCommandsTest, TiledBackgroundAsksBeforeAMillionObjects)
{
    QTemporaryDir dir;
    QFile(dir.filePath(QStringLiteral("p.bmp"))).open(QIODevice::WriteOnly);
    pictures.pictures.insert(dir.filePath(QStringLiteral("p.bmp")), QImage(8, 8, QImage::Format_RGB32));
    DefinitionDocument doc;
    doc.setDocumentFolder(FileNameBytes(dir.path() + '/'));
    doc.editImages() = {{0, "p.bmp", -1, -1, -1}};
    session.adopt(std::move(doc));
    EXPECT_EQ(commands.tiledBackground(0, view).outcome, Outcome::Cancelled);
    EXPECT_EQ(answers.confirmations, 1);
    EXPECT_EQ(session.document().mapObjects().size(), 0u);
}

}  // namespace
