// The document session: every step undone gives back the bytes it found,
// redone the bytes it made, with the views where they were; "modified"
// follows the saved step; and a random mix of steps, undos and redos always
// equals replaying the same steps on a fresh document.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <random>

#include "app/ClipboardSteps.h"
#include "app/DocumentSession.h"
#include "app/FileSteps.h"
#include "app/ImageSteps.h"
#include "app/ObjectSteps.h"
#include "app/OutFileSteps.h"
#include "app/ReplaceRowsStep.h"
#include "app/RereadStep.h"
#include "core/DefinitionReader.h"
#include "core/DefinitionWriter.h"
#include "core/Errors.h"

using namespace qel;
using namespace qel::app;

namespace {

const char* const kStart =
    "OutFile=pkg\r\nFile=a.bmp\r\nFile=b.wav\r\n\r\n[objectimages]\r\nIMAGE0=a.bmp,4,2,100\r\nIMAGE1=b.bmp\r\n"
    "IMAGE2=c.bmp\r\n\r\n[mapobjects]\r\n1,1,IMAGE0,BelowAll,ShowAlways,0\r\n2,2,IMAGE1,BelowAll,ShowAlways\r\n"
    "3,3,IMAGE2\r\n5,5,IMAGE1,TopMost\r\n\r\n[screenobjects]\r\nC-1,2,IMAGE1\r\n0,0,IMAGE2,AfterTiles\r\n";

void Load(DocumentSession& session, const char* text = kStart)
{
    DefinitionDocument doc;
    ReadDefinitionBytes(doc, text);
    session.adopt(std::move(doc));
}

// The fields a rebuild from scratch gives for the list's lines.
void ExpectFieldsOfAFullRebuild(const ObjectList& list, const std::string& where)
{
    ObjectList fresh(list.kind());
    for (std::size_t row = 0; row < list.size(); ++row) {
        try {
            fresh.append(list.line(row));
        } catch (const ConversionError&) {
        }
    }
    ASSERT_EQ(list.takenApart(), fresh.takenApart()) << where;
    for (std::size_t row = 0; row < list.takenApart(); ++row)
        ASSERT_EQ(list.fields(row), fresh.fields(row)) << where << " row " << row;
}

void ExpectConsistent(const DocumentSession& session, const std::string& where)
{
    ExpectFieldsOfAFullRebuild(session.document().mapObjects(), where + " (map)");
    ExpectFieldsOfAFullRebuild(session.document().screenObjects(), where + " (screen)");
}

EditorValues Values(const char* x, const char* y, int image, int layer = 0, int mode = 6)
{
    EditorValues values;
    values.xText = x;
    values.yText = y;
    values.imageChoice = image;
    values.layerChoice = layer;
    values.modeChoice = mode;
    return values;
}

// The fields `bits` chooses: offsets, image, layer, mode, display time, id 0.
ObjectChange SomeChange(std::size_t bits)
{
    ObjectChange c;
    c.dx = bits & 1 ? 16 : 0;
    c.dy = bits & 2 ? -16 : 0;
    const auto field = [bits](int bit, std::int32_t value) {
        return bits >> bit & 1 ? std::optional<std::int32_t>(value) : std::nullopt;
    };
    c.imageNumber = field(2, 1);
    c.layer = field(3, 7);
    c.mode = field(4, 3);
    c.displayTime = field(5, 20);
    c.objectId = field(6, 0);
    return c;
}

using MakeStep = std::function<std::unique_ptr<SessionStep>(DocumentSession&)>;

template <class Step, class... Args>
MakeStep Object(Args... args)
{
    return [=](DocumentSession& s) { return std::make_unique<Step>(s, args...); };
}

ViewState View(ObjectKind shown, RowSelection map, RowSelection screen)
{
    return {shown, std::move(map), std::move(screen)};
}

RowSelection Rows(std::vector<std::size_t> rows, std::optional<std::size_t> current)
{
    return RowSelection::ofRows(std::move(rows), current);
}

struct StepCase {
    const char* name;
    MakeStep make;
    std::optional<ViewState> viewAfter;  // for steps with views
};

const ViewState kViewBefore = View(ObjectKind::Map, Rows({1, 2}, 2), Rows({0}, 0));

std::vector<StepCase> StepCases()
{
    using K = ObjectKind;
    return {
        {"AddMapObjectSelectsTheLastRowOfEachListKeepingTheCurrentRows",
         Object<AddObjectStep>(K::Map, Values("@2", "3", 1)), View(K::Map, Rows({4}, 2), Rows({1}, 0))},
        {"AddScreenObject", Object<AddObjectStep>(K::Screen, Values("C-5", "@1", 2, 7, 3)),
         View(K::Map, Rows({3}, 2), Rows({2}, 0))},
        {"AddOfALineThatCannotBeTakenApart", Object<AddObjectStep>(K::Map, Values("x", "1", 0)), std::nullopt},
        {"ApplyKeepsTheOtherRowsSelected", Object<ApplyObjectStep>(K::Map, Values("t1", "9", 2), std::size_t{0}),
         View(K::Map, Rows({0, 1, 2}, 0), Rows({0}, 0))},
        {"DeleteScatteredRows", Object<DeleteObjectsStep>(K::Map, std::vector<std::size_t>{0, 2, 9}),
         View(K::Map, {}, Rows({0}, 0))},
        {"DeleteOneRun", Object<DeleteObjectsStep>(K::Map, std::vector<std::size_t>{2, 1}),
         View(K::Map, {}, Rows({0}, 0))},
        {"ClearScreenObjects", Object<ClearObjectsStep>(K::Screen), View(K::Map, Rows({1, 2}, 2), {})},
        {"SwitchShowsTheOtherKind", Object<SwitchObjectsStep>(K::Map, std::vector<std::size_t>{3, 1}),
         View(K::Screen, Rows({1, 2}, 2), Rows({0}, 0))},
        {"TiledBackground", Object<TiledBackgroundStep>(8192, 8192, 0), kViewBefore},
        {"MoveMapObjectsKeepsTheSelection", Object<MoveObjectsStep>(K::Map, std::vector<std::size_t>{2, 1}, 16, -1),
         kViewBefore},
        {"MoveScreenObjectsStopsAtTheCentre", Object<MoveObjectsStep>(K::Screen, std::vector<std::size_t>{0, 1}, 5, 3),
         kViewBefore},
        {"PasteGoesAfterTheLastSelectedRowAndIsSelected",
         [](DocumentSession& s) { return MakePaste(s, K::Map, u"7,7,IMAGE0\r\n\r\n8,8,IMAGE1", 3); },
         View(K::Map, Rows({3, 4}, 3), Rows({0}, 0))},
        {"PasteAtThePointer",
         [](DocumentSession& s) {
             return MakePaste(s, K::Map, u"9,9,IMAGE0", 4, {{32, 48}});
         },
         View(K::Map, Rows({4}, 4), Rows({0}, 0))},
        {"DuplicateShowsItsKind",
         [](DocumentSession& s) {
             return MakeDuplicate(s, K::Screen, std::vector<std::size_t>{1, 0});
         },
         View(K::Screen, Rows({1, 2}, 2), Rows({2, 3}, 2))},
        {"ChangeKeepsTheSelection", Object<ChangeObjectsStep>(K::Screen, std::vector<std::size_t>{0, 1}, SomeChange(7)),
         kViewBefore},
        {"SortByDisplayTime", Object<SortObjectsStep>(K::Map, std::optional<SortKey>(SortKey::DisplayTime)),
         View(K::Map, {}, {})},
        {"RegenerateOnly", Object<SortObjectsStep>(K::Screen, std::optional<SortKey>()), View(K::Map, {}, {})},
        {"OutFile", [](DocumentSession& s) { return std::make_unique<SetOutFileStep>(s, "other"); }, std::nullopt},
        {"AddFiles",
         [](DocumentSession& s) {
             return std::make_unique<AddFilesStep>(s, std::vector<std::string>{"/x/c.png", "d.wav"}, false, nullptr,
                                                   nullptr);
         },
         std::nullopt},
        {"DeleteFiles",
         [](DocumentSession& s) { return std::make_unique<DeleteFilesStep>(s, std::vector<std::size_t>{0}); },
         std::nullopt},
        {"ClearFiles", [](DocumentSession& s) { return std::make_unique<ClearFilesStep>(s); }, std::nullopt},
        {"ImageFileFromTheList",
         [](DocumentSession& s) { return std::make_unique<ImageFileFromListStep>(s, 1, "b.wav"); }, std::nullopt},
        {"AddImage", [](DocumentSession& s) { return std::make_unique<AddImageStep>(s); }, std::nullopt},
        {"ImageNumber",
         [](DocumentSession& s) { return ImageFieldStep::numberText(s, 0, ImageNumberField::XTiles, "7"); },
         std::nullopt},
        {"ImageSpin", [](DocumentSession& s) { return ImageFieldStep::spinValue(s, 0, ImageNumberField::AniTime, 90); },
         std::nullopt},
        {"DeleteImageWithItsObjectsRegeneratesBothLists",
         [](DocumentSession& s) { return std::make_unique<DeleteImageStep>(s, 1, true); }, View(K::Map, {}, {})},
        {"DeleteImageOnly", [](DocumentSession& s) { return std::make_unique<DeleteImageStep>(s, 1, false); },
         std::nullopt},
    };
}

class StepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepTest, UndoGivesBackTheBytesAndViewsRedoMakesThemAgain)
{
    const StepCase& c = GetParam();
    DocumentSession session;
    Load(session);
    std::optional<ViewState> shown;
    QObject::connect(&session, &DocumentSession::viewStateRequested, [&](const ViewState& v) { shown = v; });

    const std::string before = ComposeDefinition(session.document());
    std::unique_ptr<SessionStep> step = c.make(session);
    step->setViewBefore(kViewBefore);
    try {
        session.push(std::move(step));
    } catch (const ConversionError&) {
        // Still one step: the line stays, without fields.
    }
    const std::string after = ComposeDefinition(session.document());
    ASSERT_NE(after, before);
    ASSERT_TRUE(session.canUndo());
    EXPECT_EQ(shown, c.viewAfter);
    ExpectConsistent(session, "done");

    for (int round = 0; round < 2; ++round) {
        shown.reset();
        session.undo();
        EXPECT_EQ(ComposeDefinition(session.document()), before) << "undo " << round;
        EXPECT_EQ(shown, kViewBefore);
        ExpectConsistent(session, "undone");
        EXPECT_FALSE(session.modified());
        shown.reset();
        session.redo();
        EXPECT_EQ(ComposeDefinition(session.document()), after) << "redo " << round;
        EXPECT_EQ(shown, c.viewAfter);
        ExpectConsistent(session, "redone");
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, StepTest, ::testing::ValuesIn(StepCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AddObjectStep, SelectsTheLastRowOfBothListsAndKeepsTheCurrentRows)
{
    const struct {
        ObjectKind kind;
        int mapRows;
        int screenRows;
        std::optional<std::size_t> mapSelected;
        std::optional<std::size_t> screenSelected;
    } cases[] = {
        // After Add to the map list while the screen list holds three rows,
        // the screen list has exactly its third row selected.
        {ObjectKind::Map, 0, 3, 0u, 2u},           {ObjectKind::Map, 4, 3, 4u, 2u},
        {ObjectKind::Map, 2, 0, 2u, std::nullopt}, {ObjectKind::Screen, 0, 0, std::nullopt, 0u},
        {ObjectKind::Screen, 5, 1, 4u, 1u},
    };
    for (const auto& c : cases) {
        DocumentSession session;
        DefinitionDocument doc;
        for (int i = 0; i < c.mapRows; ++i)
            doc.mapObjects().append(std::to_string(i) + ",0,IMAGE0");
        for (int i = 0; i < c.screenRows; ++i)
            doc.screenObjects().append("C-" + std::to_string(i) + ",0,IMAGE0");
        session.adopt(std::move(doc));
        auto step = std::make_unique<AddObjectStep>(session, c.kind, Values("1", "2", -1));
        step->setViewBefore(View(c.kind, Rows({0}, 0), Rows({0}, 0)));
        const SessionStep* pushed = session.push(std::move(step));
        ASSERT_TRUE(pushed && pushed->viewAfter());
        const auto selected = [](const RowSelection& s) -> std::optional<std::size_t> {
            return s.empty() ? std::nullopt : std::optional<std::size_t>(s.ranges.back().second);
        };
        EXPECT_EQ(selected(pushed->viewAfter()->map), c.mapSelected);
        EXPECT_EQ(selected(pushed->viewAfter()->screen), c.screenSelected);
        EXPECT_EQ(pushed->viewAfter()->map.rows().size(), c.mapSelected ? 1u : 0u);
        // The current row is the one last clicked, which Add leaves alone.
        EXPECT_EQ(pushed->viewAfter()->map.current, c.mapSelected ? std::optional<std::size_t>(0) : std::nullopt);
    }
}

TEST(DocumentSession, StaleDisplayTimeOfARegenerationNeverReordersASort)
{
    DocumentSession session;
    Load(session, "[mapobjects]\r\n1,1,IMAGE0,BelowAll,ShowAlways,0\r\n2,2,IMAGE0,BelowAll,ShowAlways\r\n");
    session.push(std::make_unique<SortObjectsStep>(session, ObjectKind::Map, std::nullopt));
    session.push(std::make_unique<DeleteObjectsStep>(session, ObjectKind::Map, std::vector<std::size_t>{}));
    session.push(std::make_unique<SortObjectsStep>(session, ObjectKind::Map, SortKey::DisplayTime));
    EXPECT_EQ(session.document().mapObjects().line(0), "1,1,IMAGE0,BelowAll,ShowAlways");
    EXPECT_EQ(session.document().mapObjects().fields(0).displayTime, -1);
}

TEST(DocumentSession, EveryRowIsPutBackPastALineThatCannotBeTakenApart)
{
    DocumentSession session;
    Load(session, "[objectimages]\r\nIMAGE0=a.bmp\r\n[screenobjects]\r\n0,0,IMAGE0\r\n5,5,IMAGE0\r\n");
    EditorValues unreadable = Values("0", "0", 0, 0, 3);
    unreadable.objectIdText = "x";
    EXPECT_THROW(session.push(std::make_unique<ApplyObjectStep>(session, ObjectKind::Screen, unreadable, 0)),
                 ConversionError);
    ObjectChange change;
    change.dy = 16;
    change.layer = 7;
    const std::vector<std::size_t> rows{0, 1};
    EXPECT_THROW(session.push(std::make_unique<ChangeObjectsStep>(session, ObjectKind::Screen, rows, change)),
                 ConversionError);
    EXPECT_EQ(session.document().screenObjects().line(1), "5,21,IMAGE0,TopMost");
    session.undo();
    EXPECT_EQ(session.document().screenObjects().line(0), "0,0,IMAGE0,BelowAll,Kill,0,x");
    EXPECT_EQ(session.document().screenObjects().line(1), "5,5,IMAGE0");
}

TEST(DocumentSession, ModifiedFollowsTheSavedStep)
{
    QTemporaryDir dir;
    DocumentSession session;
    QSignalSpy state(&session, &DocumentSession::documentStateChanged);
    session.push(std::make_unique<AddImageStep>(session));
    EXPECT_TRUE(session.modified());
    session.saveAs(dir.filePath(QStringLiteral("d.ini")).toStdString());
    EXPECT_FALSE(session.modified());
    session.push(std::make_unique<AddImageStep>(session));
    const struct {
        void (DocumentSession::*move)();
        bool modified;
    } moves[] = {{&DocumentSession::undo, false},
                 {&DocumentSession::undo, true},
                 {&DocumentSession::redo, false},
                 {&DocumentSession::redo, true}};
    for (const auto& m : moves) {
        state.clear();
        (session.*m.move)();
        EXPECT_EQ(session.modified(), m.modified);
        EXPECT_EQ(state.size(), 1) << "the title and the question follow";
    }
    session.newDocument();
    EXPECT_FALSE(session.modified());
    EXPECT_FALSE(session.canUndo());
}

TEST(DocumentSession, TypingMergesIntoOneStepAndTypingBackLeavesNone)
{
    DocumentSession session;
    Load(session);
    for (const char* text : {"p", "pk", "pkg2"})
        session.push(std::make_unique<SetOutFileStep>(session, text));
    EXPECT_EQ(session.history().count(), 1);
    EXPECT_EQ(session.undoText(), "Edit OutFile");
    std::optional<ViewState> shown;
    QObject::connect(&session, &DocumentSession::viewStateRequested, [&](const ViewState& v) { shown = v; });
    EXPECT_EQ(session.push(std::make_unique<SetOutFileStep>(session, "pkg")), nullptr);
    EXPECT_EQ(session.history().count(), 0);
    EXPECT_FALSE(session.modified());
    // Typed back after an earlier step with views: that step's views are not
    // shown again, and no step is handed back.
    auto add = std::make_unique<AddObjectStep>(session, ObjectKind::Map, Values("1", "1", 0));
    add->setViewBefore(kViewBefore);
    session.push(std::move(add));
    session.push(std::make_unique<SetOutFileStep>(session, "x"));
    shown.reset();
    EXPECT_EQ(session.push(std::make_unique<SetOutFileStep>(session, "pkg")), nullptr);
    EXPECT_EQ(shown, std::nullopt);
    EXPECT_EQ(session.history().count(), 1);
}

TEST(DocumentSession, OverTheBudgetTheOldestStepsEndTheHistory)
{
    DocumentSession session;
    Load(session);
    for (int i = 0; i < 3; ++i)
        session.push(std::make_unique<DeleteObjectsStep>(session, ObjectKind::Map, std::vector<std::size_t>{0}));
    ASSERT_EQ(session.history().count(), 3);
    ASSERT_GT(session.historyBytes(), 0u);
    const auto* newest = static_cast<const SessionStep*>(session.history().command(2));
    session.setHistoryBudget(1);
    EXPECT_EQ(session.historyBytes(), newest->historyBytes());
    session.undo();
    EXPECT_FALSE(session.canUndo()) << "the newest step is kept, the older ones let go";
    EXPECT_TRUE(session.canRedo());
}

// ---------------------------------------------------------------- model-based

struct Model {
    std::mt19937 random;

    std::size_t Below(std::size_t n)
    {
        return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    }
    bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }

    std::vector<std::size_t> SomeRows(std::size_t size)
    {
        std::vector<std::size_t> rows;
        for (std::size_t i = Below(4); i > 0; --i)
            rows.push_back(Below(size + 1));
        return rows;
    }

    MakeStep Next(const DefinitionDocument& doc)
    {
        const ObjectKind kind = Chance(70) ? ObjectKind::Map : ObjectKind::Screen;
        const std::size_t size = doc.objects(kind).size();
        const int images = doc.imageCount();
        static const char* const kCoordinates[] = {"1", "@3", "-7", "x", "t2", "40"};
        EditorValues values =
            Values(kCoordinates[Below(6)], kCoordinates[Below(4)], static_cast<int>(Below(images + 1)) - 1,
                   static_cast<int>(Below(9)) - 1, static_cast<int>(Below(8)) - 1);
        values.displayTimeText = Chance(50) ? "0" : "20";
        values.objectIdText = Chance(50) ? "0" : "3";
        switch (Below(20)) {
        case 0:
        case 1:
            return Object<AddObjectStep>(kind, values);
        case 2:
            return Object<ApplyObjectStep>(kind, values, Below(size + 1));
        case 3:
            return Object<DeleteObjectsStep>(kind, SomeRows(size));
        case 4:
            return Object<ClearObjectsStep>(kind);
        case 5:
            return Object<SwitchObjectsStep>(kind, SomeRows(size));
        case 6:
            return Object<TiledBackgroundStep>(8192, 16384, static_cast<int>(Below(images + 1)) - 1);
        case 7: {
            std::optional<SortKey> key;
            if (Chance(80))
                key = SortKey(static_cast<int>(Below(kSortKeyCount)));
            return Object<SortObjectsStep>(kind, key);
        }
        case 15: {
            static const char16_t* const kTexts[] = {u"", u"5,6,IMAGE0\r\n\n7,8,IMAGE1,TopMost\r\n", u"C-3,c-2,IMAGE0",
                                                     u"x,1,IMAGE0", u"1,2,IMAGEz"};
            std::optional<std::pair<std::int64_t, std::int64_t>> at;
            if (Chance(50))
                at.emplace(static_cast<std::int64_t>(Below(17000)), 40);
            return [kind, text = kTexts[Below(5)], row = Below(size + 1), at](DocumentSession& s) {
                return MakePaste(s, kind, text, row, at);
            };
        }
        case 16:
            return [kind, rows = SomeRows(size)](DocumentSession& s) { return MakeDuplicate(s, kind, rows); };
        case 17:
            return Object<CutObjectsStep>(kind, SomeRows(size));
        case 14:
            return [](DocumentSession& s) {
                DefinitionDocument read;
                ReadDefinitionBytes(read, kStart);
                return std::make_unique<RereadStep>(s, std::move(read));
            };
        case 13: {
            // The last one leaves the 32-bit range: refused, nothing pushed.
            static const std::int64_t kBy[] = {-16, -1, 1, 16, 2147483647};
            return Object<MoveObjectsStep>(kind, SomeRows(size), kBy[Below(5)], kBy[Below(4)]);
        }
        case 18:
            return Object<ChangeObjectsStep>(kind, SomeRows(size), SomeChange(Below(128)));
        case 8: {
            std::string text(1, static_cast<char>('a' + Below(3)));
            return [text](DocumentSession& s) { return std::make_unique<SetOutFileStep>(s, text); };
        }
        case 9:
            return [](DocumentSession& s) {
                return std::make_unique<AddFilesStep>(s, std::vector<std::string>{"/f/n.png"}, false, nullptr, nullptr);
            };
        case 10:
            return [rows = SomeRows(doc.files().size())](DocumentSession& s) {
                return std::make_unique<DeleteFilesStep>(s, rows);
            };
        case 11:
            return [](DocumentSession& s) { return std::make_unique<AddImageStep>(s); };
        case 12: {
            if (images == 0)
                return [](DocumentSession& s) { return std::make_unique<ClearFilesStep>(s); };
            const std::size_t at = Below(static_cast<std::size_t>(images));
            const std::string text = Chance(80) ? std::to_string(Below(5)) : "z";
            return [at, text](DocumentSession& s) {
                return ImageFieldStep::numberText(s, at, ImageNumberField::YTiles, text);
            };
        }
        default: {
            if (images == 0)
                return [](DocumentSession& s) { return std::make_unique<AddImageStep>(s); };
            const std::size_t at = Below(static_cast<std::size_t>(images));
            const bool objects = Chance(60);
            return [at, objects](DocumentSession& s) { return std::make_unique<DeleteImageStep>(s, at, objects); };
        }
        }
    }
};

SessionStep* PushCatching(DocumentSession& session, const MakeStep& make)
{
    try {
        std::unique_ptr<SessionStep> step = make(session);
        return step ? session.push(std::move(step)) : nullptr;
    } catch (const Error&) {
        const int top = session.history().index() - 1;
        return top >= 0 ? const_cast<SessionStep*>(static_cast<const SessionStep*>(session.history().command(top)))
                        : nullptr;
    }
}

TEST(DocumentSession, RandomStepsUndosAndRedosEqualAReplayOfTheSameSteps)
{
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        Model model{std::mt19937(seed)};
        DocumentSession session;
        Load(session);
        // The steps of the history's current line; a merged step holds
        // every push that went into it.
        std::vector<std::vector<MakeStep>> steps;
        for (int move = 0; move < 120; ++move) {
            const std::string where = "seed " + std::to_string(seed) + " move " + std::to_string(move);
            const int roll = static_cast<int>(model.Below(100));
            if (roll < 15) {
                session.undo();
            } else if (roll < 25) {
                session.redo();
            } else {
                const MakeStep make = model.Next(session.document());
                const int before = session.history().index();
                SessionStep* pushed = PushCatching(session, make);
                const int after = session.history().index();
                if (after > before) {
                    steps.resize(static_cast<std::size_t>(before));
                    steps.push_back({make});
                } else if (after == before && pushed && after > 0 && pushed == session.history().command(after - 1)
                           && session.history().count() == after && steps.size() >= static_cast<std::size_t>(after)) {
                    // Merged into the newest step (or changed nothing: the
                    // replay then changes nothing either).
                    steps.resize(static_cast<std::size_t>(after));
                    steps.back().push_back(make);
                } else if (after < before) {
                    steps.resize(static_cast<std::size_t>(after));  // typed back: the step is gone
                }
            }
            ExpectConsistent(session, where);
            DocumentSession replay;
            Load(replay);
            for (int i = 0; i < session.history().index(); ++i)
                for (const MakeStep& make : steps[static_cast<std::size_t>(i)])
                    PushCatching(replay, make);
            ASSERT_EQ(ComposeDefinition(session.document()), ComposeDefinition(replay.document())) << where;
        }
    }
}

}  // namespace

namespace {
TEST(RowSelection, AddingARowMergesTheRangesItTouches)
{
    using Ranges = std::vector<std::pair<std::size_t, std::size_t>>;
    const struct {
        Ranges before;
        std::size_t row;
        Ranges after;
    } cases[] = {
        {{}, 5, {{5, 5}}},
        {{{0, 1000000}}, 500, {{0, 1000000}}},
        {{{2, 3}, {5, 6}}, 4, {{2, 6}}},
        {{{2, 3}}, 4, {{2, 4}}},
        {{{2, 3}}, 1, {{1, 3}}},
        {{{2, 3}, {9, 9}}, 6, {{2, 3}, {6, 6}, {9, 9}}},
        {{{2, 3}}, 0, {{0, 0}, {2, 3}}},
    };
    for (const auto& c : cases) {
        RowSelection selection;
        selection.ranges = c.before;
        selection.add(c.row);
        EXPECT_EQ(selection.ranges, c.after) << c.row;
    }
}
}  // namespace
