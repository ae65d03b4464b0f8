// The map window's panels and stamp over a session: objects drawn no smaller
// than their least size, a stamp's line and fill as one step each, and a
// Properties change to several objects as one step.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include "app/ObjectCommands.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"
#include "tests/fakes/FakeClipboard.h"
#include "tests/fakes/FakePictureService.h"
#include "tests/fakes/FakeSettingsStore.h"
#include "tests/ui/FakePrompter.h"
#include "ui/Guarded.h"
#include "ui/MapPainting.h"
#include "ui/MapPanels.h"
#include "ui/MapSessionEditor.h"
#include "ui/MapView.h"
#include "ui/ObjectListModel.h"
#include "ui/PropertiesPanel.h"
#include "ui/StampTool.h"

using namespace qel;
using namespace qel::ui;

namespace {

TEST(LeastSizeTest, TinyObjectsAreDrawnAsDotsOfThreePixels)
{
    struct Case {
        const char* name;
        QRect box;
        QRect dot;  // what is coloured, within a 16 x 16 part
    };
    const std::vector<Case> cases = {
        {"one pixel: centred", {5, 5, 1, 1}, {4, 4, 3, 3}},
        {"two pixels", {5, 5, 2, 2}, {5, 5, 3, 3}},
        {"wide and flat: only its height grows", {2, 8, 10, 1}, {2, 7, 10, 3}},
        {"at the part's edge: cut there", {0, 15, 1, 1}, {0, 14, 2, 2}},
        {"no pixels: still a dot", {9, 9, 0, 0}, {8, 8, 3, 3}},
    };
    for (const Case& c : cases) {
        QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
        image.fill(0);
        DrawLeastObject(image, QRect(0, 0, 16, 16), c.box, qRgb(200, 10, 10));
        QRect coloured;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (image.pixel(x, y) != 0)
                    coloured |= QRect(x, y, 1, 1);
        EXPECT_EQ(coloured, c.dot) << c.name;
    }
}

class MapPanelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString file = dir.filePath(QStringLiteral("m.ini"));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(
            "[objectimages]\r\nIMAGE0=tile.png\r\nIMAGE1=wide.png\r\n[mapobjects]\r\n1000,1000,IMAGE0,0\r\n"
            "15000,9000,IMAGE0,TopMost\r\n3000,12000,IMAGE1,0\r\n");
        out.close();
        QImage tile(16, 16, QImage::Format_ARGB32);
        tile.fill(QColor(0, 200, 0));
        pictures.pictures.insert(dir.filePath(QStringLiteral("tile.png")), tile);
        pictures.pictures.insert(dir.filePath(QStringLiteral("wide.png")), tile.scaled(48, 16));
        session.open(FileNameBytes(file));
        view = std::make_unique<MapView>(session, selection, settings, pictures, prompter);
        questions = std::make_unique<PromptedQuestions>(prompter, view.get());
        commands = std::make_unique<app::ObjectCommands>(session, *questions, clipboard, files, pictures);
        placer = std::make_unique<MapSessionEditor>(*commands, ObjectKind::Map, prompter, view.get(),
                                                    [this] { return values; });
        view->setEditor(placer.get());
        MapPanelSources sources;
        sources.values = [this] { return values; };
        sources.choose = [this](int position) { values.imageChoice = position; };
        sources.mapSelection = &selection;
        sources.placer = placer.get();
        panels = new MapPanels(*view, session, *commands, prompter, std::move(sources));
        values.imageChoice = 1;
        panels->followImageChoice();
    }

    QTemporaryDir dir;
    app::DocumentSession session;
    ObjectListModel model{session, ObjectKind::Map};
    QItemSelectionModel selection{&model};
    platform::FakeSettingsStore settings;
    platform::FakeClipboard clipboard;
    platform::QtFileOperations files;
    std::unique_ptr<PromptedQuestions> questions;
    std::unique_ptr<app::ObjectCommands> commands;
    platform::FakePictureService pictures;
    FakePrompter prompter;
    EditorValues values;
    std::unique_ptr<MapView> view;
    std::unique_ptr<MapSessionEditor> placer;
    MapPanels* panels = nullptr;
};

TEST_F(MapPanelsTest, AtTheWholeMapEveryObjectShows)
{
    MapCanvas& canvas = view->canvas();
    canvas.viewport()->resize(400, 400);
    canvas.zoomWholeMap();
    QImage shot(400, 400, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&shot);
    for (int frame = 0; frame < 8 && (frame == 0 || canvas.drawingLeft()); ++frame)
        canvas.render(painter, shot.size());
    // Each of the three, a pixel or so across at this zoom, is a dot of 3 x 3 where it stands.
    int dots = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            dots += QColor(shot.pixel(x, y)) == QColor(0, 200, 0);
    EXPECT_EQ(dots, 27);
    for (const QPointF at : {QPointF(1008, 1008), QPointF(15008, 9008), QPointF(3024, 12008)}) {
        const QPoint p = ((at - canvas.mapPointAt({0, 0})) * canvas.scale()).toPoint();
        EXPECT_EQ(QColor(shot.pixel(p)), QColor(0, 200, 0)) << at.x() << "," << at.y();
    }
}

TEST_F(MapPanelsTest, ALineAndAFillAreOneStepEach)
{
    StampTool& stamp = panels->stamp();
    ASSERT_TRUE(stamp.setActive(true));
    const std::size_t before = session.document().mapObjects().size();
    stamp.press({100, 100}, Qt::NoModifier);
    stamp.moveTo({100 + 48 * 9, 103});  // wide.png: a pitch of 48
    stamp.release({100 + 48 * 9, 103});
    EXPECT_EQ(session.document().mapObjects().size(), before + 10);
    EXPECT_EQ(session.document().mapObjects().line(before + 9), "528,96,IMAGE1");
    session.undo();
    EXPECT_EQ(session.document().mapObjects().size(), before);
    // 342 x 1025 at 48 x 16 over the whole map's height: asked first, and refused.
    prompter.confirmAnswers.push_back(false);
    stamp.press({0, 0}, Qt::ShiftModifier);
    stamp.release({16368, 16384});
    EXPECT_TRUE(prompter.confirmAnswers.empty());
    EXPECT_EQ(session.document().mapObjects().size(), before);
    stamp.press({0, 0}, Qt::ShiftModifier);
    stamp.release({48 * 99, 16 * 99});
    EXPECT_EQ(session.document().mapObjects().size(), before + 10000);
}

TEST_F(MapPanelsTest, APropertyChangesEverySelectedObjectAsOneStep)
{
    selection.select(QItemSelection(model.index(0, 0), model.index(1, 0)), QItemSelectionModel::ClearAndSelect);
    PropertiesPanel& properties = panels->properties();
    auto* layer = properties.findChild<QComboBox*>(QStringLiteral("PropertyLayer"));
    EXPECT_EQ(layer->currentIndex(), -1) << "BelowAll and TopMost: mixed";
    EXPECT_EQ(properties.shown().image, 0);
    emit layer->activated(2);
    EXPECT_EQ(session.document().mapObjects().line(0), "1000,1000,IMAGE0,AfterTiles");
    EXPECT_EQ(session.document().mapObjects().line(1), "15000,9000,IMAGE0,AfterTiles");
    EXPECT_EQ(layer->currentIndex(), 2);
    session.undo();
    EXPECT_EQ(session.document().mapObjects().line(1), "15000,9000,IMAGE0,TopMost");
}

}  // namespace
