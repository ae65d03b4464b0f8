// The stored settings: defaults and writes at start-up, storing the compiler,
// and the real QSettings store round-tripping in Qt's test location.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "app/AppSettings.h"
#include "app/CompilerLauncher.h"
#include "app/DocumentSession.h"
#include "app/MapPlaces.h"
#include "core/Errors.h"
#include "platform/SettingsStore.h"
#include "tests/fakes/FakeSettingsStore.h"

using qel::app::AppSettings;
using qel::platform::FakeSettingsStore;
using qel::platform::QtSettingsStore;
using qel::platform::StoredValue;

namespace {

struct LoadCase {
    const char* name;
    QMap<QString, QVariant> stored;
    bool failWrites;
    QString compilerPath;
    bool collectFiles;
    std::vector<std::string> messages;
    QStringList writes;  // attempted writes, in order
};

class LoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadTest, LoadsDefaultsAndReportsFailures)
{
    const LoadCase& c = GetParam();
    FakeSettingsStore store;
    store.values = c.stored;
    store.failWrites = c.failWrites;
    AppSettings settings(store);

    EXPECT_EQ(settings.load(), c.messages);
    EXPECT_EQ(settings.compilerPath(), c.compilerPath);
    EXPECT_EQ(settings.collectFiles(), c.collectFiles);
    EXPECT_EQ(store.writes, c.writes);
}

const QString kTool = QStringLiteral("/opt/tools/Build Level/BuildLevel.exe");

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadTest,
    ::testing::Values(
        LoadCase{"FirstStart", {}, false, QString(), true, {}, {"Collect=1"}},
        LoadCase{"CollectOff", {{"Collect", 0}}, false, QString(), false, {}, {}},
        LoadCase{"CollectOne", {{"Collect", 1}}, false, QString(), true, {}, {}},
        LoadCase{"CollectFiveCountsAsOn", {{"Collect", 5}}, false, QString(), true, {}, {}},
        LoadCase{"CollectNegativeCountsAsOn", {{"Collect", -1}}, false, QString(), true, {}, {}},
        LoadCase{"CollectOfWrongTypeIsReplaced",
                 {{"Collect", QStringLiteral("yes")}},
                 false,
                 QString(),
                 true,
                 {},
                 {"Collect=1"}},
        LoadCase{"CompilerAndCollect", {{"Compiler", kTool}, {"Collect", 0}}, false, kTool, false, {}, {}},
        LoadCase{
            "EmptyCompilerIsNoCompiler", {{"Compiler", QString()}, {"Collect", 1}}, false, QString(), true, {}, {}},
        LoadCase{"CompilerOfWrongTypeStopsLoading",
                 {{"Compiler", 7}, {"Collect", 1}},
                 false,
                 QString(),
                 false,
                 {"Invalid data type for 'Compiler'"},
                 {}},
        LoadCase{"CompilerOfWrongTypeDoesNotWriteCollect",
                 {{"Compiler", QByteArray("x")}},
                 false,
                 QString(),
                 false,
                 {"Invalid data type for 'Compiler'"},
                 {}},
        LoadCase{
            "StoreCannotBeWritten", {}, true, QString(), false, {"Failed to set data for 'Collect'"}, {"Collect=1"}},
        LoadCase{"UnwritableStoreWithStoredValues", {{"Compiler", kTool}, {"Collect", 3}}, true, kTool, true, {}, {}}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST(AppSettingsTest, StoringTheCompilerWritesOnlyTheCompiler)
{
    FakeSettingsStore store;
    store.values = {{"Collect", 1}};
    AppSettings settings(store);
    settings.load();

    settings.setCollectFiles(false);
    settings.setCompilerPathAndStore(kTool);
    EXPECT_EQ(settings.compilerPath(), kTool);
    EXPECT_FALSE(settings.collectFiles());
    EXPECT_EQ(store.writes, QStringList{"Compiler=" + kTool});
    EXPECT_EQ(store.values.value("Collect"), QVariant(1));

    // An empty path is stored too: it means no compiler.
    settings.setCompilerPathAndStore(QString());
    EXPECT_EQ(store.values.value("Compiler"), QVariant(QString()));

    // The collect choice lasts until the next start only.
    AppSettings restarted(store);
    restarted.load();
    EXPECT_TRUE(restarted.collectFiles());
    EXPECT_EQ(restarted.compilerPath(), QString());
}

TEST(AppSettingsTest, FailedStoreKeepsThePathInMemoryAndThrows)
{
    FakeSettingsStore store;
    store.values = {{"Compiler", QStringLiteral("/old/BuildLevel.exe")}, {"Collect", 1}};
    AppSettings settings(store);
    settings.load();
    store.failWrites = true;

    try {
        settings.setCompilerPathAndStore(kTool);
        FAIL() << "no exception";
    } catch (const qel::MessageError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'Compiler'");
    }
    EXPECT_EQ(settings.compilerPath(), kTool);
    EXPECT_EQ(store.values.value("Compiler"), QVariant(QStringLiteral("/old/BuildLevel.exe")));
}

// --- the QSettings store ---------------------------------------------------

// The user's store in Qt's test location, emptied around each test.
class UserStoreTest : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear()
    {
        QSettings settings(QStringLiteral("brix"), QStringLiteral("QELv2"));
        settings.clear();
        settings.sync();
    }
};

TEST_F(UserStoreTest, FirstStartStoresCollectAndNoCompiler)
{
    QtSettingsStore store;
    // The runner's test mode keeps this out of the user's real settings.
    ASSERT_TRUE(store.location().contains(QStringLiteral(".qttest"))) << store.location().toStdString();

    AppSettings settings(store);
    EXPECT_TRUE(settings.load().empty());
    EXPECT_TRUE(settings.collectFiles());
    EXPECT_TRUE(settings.compilerPath().isEmpty());

    QSettings raw(QStringLiteral("brix"), QStringLiteral("QELv2"));
    EXPECT_EQ(raw.value(QStringLiteral("Collect")).toInt(), 1);
    EXPECT_FALSE(raw.contains(QStringLiteral("Compiler")));

    settings.setCompilerPathAndStore(kTool);
    AppSettings restarted(store);
    EXPECT_TRUE(restarted.load().empty());
    EXPECT_EQ(restarted.compilerPath(), kTool);
}

// Values as a hand-edited or older configuration file may hold them.
struct FileCase {
    const char* name;
    const char* text;  // file content
    StoredValue compilerState;
    QString compiler;
    StoredValue collectState;
    qint32 collect;
};

class IniStoreTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(IniStoreTest, ReadsTypesFromTheFile)
{
    const FileCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("QELv2.conf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.text);
    file.close();

    QtSettingsStore store(path);
    QString compiler = QStringLiteral("unchanged");
    qint32 collect = -99;
    EXPECT_EQ(store.readString(QStringLiteral("Compiler"), compiler), c.compilerState);
    EXPECT_EQ(store.readInteger(QStringLiteral("Collect"), collect), c.collectState);
    EXPECT_EQ(compiler, c.compiler);
    EXPECT_EQ(collect, c.collect);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniStoreTest,
    ::testing::Values(
        FileCase{"Empty", "", StoredValue::Missing, "unchanged", StoredValue::Missing, -99},
        FileCase{"Both", "[General]\nCompiler=/a b/BuildLevel.exe\nCollect=0\n", StoredValue::Present,
                 "/a b/BuildLevel.exe", StoredValue::Present, 0},
        FileCase{"Five", "[General]\nCollect=5\n", StoredValue::Missing, "unchanged", StoredValue::Present, 5},
        FileCase{"CollectNotANumber", "[General]\nCollect=on\n", StoredValue::Missing, "unchanged",
                 StoredValue::WrongType, -99},
        FileCase{"CollectTooLarge", "[General]\nCollect=4294967296\n", StoredValue::Missing, "unchanged",
                 StoredValue::WrongType, -99},
        FileCase{"CollectTrailingText", "[General]\nCollect=1x\n", StoredValue::Missing, "unchanged",
                 StoredValue::WrongType, -99},
        FileCase{"CompilerList", "[General]\nCompiler=a, b\n", StoredValue::WrongType, "unchanged",
                 StoredValue::Missing, -99},
        FileCase{"CompilerBytes", "[General]\nCompiler=@ByteArray(abc)\n", StoredValue::WrongType, "unchanged",
                 StoredValue::Missing, -99},
        FileCase{"CompilerEmpty", "[General]\nCompiler=\n", StoredValue::Present, "", StoredValue::Missing, -99}),
    [](const ::testing::TestParamInfo<FileCase>& info) { return std::string(info.param.name); });

TEST(IniStoreWriteTest, RoundTripsAwkwardPaths)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("sub/QELv2.conf"));
    for (const QString& value :
         {QStringLiteral("C:\\Tools, old\\BuildLevel.exe"), QStringLiteral("/x=y;z/\"q\" \u00e9"), QString()}) {
        QtSettingsStore writer(path);
        ASSERT_TRUE(writer.writeString(QStringLiteral("Compiler"), value));
        ASSERT_TRUE(writer.writeInteger(QStringLiteral("Collect"), -7));
        QtSettingsStore reader(path);
        QString compiler;
        qint32 collect = 0;
        EXPECT_EQ(reader.readString(QStringLiteral("Compiler"), compiler), StoredValue::Present);
        EXPECT_EQ(compiler, value);
        EXPECT_EQ(reader.readInteger(QStringLiteral("Collect"), collect), StoredValue::Present);
        EXPECT_EQ(collect, -7);
    }
}

TEST(IniStoreWriteTest, UnwritableLocationReportsFailure)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder cannot be made below a plain file, whoever runs the test.
    QFile blocker(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QtSettingsStore store(dir.filePath(QStringLiteral("plain/QELv2.conf")));
    EXPECT_FALSE(store.writeString(QStringLiteral("Compiler"), kTool));
    EXPECT_FALSE(store.writeInteger(QStringLiteral("Collect"), 1));

    AppSettings settings(store);
    EXPECT_EQ(settings.load(), std::vector<std::string>{"Failed to set data for 'Collect'"});
    EXPECT_FALSE(settings.collectFiles());
    EXPECT_THROW(settings.setCompilerPathAndStore(kTool), qel::MessageError);
}

// The store names the program Compile runs: under umask 0 it is still the
// user's alone, and a file others can write names no compiler.
TEST(IniStoreWriteTest, StaysTheUsersAloneAndAFileOthersCanWriteNamesNoCompiler)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("QELv2.conf"));
    const QByteArray name = QFile::encodeName(ini);
    auto mode = [&] {
        struct stat info {};
        return ::stat(name.constData(), &info) == 0 ? info.st_mode & 0777 : 0;
    };
    QtSettingsStore store(ini);
    const mode_t umask = ::umask(0);
    EXPECT_TRUE(store.writeString(QStringLiteral("Compiler"), kTool));
    ::umask(umask);
    EXPECT_EQ(mode(), 0600u);
    AppSettings trusted(store);
    trusted.load();
    EXPECT_EQ(trusted.compilerPath(), kTool);

    ASSERT_EQ(::chmod(name.constData(), 0666), 0);
    AppSettings settings(store);
    settings.load();
    EXPECT_TRUE(settings.compilerPath().isEmpty());
    qel::app::DocumentSession session;
    try {
        qel::app::CheckCompileReady(session.document(), settings);
        ADD_FAILURE() << "started";
    } catch (const qel::MessageError& refused) {
        EXPECT_STREQ(refused.what(), qel::app::kDistrustedCompilerMessage);
    }
    settings.setCompilerPathAndStore(kTool);  // chosen again
    EXPECT_EQ(mode(), 0600u);
    EXPECT_FALSE(settings.compilerDistrusted());
}

// The map view's place per file: one file's never another's, the newest
// kept first and the oldest dropped at the bound, lines edited by hand skipped.
TEST(MapPlacesTest, EachFileHasItsOwnPlaceWithinTheBound)
{
    using qel::app::MapPlace;
    using qel::app::MapPlaces;
    FakeSettingsStore store;
    MapPlaces places(store);
    places.remember(QStringLiteral("/a/one.ini"), {8, 100, 200});
    places.remember(QString(), {4, 1, 1});
    struct Case {
        const char* name;
        QString path;
        std::optional<MapPlace> expected;
    } const cases[] = {
        {"remembered", QStringLiteral("/a/one.ini"), MapPlace{8, 100, 200}},
        {"another file does not inherit it", QStringLiteral("/a/two.ini"), std::nullopt},
        {"untitled is never remembered", QString(), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(places.find(c.path), c.expected) << c.name;

    store.values.insert(QStringLiteral("MapViewPlaces"),
                        QStringLiteral("x 1 2 /bad.ini\n3 4\n-2 -5 7 /with space.ini"));
    EXPECT_EQ(places.find(QStringLiteral("/bad.ini")), std::nullopt);
    EXPECT_EQ(places.find(QStringLiteral("/with space.ini")), (MapPlace{-2, -5, 7}));
    for (int i = 0; i <= MapPlaces::kKept; ++i)
        places.remember(QStringLiteral("/f%1.ini").arg(i), {i, i, i});
    EXPECT_EQ(places.find(QStringLiteral("/f0.ini")), std::nullopt);
    EXPECT_EQ(places.find(QStringLiteral("/f1.ini")), (MapPlace{1, 1, 1}));
    EXPECT_EQ(places.find(QStringLiteral("/with space.ini")), std::nullopt);
    places.remember(QStringLiteral("/f1.ini"), {9, 9, 9});
    places.remember(QStringLiteral("/new.ini"), {0, 0, 0});
    EXPECT_EQ(places.find(QStringLiteral("/f1.ini")), (MapPlace{9, 9, 9})) << "remembered again: kept as newest";
    EXPECT_EQ(places.find(QStringLiteral("/f2.ini")), std::nullopt);
}

}  // namespace
