// The whole window driven through its sections' and the map view's own
// handlers, the problems following, by a seeded random walk
// (QEL_RANDOM_SEED, QEL_RANDOM_ACTIONS) after two walks that once broke it.
// After every action the document must be what its history replays, every
// view must agree with a fresh look at the document, the "*" must tell unsaved
// work and a save must have written the document. Commands ask at random.

#include <QLineEdit>
#include <QListView>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <random>
#include <set>

#include "app/ObjectCommands.h"
#include "app/ProblemMonitor.h"
#include "app/ProblemPictures.h"
#include "core/DefinitionWriter.h"
#include "core/ObjectFilter.h"
#include "platform/FileNameText.h"
#include "tests/fakes/FakePictureService.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/FileSection.h"
#include "ui/ImageSection.h"
#include "ui/ImagesPanel.h"
#include "ui/Latin1Text.h"
#include "ui/MapCanvas.h"
#include "ui/MapPanels.h"
#include "ui/MapScreenCanvas.h"
#include "ui/ObjectActions.h"
#include "ui/ObjectFilterBar.h"
#include "ui/ObjectListModel.h"
#include "ui/ObjectListView.h"
#include "ui/ObjectsSection.h"
#include "ui/OverviewPanel.h"
#include "ui/PointerReport.h"
#include "ui/StampTool.h"

using namespace qel;
using qel::ui::ObjectsSection;

namespace {

class WholeWindowTest : public MainWindowTest, public CheckEnvironment {
protected:
    WholeWindowTest() { services.pictures = &pictures; }
    bool fileExists(const std::string& p) override { return QFileInfo(FileNameText(p)).isFile(); }
    PictureFacts picture(const std::string& p) override { return app::ProblemPictures::Decode(pictures, p); }
    const DefinitionDocument& doc() const { return frm->document(); }

    std::string bytes() const { return ComposeDefinition(doc()); }

    // What differs from a fresh look at the document; empty when nothing does.
    std::string differences(bool replayed, bool sameRow)
    {
        // An undo or redo, or an action that could neither make a step nor
        // add to the newest one, leaves the bytes of a step already seen.
        const QUndoStack& history = frm->session().history();
        if (lastCount == history.undoLimit() && history.command(0) != oldest)  // the oldest step let go
            bytesAt.erase(bytesAt.begin()), --lastAt;
        oldest = history.count() ? history.command(0) : nullptr;
        const int at = history.index();
        const bool merges = at > 0 && at == history.count() && history.command(at - 1)->id() != -1;
        if ((replayed || at < lastAt || (at == lastAt && history.count() == lastCount && !merges))
            && bytes() != bytesAt[at])
            return "the document is not what it was at step " + std::to_string(at);
        bytesAt.resize(history.count() + 1);
        bytesAt[at] = bytes();
        lastAt = at, lastCount = history.count();

        frm->problemMonitor().finishChecking();
        const auto keys = [](const std::vector<Problem>& problems) {
            std::multiset<std::tuple<Severity, ProblemPlace, std::size_t, std::string>> out;
            for (const Problem& p : problems)
                out.emplace(p.severity, p.place, p.row, p.message);
            return out;
        };
        if (keys(frm->problemMonitor().problems()) != keys(CheckDocument(doc(), *this)))
            return "the problems differ from a fresh check";

        std::unordered_map<std::int32_t, MapSize> sizes;  // the first image of a number is the one shown
        std::set<std::int32_t> numbers;
        for (const ObjectImage& image : doc().images()) {
            const auto found = pictures.pictures.constFind(FileNameText(doc().documentFolder() + image.file));
            if (numbers.insert(image.number).second && !image.file.empty() && found != pictures.pictures.cend())
                if (const auto cell = FirstCellSize({found->width(), found->height()}, image.xTiles, image.yTiles))
                    sizes.emplace(image.number, *cell);
        }
        MapIndex built;
        built.setImageSizes(sizes);
        built.rebuild(doc().mapObjects());
        const MapIndex& live = find<ui::MapCanvas>("MapCanvas")->index();
        bool same = live.rows() == built.rows() && live.indexedCount() == built.indexedCount()
                    && live.bounds() == built.bounds();
        for (std::size_t row = 0; same && row < built.indexedCount(); ++row)
            same = live.rect(row) == built.rect(row) && live.layer(row) == built.layer(row);
        if (!same || frm->mapObjectModel()->rowCount() != static_cast<int>(doc().mapObjects().size()))
            return "the map's index or list differs from the document";

        // A filtered list shows what a fresh filter keeps.
        for (const ObjectKind kind : {ObjectKind::Map, ObjectKind::Screen}) {
            auto* view = find<ui::ObjectListView>(kind == ObjectKind::Map ? "MapObjectList" : "ScreenObjectList");
            const ObjectFilter filter(ui::CheckedBytes(view->findChild<QLineEdit*>("ObjectFilter")->text()));
            const auto kept = view->findChild<ui::ObjectFilterBar*>()->keptRows();
            if (filter.empty() ? kept != nullptr : (!kept || *kept != filter.rows(doc().objects(kind))))
                return "a filtered list shows other rows than a fresh filter keeps";
        }

        // The editor shows its row where the user did not type, and follows
        // that row: a step that changes no row's content changes none of its values.
        const auto loaded = section<ObjectsSection>()->loadedRow();
        const auto values = loaded ? LoadObject(doc(), loaded->kind, loaded->row) : std::nullopt;
        if (values && sameRow && seen && seen->first == loaded->kind) {
            seen->second.imageChoice = values->imageChoice;  // images come and go without touching a row
            if (seen->second != *values)
                return "the editor follows another row than it loaded";
        }
        seen.reset();
        if (!values)
            return {};
        seen = {loaded->kind, *values};
        const EditorValues shown = section<ObjectsSection>()->editorValues();
        const bool equal[] = {shown.xText == values->xText,
                              shown.yText == values->yText,
                              shown.imageChoice == values->imageChoice || doc().images() != imagesAtLoad,
                              shown.layerChoice == values->layerChoice,
                              shown.modeChoice == values->modeChoice,
                              shown.displayTimeText == values->displayTimeText,
                              shown.objectIdText == values->objectIdText};
        for (int field = 0; field < 7; ++field)
            if (!equal[field] && !(typed & 1 << field))
                return "the editor's field " + std::to_string(field) + " does not show the loaded row";
        return {};
    }

    // Undoes everything (back to the opened document, or to the oldest step
    // the history's budget keeps), then redoes back to where it was, each
    // step compared with the bytes it had.
    std::string roundTrip()
    {
        app::DocumentSession& session = frm->session();
        const int start = session.history().index();
        for (bool back : {true, false})
            while (back ? session.canUndo() : session.history().index() < start) {
                back ? frm->UndoExecute() : frm->RedoExecute();
                if (bytes() != bytesAt[session.history().index()])
                    return back ? "an undo gives other bytes" : "a redo gives other bytes";
            }
        return {};
    }

    qel::platform::FakePictureService pictures;
    std::vector<std::string> bytesAt;  // the document at each step of the history
    int lastAt = 0, lastCount = 0;
    const QUndoCommand* oldest = nullptr;
    int typed = 0;  // the editor fields typed into since the last load
    int loads = 0;
    std::vector<ObjectImage> imagesAtLoad;
    std::optional<std::pair<ObjectKind, EditorValues>> seen;
};

TEST_F(WholeWindowTest, EveryViewAgreesWithTheDocumentThroughARandomWalk)
{
    pictures.pictures[path("a.bmp")] = QImage(2048, 1024, QImage::Format_Mono);
    pictures.pictures[path("b.bmp")] = QImage(40, 24, QImage::Format_RGB32);
    writeFile(path("a.bmp"), "a");
    writeFile(path("b.bmp"), "b");
    writeFile(
        path("d.ini"),
        "OutFile=p.pkg\r\nFile=a.bmp\r\nFile=c.png\r\n[objectimages]\r\nIMAGE0=a.bmp,2,1\r\nIMAGE1=b.bmp,2,1,100\r\n"
        "IMAGE2=c.png\r\n[mapobjects]\r\n8176,8136,IMAGE1,AfterTiles,ShowAlways,0,1\r\n10,10,IMAGE0\r\n20,20,IMAGE2,"
        "TopMost\r\n[screenobjects]\r\nC-1,1,IMAGE1\r\n5,5,IMAGE2,BelowAll,Kill,50\r\nC-100,abc,IMAGE0\r\n"
        "9,9,IMAGEx\r\n");  // the last line cannot be taken apart: the read stops there
    frm->OpenPath(path("d.ini"));
    for (const char* timer : {"Timer", "AnimTimer"})
        find<QTimer>(timer)->stop();  // the walk runs the refresh itself, after every action
    frm->TimerTimer();
    frm->MapView1Click();
    frm->ShowProblems();
    auto* objects = section<ObjectsSection>();
    auto* images = section<ui::ImageSection>();
    auto* files = section<ui::FileSection>();
    auto* map = find<ui::MapCanvas>("MapCanvas");
    auto* screen = find<ui::MapScreenCanvas>("MapScreenCanvas");
    auto* panels = find<ui::MapPanels>("MapPanels");
    QObject::connect(objects, &ObjectsSection::rowLoaded, [this] { typed = 0, ++loads; });
    bool replaced = false, saved = false;  // by the last action
    QObject::connect(&frm->session(), &app::DocumentSession::documentReplaced, [&] { replaced = true; });
    frm->settings().setCompilerPathAndStore(QStringLiteral("/t/BuildLevel"));
    writeFile(path("other.ini"), "OutFile=theirs\r\n");
    bytesAt = {bytes()};

    // The test command walks the same way each time; a long or another walk is asked for.
    const std::uint64_t seed =
        qEnvironmentVariableIsSet("QEL_RANDOM_SEED") ? qgetenv("QEL_RANDOM_SEED").toULongLong() : 1;
    const std::uint64_t count =
        qEnvironmentVariableIsSet("QEL_RANDOM_ACTIONS") ? qgetenv("QEL_RANDOM_ACTIONS").toULongLong() : 5000;
    std::fprintf(stderr, "Random walk of %llu actions, seed %llu\n", static_cast<unsigned long long>(count),
                 static_cast<unsigned long long>(seed));
    std::mt19937_64 rng(seed);
    const auto pick = [&](std::size_t n) { return n == 0 ? 0 : static_cast<int>(rng() % n); };
    const auto oneOf = [&](std::vector<const char*> texts) { return texts[pick(texts.size())]; };
    const auto list = [&] { return find<ui::ObjectListView>(pick(2) ? "ScreenObjectList" : "MapObjectList"); };
    const auto ask = [&](bool answer) { return prompter.confirmAnswers.push_back(answer), answer; };
    const auto onCanvas = [&](auto* canvas, QPointF at, int what) {
        const Qt::KeyboardModifiers shift = pick(3) ? Qt::NoModifier : Qt::ShiftModifier;
        ui::EditTool& tool = canvas->tool();
        what == 0   ? tool.clickAt(at, pick(4) ? Qt::NoModifier : Qt::ControlModifier)
        : what == 1 ? tool.dragObject(at, at + QPointF(pick(65) - 32, pick(65) - 32), shift)
        : what == 2 ? tool.nudge(pick(3) * 16 - 16, pick(3) - 1)
        : what == 3 ? tool.placeAt(at, shift)
                    : tool.deleteSelection();
    };
    const auto mapPoint = [&] {
        const MapIndex& index = map->index();
        const MapRect r = index.indexedCount() ? index.rect(pick(index.indexedCount())) : MapRect{8000, 8000, 1, 1};
        return pick(5) ? QPointF(r.x + 1.0, r.y + 1.0) : QPointF(pick(16384), pick(16384));
    };
    struct Action {
        const char* name;
        bool keepsRows;  // leaves every row's content as it was
        std::function<void()> run;
    };
    using Click = void (ObjectsSection::*)();
    const Click buttons[] = {&ObjectsSection::AddObjectClick, &ObjectsSection::DelObjectClick,
                             &ObjectsSection::SwitchClick, &ObjectsSection::CenterSafeClick,
                             &ObjectsSection::SplashScreenCenterClick};
    // Every question a command may ask, answered at random.
    const auto answerAll = [&] {
        prompter.confirmAnswers = {pick(3) != 0, pick(3) != 0, pick(3) != 0};
        prompter.saveChangesAnswers = {static_cast<ui::SaveChangesAnswer>(pick(3))};
        prompter.saveAnswers = {pick(4) ? path(oneOf({"d.ini", "w.ini", "w"})) : QString()};
        find<QStatusBar>("Status")->clearMessage();
    };
    const auto told = [&] { return !find<QStatusBar>("Status")->currentMessage().isEmpty(); };  // a save
    const std::vector<Action> actions = {
        {"ClickRow", true,
         [&] {
             auto* view = list();
             view->setCurrentIndex(view->model()->index(pick(view->model()->rowCount()), 0));
             emit view->currentRowChosen();
         }},
        {"SelectRows", true,
         [&] {  // shift- or control-clicks: the current row stays
             auto* view = list();
             const int first = pick(view->model()->rowCount()),
                       last = std::min(first + pick(3), view->model()->rowCount() - 1);
             view->selectionModel()->select(
                 QItemSelection(view->model()->index(first, 0), view->model()->index(last, 0)),
                 pick(2) ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Toggle);
         }},
        {"ShowKind", true, [&] { find<QComboBox>("ObjectsBox")->setCurrentIndex(pick(2)); }},
        {"Type", true,
         [&] {
             static const char* const edits[] = {"eObjectX", "eObjectY", "eObjectDsplyTime", "eObjectID", "eImageFile",
                                                 "eImageX",  "eImageY",  "eImageTime",       "eOutFile"};
             const int edit = pick(9);
             auto* line = find<QLineEdit>(edits[edit]);
             if (pick(4))
                 line->selectAll();
             QTest::keyClicks(line, oneOf({"100", "8160", "@3", "t2", "-16", "2", "0", "a.bmp", "c.png", "abc", "\b"}));
             if (pick(4) == 0)
                 QTest::keyClick(line, Qt::Key_Return);
             typed |= edit < 4 ? 1 << (edit < 2 ? edit : edit + 3) : 0;
         }},
        {"Choose", true,
         [&] {
             const int box = pick(3);
             auto* combo = find<QComboBox>(box == 0 ? "ObjectImageBox" : box == 1 ? "ObjectLayerBox" : "ObjectModeBox");
             combo->setCurrentIndex(pick(combo->count() + 1) - 1);
             typed |= 1 << (2 + box);
         }},
        {"ObjectButton", true, [&] { typed |= 3, (objects->*buttons[pick(5)])(); }},  // Add writes the expanded X and Y
        {"Apply", false, [&] { typed |= 3, objects->ApplyObjectClick(); }},
        {"Clear", true, [&] { pick(4) ? void() : objects->ClearObjectListClick(); }},
        {"Sort", true,
         [&] {
             const int key = pick(kSortKeyCount + 1);
             objects->SortRequested(pick(2) ? ObjectKind::Map : ObjectKind::Screen,
                                    key < kSortKeyCount ? std::optional(static_cast<SortKey>(key)) : std::nullopt);
         }},
        {"Tiled", true,
         [&] {
             const int choice = objects->editorValues().imageChoice;
             if (choice >= 0 && choice < static_cast<int>(doc().images().size())
                 && doc().images()[choice].file == "a.bmp")
                 objects->BackgroundTiledZindle1Click();
         }},
        {"Image", true,
         [&] {
             const int what = pick(3);
             what == 0 ? images->AddImageClick() : images->selectImage(pick(doc().images().size()));
             if (what == 2 && images->SelectedImage() && ask(pick(4) != 0))
                 ask(pick(2));
             what == 2 ? images->DelImageClick() : void();
         }},
        {"File", true,
         [&] {
             auto* view = find<QListView>("FileList");
             view->selectionModel()->select(view->model()->index(pick(doc().files().size()), 0),
                                            QItemSelectionModel::Toggle);
             prompter.openFilesAnswers.push_back({path(oneOf({"a.bmp", "c.png", "s.wav"}))});
             pick(2) ? files->DelFileClick() : files->AddFileClick();
             prompter.openFilesAnswers.clear();
         }},
        {"Map", false, [&] { onCanvas(map, mapPoint(), pick(5)); }},
        {"Screen", false,
         [&] {
             const auto r = screen->rowRect(pick(doc().screenObjects().size()));
             onCanvas(screen, r && pick(5) ? QPointF(r->center()) : QPointF(pick(640), pick(480)), pick(5));
         }},
        {"Undo", false, [&] { frm->UndoExecute(); }},
        {"Redo", false, [&] { frm->RedoExecute(); }},
        {"EditMenu", true,
         [&] {
             if (pick(3) == 0)
                 clipboard.held = QString::fromLatin1(oneOf({"", "8000,8000,IMAGE1\r\n16,16,IMAGE0,TopMost\r\n",
                                                             "C-5,c-0,IMAGE2", "1,2,IMAGEz", "\n\n3,4,IMAGE0\n"}));
             find<QAction>(oneOf({"Cut1", "Copy1", "Paste1", "Duplicate1", "SelectAll1", "SelectUsingImage1"}))
                 ->trigger();
         }},
        {"ObjectCommands", false,
         [&] {
             // The commands as any view calls them, with the lists' view as it is.
             app::ObjectCommands& commands = frm->objectCommands();
             const app::ViewState view = objects->CurrentViewState();
             const QPointF at = mapPoint();
             const ObjectKind kind = pick(2) ? ObjectKind::Map : ObjectKind::Screen;
             const std::vector<std::size_t> rows = view.of(kind).rows();
             const int what = pick(6);
             if (what == 0)
                 commands.paste(ObjectKind::Map, view, std::pair<std::int64_t, std::int64_t>(at.x(), at.y()));
             else if (what == 1)
                 commands.cut(ObjectKind::Map, map->tool().editableSelection(), view);
             else if (what == 2)
                 commands.move(kind, rows, pick(5) * 16 - 32, pick(3) - 1, view);
             else if (what == 3)
                 commands.place(kind, objects->editorValues(), pick(17000), pick(17000), view);
             else if (what == 4)
                 commands.duplicate(kind, rows, view);
             else
                 commands.copy(kind, rows);
         }},
        {"MapSelect", true,
         [&] {
             const QPointF at = mapPoint();
             const MapRect band{std::int64_t(at.x()) - 8, std::int64_t(at.y()) - 8, pick(300) + 1, pick(300) + 1};
             const int what = pick(3);
             what == 0 ? frm->findChild<ui::ObjectActions*>(QStringLiteral("ObjectActions"))
                             ->selectUsingImage(ObjectKind::Map, pick(doc().mapObjects().size() + 1))
             : what == 1 ? map->tool().selectArea(band, pick(2))
                         : map->tool().deselectArea(band);  // what Shift and Ctrl+Shift bands end in
         }},
        {"Palette", true,
         [&] {
             typed |= 1 << 2;
             pick(3) ? panels->images().choose(pick(doc().images().size() + 1)) : panels->images().typeDigit(pick(10));
         }},
        {"Stamp", false,
         [&] {
             ui::StampTool& stamp = panels->stamp();
             if (!stamp.setActive(pick(6) != 0))
                 return;
             const QPointF at = mapPoint();
             stamp.press(at, pick(3) ? Qt::NoModifier : pick(2) ? Qt::ShiftModifier : Qt::ControlModifier);
             stamp.moveTo(at + QPointF(pick(400) - 200, pick(400) - 200));
             stamp.release(at + QPointF(pick(400) - 200, pick(400) - 200));
         }},
        {"Properties", false,
         [&] {
             auto* panel = find<QWidget>("PropertiesPanel");
             if (pick(2)) {
                 auto* box = panel->findChild<QComboBox*>(oneOf({"PropertyImage", "PropertyLayer", "PropertyMode"}));
                 emit box->activated(pick(box->count() + 1) - 1);
                 return;
             }
             auto* edit = panel->findChild<QLineEdit*>(oneOf({"PropertyX", "PropertyY", "PropertyTime", "PropertyId"}));
             edit->setText(QString::fromLatin1(oneOf({"16", "-32", "C-5", "8160", "abc", "", "0"})));
             edit->setModified(true);
             emit edit->editingFinished();
         }},
        {"Overview", true,
         [&] {
             auto* overview = find<ui::OverviewPanel>("MapOverview");
             QTest::mouseClick(overview, Qt::LeftButton, {}, QPoint(pick(overview->width()), pick(overview->height())));
             overview->repaint();
             panels->pointer().showAt(mapPoint());
             if (pick(8) == 0)
                 find<QAction>(oneOf({"DockProblemsView", "DockCompilerOutput"}))->toggle();
         }},
        {"Filter", true,
         [&] {
             auto* box = list()->findChild<QLineEdit*>("ObjectFilter");
             box->setText(box->text() + oneOf({"", " ", "1", "image", "x:0-100", "layer:topmost", "c-", "!"}));
             if (pick(4) == 0)
                 QTest::keyClick(box, Qt::Key_Escape);
         }},
        {"Save", false, [&] { answerAll(), pick(3) ? frm->SaveExecute() : frm->SaveAsExecute(), saved = told(); }},
        {"Compile", false, [&] { answerAll(), frm->CompileExecute(), saved = told(); }},
        {"NewOrOpen", true,
         [&] {
             const QString file = path(oneOf({"d.ini", "w.ini", "other.ini"}));
             answerAll(), prompter.openAnswers = {pick(5) ? file : QString()};
             const int what = QFileInfo::exists(file) ? pick(3) : 0;
             what == 0 ? frm->NewExecute() : what == 1 ? frm->aOpenExecute() : frm->OpenRecent(file);
         }},
        {"DiskChange", true,
         [&] {
             const QString file = FileNameText(doc().currentFile());
             if (file.isEmpty() || file == path("other.ini"))  // what the links lead to stays
                 return;
             const QString away = path("away.ini"), other = path("other.ini");
             const int what = pick(4);  // rewritten, deleted, renamed away or back, a link
             what == 0   ? writeFile(file, "OutFile=outside\r\n" + std::string(pick(3), '\n'))
             : what == 1 ? void(QFile::remove(file))
             : what == 2 ? void(QFile::exists(away) ? QFile::rename(away, file) : QFile::rename(file, away))
                         : void(QFile::remove(file) && QFile::link(other, file));
             prompter.confirmAnswers = {pick(2) != 0};
             QEvent activated(QEvent::WindowActivate);
             QApplication::sendEvent(frm.get(), &activated);
         }},
        {"Change", false,
         [&] {
             ui::ObjectChangeFields fields;
             for (auto* field : {&fields.dx, &fields.dy, &fields.image, &fields.layer, &fields.mode,
                                 &fields.displayTime, &fields.objectId})
                 *field = {pick(3) == 0, pick(3) * 16 - 16};
             fields.image.value = fields.layer.value = fields.mode.value = pick(3);
             fields.displayTime.value = fields.objectId.value = pick(3) * 10;
             prompter.changeAnswers.push_back(pick(8) ? std::optional(fields) : std::nullopt);
             objects->ChangeSelectedClick();
             prompter.changeAnswers.clear();  // nothing selected: not asked
         }},
    };
    // Deleting an image with its objects once crashed the problems; a drag
    // left the editor showing where the object had been, for Apply to put back.
    const std::vector<Action> opening = {
        {"DeleteImage1WithItsObjects", true,
         [&] {
             images->selectImage(1);
             ask(true), ask(true), images->DelImageClick();
         }},
        {"Undo", false, [&] { frm->UndoExecute(); }},
        {"ClickObjectOnMap", true,
         [&] {
             map->clickAt({8180, 8140}, Qt::NoModifier);
         }},
        {"DragIt", false,
         [&] {
             map->dragObject({8180, 8140}, {8228, 8164}, Qt::NoModifier);
         }},
        {"Apply", false,
         [&] {
             objects->ApplyObjectClick();
             EXPECT_EQ(doc().mapObjects().xText(0) + "," + doc().mapObjects().yText(0), "8224,8160");
         }},
    };
    std::string trail;
    std::uint64_t checkpoint = 500;  // then at twice as many actions: the history grows with the walk
    for (std::uint64_t i = 0; i < opening.size() + count; ++i) {
        const Action& action = i < opening.size() ? opening[i] : actions[pick(actions.size())];
        trail = (trail.size() > 300 ? trail.substr(trail.find(' ', 100)) : trail) + ' ' + action.name;
        const int loadsBefore = loads;
        action.run();
        frm->TimerTimer();
        if (loads != loadsBefore)
            imagesAtLoad = doc().images();
        const std::string_view name = action.name;
        if (name == "Save" || name == "Compile" || name == "NewOrOpen" || name == "DiskChange")
            prompter.confirmAnswers.clear(), prompter.saveChangesAnswers.clear(), prompter.saveAnswers.clear();
        if (std::exchange(replaced, false))  // a new history
            bytesAt = {bytes()}, lastAt = lastCount = 0, oldest = nullptr, seen.reset();
        std::string failure = differences(name == "Undo" || name == "Redo", action.keepsRows && loads == loadsBefore);
        // Unsaved work is steps past the saved one, or a file no longer there.
        const QFileInfo file(FileNameText(doc().currentFile()));
        if (failure.empty()
            && frm->windowTitle().startsWith('*')
                   == (frm->session().history().isClean() && (doc().currentFile().empty() || file.isFile())))
            failure = "the title's \"*\" does not tell the unsaved work";
        if (failure.empty() && std::exchange(saved, false) && !frm->session().modified()
            && readFile(file.filePath()) != bytes())
            failure = "the file saved does not hold the document";
        if (failure.empty() && (i == checkpoint || i + 1 == count) && (failure = roundTrip()).empty())
            failure = differences(false, true);
        if (failure.empty() && !prompter.confirmAnswers.empty())
            failure = "a question was not asked";
        checkpoint *= i == checkpoint ? 2 : 1;
        if (!failure.empty() || HasFailure())
            FAIL() << "seed " << seed << ", action " << i << " (" << action.name << "): " << failure
                   << "\nlast actions:" << trail;
        prompter.errors.clear();
    }
    prompter.saveChangesAnswers = {ui::SaveChangesAnswer::No};
    frm->ExitExecute();  // every window goes with the main one
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
}

}  // namespace
