// The problem list follows every step, undo, redo, New, Open, save and F5:
// after each sequence it equals what the monitor finds, with the rows and
// lines the window shows.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "app/DocumentSession.h"
#include "app/ImageSteps.h"
#include "app/ObjectSteps.h"
#include "app/ProblemMonitor.h"
#include "app/ProblemPictures.h"
#include "platform/FileOperations.h"
#include "platform/PictureService.h"
#include "tests/fakes/FakeFileOperations.h"
#include "tests/fakes/FakePictureService.h"

using namespace qel;
using namespace qel::app;

namespace {

// Line 5: IMAGE0's 3 tiles do not divide its 8 pixels; line 6: a picture
// that does not decode; line 7: an image nobody uses; line 10: off the map.
const char* const kDefinition =
    "OutFile=pkg\n"
    "File=a.bmp\n"
    "File=bad.png\n"
    "[objectimages]\n"
    "IMAGE0=a.bmp,3,1,100\n"
    "IMAGE1=bad.png\n"
    "IMAGE2=a.bmp\n"
    "[mapobjects]\n"
    "1,1,IMAGE0\n"
    "20000,2,IMAGE1\n"
    "[screenobjects]\n"
    "0,0,IMAGE0\n";

const char* const kOpened =
    "image-unreadable images 1 L6; image-tiles-uneven images 0 L5; object-off-map map 1 L10; "
    "image-unused images 2 L7";

struct Fixture {
    QTemporaryDir dir;
    platform::FakePictureService service;
    DocumentSession session;
    ProblemPictures pictures{service};
    platform::FakeFileOperations files;
    ProblemMonitor monitor{session, pictures, files};

    std::string path(const char* name) const { return (dir.path() + '/' + QLatin1String(name)).toStdString(); }
    void write(const char* name, const QByteArray& bytes) const
    {
        QFile file(QString::fromStdString(path(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void push(std::unique_ptr<SessionStep> step) { session.push(std::move(step)); }
    void apply(ObjectKind kind, std::size_t row, const char* x, const char* y, int image)
    {
        EditorValues values;
        values.xText = x;
        values.yText = y;
        values.imageChoice = image;
        values.layerChoice = 0;
        values.modeChoice = 6;
        push(std::make_unique<ApplyObjectStep>(session, kind, values, row));
    }
};

std::string PlaceName(ProblemPlace place)
{
    switch (place) {
    case ProblemPlace::Files:
        return "files";
    case ProblemPlace::Images:
        return "images";
    case ProblemPlace::MapObjects:
        return "map";
    case ProblemPlace::ScreenObjects:
        return "screen";
    case ProblemPlace::None:
        break;
    }
    return "file";
}

std::string Listed(const std::vector<Problem>& problems)
{
    std::string text;
    for (const Problem& problem : problems) {
        if (!text.empty())
            text += "; ";
        text += problem.code + ' ' + PlaceName(problem.place) + ' ' + std::to_string(problem.row) + " L"
                + std::to_string(problem.line);
    }
    return text;
}

struct Case {
    const char* name;
    std::function<void(Fixture&)> act;
    const char* expected;
};

const Case kCases[] = {
    {"opened", [](Fixture&) {}, kOpened},
    // The row now uses IMAGE2: IMAGE1 becomes the unused one, and the row
    // is on the map again.
    {"row edited", [](Fixture& f) { f.apply(ObjectKind::Map, 1, "5", "5", 2); },
     "image-unreadable images 1 L6; image-tiles-uneven images 0 L5; image-unused images 1 L6"},
    {"row edited, undone",
     [](Fixture& f) {
         f.apply(ObjectKind::Map, 1, "5", "5", 2);
         f.session.undo();
     },
     kOpened},
    {"row edited, undone, redone",
     [](Fixture& f) {
         f.apply(ObjectKind::Map, 1, "5", "5", 2);
         f.session.undo();
         f.session.redo();
     },
     "image-unreadable images 1 L6; image-tiles-uneven images 0 L5; image-unused images 1 L6"},
    // Later rows move up with their lines; the message names the new row.
    {"row above a problem deleted",
     [](Fixture& f) {
         f.push(std::make_unique<DeleteObjectsStep>(f.session, ObjectKind::Map, std::vector<std::size_t>{0}));
     },
     "image-unreadable images 1 L6; image-tiles-uneven images 0 L5; object-off-map map 0 L10; "
     "image-unused images 2 L7"},
    {"row above a problem deleted, undone",
     [](Fixture& f) {
         f.push(std::make_unique<DeleteObjectsStep>(f.session, ObjectKind::Map, std::vector<std::size_t>{0}));
         f.session.undo();
     },
     "image-unreadable images 1 L6; image-tiles-uneven images 0 L5; object-off-map map 1 L10; "
     "image-unused images 2 L7"},
    // A row appended has no line in the file.
    {"row added off the map",
     [](Fixture& f) {
         EditorValues values;
         values.xText = "-1";
         values.yText = "0";
         values.imageChoice = 2;
         values.layerChoice = 0;
         values.modeChoice = 6;
         f.push(std::make_unique<AddObjectStep>(f.session, ObjectKind::Map, values));
     },
     "image-unreadable images 1 L6; image-tiles-uneven images 0 L5; object-off-map map 1 L10; "
     "object-off-map map 2 L0"},
    // Images counted anew lose their lines; the row using the last image
    // now names an image nobody defines.
    {"used image deleted",
     [](Fixture& f) {
         f.apply(ObjectKind::Map, 1, "5", "5", 2);
         f.push(std::make_unique<DeleteImageStep>(f.session, 2, false));
     },
     "image-unreadable images 1 L0; object-image-undefined map 1 L10; image-tiles-uneven images 0 L0; "
     "image-unused images 1 L0"},
    {"used image deleted, undone",
     [](Fixture& f) {
         f.apply(ObjectKind::Map, 1, "5", "5", 2);
         f.push(std::make_unique<DeleteImageStep>(f.session, 2, false));
         f.session.undo();
     },
     "image-unreadable images 1 L0; image-tiles-uneven images 0 L0; image-unused images 1 L0"},
    // A list shown anew as a whole loses its lines.
    {"map cleared, undone",
     [](Fixture& f) {
         f.push(std::make_unique<ClearObjectsStep>(f.session, ObjectKind::Map));
         f.session.undo();
     },
     "image-unreadable images 1 L6; image-tiles-uneven images 0 L5; object-off-map map 1 L0; "
     "image-unused images 2 L7"},
    {"map cleared", [](Fixture& f) { f.push(std::make_unique<ClearObjectsStep>(f.session, ObjectKind::Map)); },
     "image-unreadable images 1 L6; image-tiles-uneven images 0 L5; image-unused images 1 L6; "
     "image-unused images 2 L7"},
    {"saved elsewhere", [](Fixture& f) { f.session.saveAs(f.path("copy.ini")); },
     "image-unreadable images 1 L0; image-tiles-uneven images 0 L0; object-off-map map 1 L0; "
     "image-unused images 2 L0"},
    {"new document", [](Fixture& f) { f.session.newDocument(); }, "outfile-missing file 0 L0"},
    {"opened again after New",
     [](Fixture& f) {
         f.session.newDocument();
         f.session.open(f.path("def.ini"));
     },
     kOpened},
    // The picture on disk is mended; F5 finds it (it changed size).
    {"picture mended, F5",
     [](Fixture& f) {
         f.service.failures.clear();
         f.service.pictures.insert(QString::fromStdString(f.path("bad.png")), QImage(4, 4, QImage::Format_RGB32));
         f.write("bad.png", "mended picture");
         f.monitor.rereadPictures();
     },
     "image-tiles-uneven images 0 L5; object-off-map map 1 L10; image-unused images 2 L7"},
};

class ProblemMonitorFollows : public testing::TestWithParam<Case> {};

TEST_P(ProblemMonitorFollows, Edits)
{
    Fixture f;
    f.write("def.ini", kDefinition);
    f.write("a.bmp", "picture");
    f.write("bad.png", "broken");
    f.service.pictures.insert(QString::fromStdString(f.path("a.bmp")), QImage(8, 8, QImage::Format_RGB32));
    f.service.failures.insert(QString::fromStdString(f.path("bad.png")), "The picture is damaged");
    f.session.open(f.path("def.ini"));
    f.monitor.finishChecking();

    GetParam().act(f);
    QSignalSpy told(&f.monitor, &ProblemMonitor::problemsChanged);
    f.monitor.finishChecking();

    EXPECT_EQ(Listed(f.monitor.problems()), GetParam().expected);
    EXPECT_EQ(told.count(), 1);
    for (const Problem& problem : f.monitor.problems()) {
        if (problem.place == ProblemPlace::MapObjects || problem.place == ProblemPlace::ScreenObjects) {
            const ObjectKind kind = problem.place == ProblemPlace::MapObjects ? ObjectKind::Map : ObjectKind::Screen;
            EXPECT_EQ(problem.message.rfind(ObjectName(kind, problem.row) + ' ', 0), 0u) << problem.message;
        }
    }
    // What was found step by step equals checking the document as it is now.
    DocumentSession fresh;
    ProblemPictures freshPictures(f.service);
    ProblemMonitor again(fresh, freshPictures, f.files);
    const std::string copy = f.path("again.ini");
    if (!f.session.document().currentFile().empty()) {
        f.session.saveAs(copy);
        fresh.open(copy);
        again.finishChecking();
        f.monitor.finishChecking();
        EXPECT_EQ(f.monitor.counts(), again.counts()) << Listed(again.problems());
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, ProblemMonitorFollows, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c != '\0'; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c)))
                                     name += *c;
                             return name;
                         });

// A list much longer than one slice is checked between events, and an edit
// in the middle of the pass is neither lost nor counted twice.
TEST(ProblemMonitorPass, EditDuringThePass)
{
    QTemporaryDir dir;
    std::string text = "OutFile=pkg\n[objectimages]\nIMAGE0=\n[mapobjects]\n";
    constexpr int kRows = 200007;
    for (int row = 0; row < kRows; ++row)
        text += row % 1000 == 0 ? "-5,0,IMAGE0\n" : "1,1,IMAGE0\n";
    const std::string path = (dir.path() + "/big.ini").toStdString();
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
    file.close();

    platform::FakePictureService service;
    DocumentSession session;
    ProblemPictures pictures(service);
    platform::QtFileOperations files;
    ProblemMonitor monitor(session, pictures, files);
    session.open(path);
    ASSERT_TRUE(monitor.checking());
    EditorValues values;
    values.xText = "-1";
    values.yText = "0";
    values.imageChoice = 0;
    values.layerChoice = 0;
    values.modeChoice = 6;
    // One slice or more has run: the edits fall before and after its end.
    QCoreApplication::processEvents();
    session.push(std::make_unique<ApplyObjectStep>(session, ObjectKind::Map, values, kRows - 1));
    session.push(std::make_unique<DeleteObjectsStep>(session, ObjectKind::Map, std::vector<std::size_t>{0}));
    monitor.finishChecking();
    EXPECT_FALSE(monitor.checking());
    // Rows 1000, 2000, ... stay off the map, now one row up; the edited last row joins them.
    const std::size_t offMap = (kRows - 1) / 1000 + 1;
    EXPECT_EQ(monitor.counts(), (ProblemCounts{1, offMap, 0}));  // IMAGE0 has no picture file
    EXPECT_EQ(monitor.problems().back().row, static_cast<std::size_t>(kRows - 2));
}

// A FIFO named as a picture is refused at once by the decoding in the
// background, never read.
TEST(ProblemMonitorPictures, FifoIsUnreadable)
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath(QStringLiteral("pipe.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QFile file(dir.filePath(QStringLiteral("f.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("OutFile=pkg\nFile=pipe.png\n[objectimages]\nIMAGE0=pipe.png\n[mapobjects]\n1,1,IMAGE0\n");
    file.close();
    DocumentSession session;
    platform::QtPictureService service;
    ProblemPictures pictures(service);
    platform::QtFileOperations files;
    ProblemMonitor monitor(session, pictures, files);
    session.open(file.fileName().toStdString());
    monitor.finishChecking();
    ASSERT_EQ(monitor.problems().size(), 1u);
    EXPECT_EQ(monitor.problems()[0].code, "image-unreadable");
    EXPECT_EQ(monitor.problems()[0].message,
              "IMAGE0's picture 'pipe.png' cannot be decoded: " + pipe.toStdString() + " is not a regular file");
}

}  // namespace

// Notices wait for one pass: a pass that sees two notices naming one row
// finds what a pass after each would, messages and lines included.
TEST(ProblemMonitorPass, BurstEqualsStepByStep)
{
    const auto deleteRow = [](Fixture& f, std::size_t row) {
        f.push(std::make_unique<DeleteObjectsStep>(f.session, ObjectKind::Map, std::vector<std::size_t>{row}));
    };
    const std::vector<std::function<void(Fixture&)>> halves[] = {
        {[](Fixture& f) { f.apply(ObjectKind::Map, 1, "5", "5", 2); },
         [](Fixture& f) { f.apply(ObjectKind::Map, 1, "-9", "5", 0); }},
        {[](Fixture& f) { f.apply(ObjectKind::Map, 0, "-3", "1", 9); }, [&](Fixture& f) { deleteRow(f, 0); }},
        // Row 1 had no problem when the burst began; it moves up before its check.
        {[](Fixture& f) {
             f.apply(ObjectKind::Map, 1, "5", "5", 2);
             f.monitor.finishChecking();
         },
         [](Fixture& f) { f.apply(ObjectKind::Map, 1, "-9", "5", 0); }, [&](Fixture& f) { deleteRow(f, 0); }},
        {[&](Fixture& f) { deleteRow(f, 0); }, [](Fixture& f) { f.apply(ObjectKind::Map, 0, "7", "-7", 1); }},
        {[](Fixture& f) { f.apply(ObjectKind::Map, 1, "5", "5", 2); },
         [](Fixture& f) { f.push(std::make_unique<DeleteImageStep>(f.session, 2, false)); }},
        {[](Fixture& f) { f.push(std::make_unique<ClearObjectsStep>(f.session, ObjectKind::Map)); },
         [](Fixture& f) { f.session.undo(); }},
    };
    for (const auto& steps : halves) {
        Fixture f;
        ProblemMonitor stepwise(f.session, f.pictures, f.files);
        f.write("def.ini", kDefinition);
        f.service.pictures.insert(QString::fromStdString(f.path("a.bmp")), QImage(8, 8, QImage::Format_RGB32));
        f.session.open(f.path("def.ini"));
        f.monitor.finishChecking();
        stepwise.finishChecking();
        for (const auto& step : steps) {
            step(f);
            stepwise.finishChecking();
        }
        EXPECT_TRUE(f.monitor.checking());
        f.monitor.finishChecking();
        ASSERT_EQ(Listed(f.monitor.problems()), Listed(stepwise.problems()));
        for (std::size_t i = 0; i < stepwise.problems().size(); ++i)
            EXPECT_EQ(f.monitor.problems()[i].message, stepwise.problems()[i].message);
    }
}
