// Saving through links, onto other users' files and hard links, into folders
// where nothing new may be made; leftovers of interrupted saves; inputs that
// are not files.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>

#include "DefinitionWriter.h"
#include "Errors.h"
#include "FileIo.h"
#include "TestUser.h"

namespace {

namespace fs = std::filesystem;
using qeltest::TestUser;

const std::string kOld = "OutFile=old\r\n\r\n";
const std::string kNew = "OutFile=new\r\n\r\n";

class Folder {
public:
    Folder()
    {
        std::string pattern = (fs::temp_directory_path() / "qel-fileio-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~Folder()
    {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

    // Names of the hidden files in the folder.
    std::string hidden() const
    {
        std::string names;
        for (const auto& entry : fs::directory_iterator(path_))
            if (entry.path().filename().string()[0] == '.')
                names += entry.path().filename().string() + " ";
        return names;
    }

private:
    fs::path path_;
};

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Spit(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Save(const std::string& target, std::size_t extraLines = 0)
{
    qel::DefinitionDocument doc;
    doc.setOutFile("new");
    for (std::size_t row = 0; row < extraLines; ++row)
        doc.mapObjects().append("1000,2000,IMAGE1,AfterTiles,ShowAlways,0,5");
    try {
        qel::WriteDefinition(doc, target);
    } catch (const qel::Error& error) {
        return error.message();
    }
    return "saved";
}

struct stat Stat(const std::string& path)
{
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info;
}

struct SaveCase {
    const char* name;
    bool needsUser;
    bool byUser;  // saved by the unprivileged user instead of root
    // Prepares the folder; returns the name saved to and the file that must
    // then hold the new bytes.
    std::pair<std::string, std::string> (*prepare)(const Folder&, const TestUser&);
    // What else must hold afterwards.
    void (*check)(const Folder&, const TestUser&);
};

void PrintTo(const SaveCase& value, std::ostream* os)
{
    *os << value.name;
}

class Saving : public ::testing::TestWithParam<SaveCase> {};

TEST_P(Saving, WritesTheFileTheNameLeadsToAndKeepsWhatItHad)
{
    const SaveCase& c = GetParam();
    std::string whyNot;
    const std::optional<TestUser> user = c.needsUser ? qeltest::UnprivilegedUser(whyNot) : std::nullopt;
    if (c.needsUser && !user)
        GTEST_SKIP() << whyNot;
    const Folder folder;
    const auto [target, written] = c.prepare(folder, user.value_or(TestUser{}));
    EXPECT_EQ(qeltest::RunAs(c.byUser ? user : std::nullopt, [&] { return Save(target); }), "saved");
    EXPECT_EQ(Slurp(written), kNew);
    EXPECT_EQ(folder.hidden(), "") << "no temporary file is left";
    c.check(folder, user.value_or(TestUser{}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Saving,
    ::testing::Values(
        SaveCase{"DanglingLinkChain", false, false,
                 [](const Folder& f, const TestUser&) {
                     fs::create_symlink("second.ini", f / "first.ini");
                     fs::create_symlink(f / "missing.ini", f / "second.ini");
                     return std::pair(f / "first.ini", f / "missing.ini");
                 },
                 [](const Folder& f, const TestUser&) {
                     EXPECT_TRUE(fs::is_symlink(f / "first.ini"));
                     EXPECT_TRUE(fs::is_symlink(f / "second.ini"));
                 }},
        SaveCase{"NameThatJustFitsBesideItsTemporary", false, false,
                 [](const Folder& f, const TestUser&) {
                     const std::string name = std::string(239, 'n') + ".ini";  // 243 bytes
                     return std::pair(f / name, f / name);
                 },
                 [](const Folder&, const TestUser&) {}},
        SaveCase{"NameOfTheLongestLength", false, false,
                 [](const Folder& f, const TestUser&) {
                     const std::string name = std::string(251, 'n') + ".ini";
                     return std::pair(f / name, f / name);
                 },
                 [](const Folder&, const TestUser&) {}},
        SaveCase{"HardLinkSeesTheNewBytes", false, false,
                 [](const Folder& f, const TestUser&) {
                     Spit(f / "a.ini", kOld);
                     fs::create_hard_link(f / "a.ini", f / "b.ini");
                     return std::pair(f / "a.ini", f / "b.ini");
                 },
                 [](const Folder& f, const TestUser&) { EXPECT_EQ(fs::hard_link_count(f / "a.ini"), 2u); }},
        SaveCase{"OwnerKeptWhenRootSaves", true, false,
                 [](const Folder& f, const TestUser& u) {
                     Spit(f / "f.ini", kOld);
                     EXPECT_EQ(::chown((f / "f.ini").c_str(), u.uid, u.gid), 0);
                     ::chmod((f / "f.ini").c_str(), 0644);
                     return std::pair(f / "f.ini", f / "f.ini");
                 },
                 [](const Folder& f, const TestUser& u) {
                     const struct stat info = Stat(f / "f.ini");
                     EXPECT_EQ(info.st_uid, u.uid);
                     EXPECT_EQ(info.st_gid, u.gid);
                     EXPECT_EQ(info.st_mode & 07777, 0644u);
                 }},
        SaveCase{"OthersFileInAStickyFolder", true, true,
                 [](const Folder& f, const TestUser&) {
                     ::chmod(f.path().c_str(), 01777);
                     Spit(f / "f.ini", kOld);
                     ::chmod((f / "f.ini").c_str(), 0666);
                     return std::pair(f / "f.ini", f / "f.ini");
                 },
                 [](const Folder& f, const TestUser&) {
                     const struct stat info = Stat(f / "f.ini");
                     EXPECT_EQ(info.st_uid, 0u);
                     EXPECT_EQ(info.st_mode & 07777, 0666u);
                 }},
        SaveCase{"WritableFileInAReadOnlyFolder", true, true,
                 [](const Folder& f, const TestUser& u) {
                     Spit(f / "f.ini", kOld);
                     EXPECT_EQ(::chown((f / "f.ini").c_str(), u.uid, u.gid), 0);
                     ::chmod(f.path().c_str(), 0555);
                     return std::pair(f / "f.ini", f / "f.ini");
                 },
                 [](const Folder& f, const TestUser& u) { EXPECT_EQ(Stat(f / "f.ini").st_uid, u.uid); }}),
    [](const auto& info) { return std::string(info.param.name); });

// Runs `attempt` with writes limited to `bytes` per file, as a full disk would.
std::string WithFileSizeLimit(rlim_t bytes, const std::function<std::string()>& attempt)
{
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit limited = old;
    limited.rlim_cur = bytes;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const std::string result = attempt();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    return result;
}

TEST(SavingInPlace, AFailurePartWayPutsTheOldBytesBackAndSaysSo)
{
    const Folder folder;
    Spit(folder / "a.ini", kOld);
    fs::create_hard_link(folder / "a.ini", folder / "b.ini");
    const std::string message = WithFileSizeLimit(1 << 16, [&] { return Save(folder / "a.ini", 10000); });
    EXPECT_EQ(message, "I/O error " + std::to_string(EFBIG) + " while rewriting the file; its previous content was put back");
    EXPECT_EQ(Slurp(folder / "b.ini"), kOld);
    EXPECT_EQ(folder.hidden(), "");
}

struct LeftoverCase {
    const char* name;
    const char* file;
    int ageSeconds;
    bool inUse;
    bool removed;
};

void PrintTo(const LeftoverCase& value, std::ostream* os)
{
    *os << value.name;
}

class Leftovers : public ::testing::TestWithParam<LeftoverCase> {};

TEST_P(Leftovers, OnlyStaleTemporariesOfTheSameTargetAreRemoved)
{
    const LeftoverCase& c = GetParam();
    const Folder folder;
    Spit(folder / "t.ini", kOld);
    const std::string leftover = folder / c.file;
    Spit(leftover, "half a save");
    fs::last_write_time(leftover, fs::file_time_type::clock::now() - std::chrono::seconds(c.ageSeconds));
    const int held = ::open(leftover.c_str(), O_RDONLY);
    if (c.inUse) {
        ASSERT_EQ(::flock(held, LOCK_EX), 0);
    }
    EXPECT_EQ(Save(folder / "t.ini"), "saved");
    ::close(held);
    EXPECT_EQ(fs::exists(leftover), !c.removed);
}

INSTANTIATE_TEST_SUITE_P(Cases, Leftovers,
                         ::testing::Values(LeftoverCase{"OlderThanAnHour", ".t.ini.qel-Ab12Cd", 3700, false, true},
                                           LeftoverCase{"YoungerThanAnHour", ".t.ini.qel-Ab12Cd", 3500, false, false},
                                           LeftoverCase{"StillBeingWritten", ".t.ini.qel-Ab12Cd", 7200, true, false},
                                           LeftoverCase{"OfAnotherTarget", ".u.ini.qel-Ab12Cd", 7200, false, false},
                                           LeftoverCase{"NotATemporaryName", ".t.ini.qel-Ab12C", 7200, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct InputCase {
    const char* name;
    std::function<qel::FileBytes(const Folder&)> read;
    std::string expected;  // the bytes read, or the message of the failure
};

void PrintTo(const InputCase& value, std::ostream* os)
{
    *os << value.name;
}

class Inputs : public ::testing::TestWithParam<InputCase> {};

TEST_P(Inputs, AreReadWholeOrRefused)
{
    const Folder folder;
    std::string result;
    try {
        result = std::string(GetParam().read(folder).view());
    } catch (const qel::Error& error) {
        result = error.message();
    }
    EXPECT_EQ(result, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Inputs,
    ::testing::Values(
        InputCase{"Socket",
                  [](const Folder&) {
                      int ends[2];
                      ::socketpair(AF_UNIX, SOCK_STREAM, 0, ends);
                      EXPECT_EQ(::write(ends[1], "x", 1), 1);
                      ::close(ends[1]);
                      qel::FileBytes bytes;
                      try {
                          bytes = qel::ReadWholeDescriptor(ends[0]);
                      } catch (...) {
                          ::close(ends[0]);
                          throw;
                      }
                      ::close(ends[0]);
                      return bytes;
                  },
                  "File access denied"},
        InputCase{"DeviceThatNeverEnds", [](const Folder&) { return qel::ReadWholeFile("/dev/zero", 1 << 20); },
                  "File too large"},
        InputCase{"FileBeyondTwoGigabytes",
                  [](const Folder& f) {
                      Spit(f / "big.ini", "");
                      fs::resize_file(f / "big.ini", qel::kMaxInputSize + 1);
                      return qel::ReadWholeFile(f / "big.ini");
                  },
                  "File too large"},
        InputCase{"FileOfTheLimit",
                  [](const Folder& f) {
                      Spit(f / "a.ini", "0123456789");
                      return qel::ReadWholeFile(f / "a.ini", 10);
                  },
                  "0123456789"},
        InputCase{"Pipe",
                  [](const Folder&) {
                      int ends[2];
                      EXPECT_EQ(::pipe(ends), 0);
                      EXPECT_EQ(::write(ends[1], "[mapobjects]", 12), 12);
                      ::close(ends[1]);
                      const qel::FileBytes bytes = qel::ReadWholeDescriptor(ends[0]);
                      ::close(ends[0]);
                      return bytes;
                  },
                  "[mapobjects]"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
