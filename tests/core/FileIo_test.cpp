// Saving through links, onto other users' files and hard links, into folders
// where nothing new may be made; leftovers of interrupted saves; inputs that
// are not files.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>

#include "core/DefinitionWriter.h"
#include "core/Errors.h"
#include "core/io/DefinitionFiles.h"
#include "core/io/FileIo.h"
#include "tests/core/TempFolder.h"
#include "tests/core/TestUser.h"

namespace {

namespace fs = std::filesystem;
using qeltest::Slurp;
using qeltest::Spit;
using qeltest::TempFolder;
using qeltest::TestUser;

const std::string kOld = "OutFile=old\r\n\r\n";
const std::string kNew = "OutFile=new\r\n\r\n";

std::string Save(const std::string& target)
{
    qel::DefinitionDocument doc;
    doc.setOutFile("new");
    try {
        qel::WriteDefinition(doc, target);
    } catch (const qel::Error& error) {
        return error.message();
    }
    return "saved";
}

// A file with the old bytes, its owner and its mode.
void Make(const std::string& path, const TestUser& owner, mode_t mode)
{
    Spit(path, kOld);
    EXPECT_EQ(::chown(path.c_str(), owner.uid, owner.gid), 0);
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
}

const TestUser kRoot{0, 0};

struct SaveCase {
    const char* name;
    bool needsUser;
    bool byUser;  // saved by the unprivileged user instead of root
    // Prepares the folder; returns the name saved to.
    std::string (*prepare)(const TempFolder&, const TestUser&);
    std::string written;  // the file that must then hold the new bytes
    bool ownedByUser;     // rather than by root
    mode_t mode;          // kNewFile: what the umask leaves of 0666
};

constexpr mode_t kNewFile = 0;

void PrintTo(const SaveCase& value, std::ostream* os)
{
    *os << value.name;
}

class Saving : public ::testing::TestWithParam<SaveCase> {};

TEST_P(Saving, WritesTheFileTheNameLeadsToAndKeepsItsOwnerModeAndLinks)
{
    const SaveCase& c = GetParam();
    std::string whyNot;
    const std::optional<TestUser> user = c.needsUser ? qeltest::UnprivilegedUser(whyNot) : std::nullopt;
    if (c.needsUser && !user)
        GTEST_SKIP() << whyNot;
    const TempFolder folder;
    const std::string target = c.prepare(folder, user.value_or(kRoot));
    const bool wasLink = fs::is_symlink(target);
    EXPECT_EQ(qeltest::RunAs(c.byUser ? user : std::nullopt, [&] { return Save(target); }), "saved");
    const std::string written = folder.file(c.written);
    EXPECT_EQ(Slurp(written), kNew);
    EXPECT_EQ(Slurp(target), kNew) << "through the links, or by the other hard link";
    EXPECT_EQ(fs::is_symlink(target), wasLink);
    EXPECT_EQ(folder.hidden(), "") << "no temporary file is left";
    struct stat info {};
    ASSERT_EQ(::stat(written.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, c.ownedByUser ? user->uid : ::geteuid());
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(info.st_mode & 07777, c.mode == kNewFile ? 0666 & ~mask : c.mode);
}

const std::string kJustFits = std::string(239, 'n') + ".ini";  // 243 bytes, its temporary 255
const std::string kLongest = std::string(251, 'l') + ".ini";

INSTANTIATE_TEST_SUITE_P(
    Cases, Saving,
    ::testing::Values(SaveCase{"DanglingLinkChain", false, false,
                               [](const TempFolder& f, const TestUser&) {
                                   fs::create_symlink("second.ini", f.file("first.ini"));
                                   fs::create_symlink(f.file("missing.ini"), f.file("second.ini"));
                                   return f.file("first.ini");
                               },
                               "missing.ini", false, kNewFile},
                      SaveCase{"NameThatJustFitsBesideItsTemporary", false, false,
                               [](const TempFolder& f, const TestUser&) { return f.file(kJustFits); }, kJustFits, false,
                               kNewFile},
                      SaveCase{"NameOfTheLongestLength", false, false,
                               [](const TempFolder& f, const TestUser&) { return f.file(kLongest); }, kLongest, false,
                               kNewFile},
                      SaveCase{"HardLinkSeesTheNewBytes", false, false,
                               [](const TempFolder& f, const TestUser&) {
                                   Make(f.file("a.ini"), kRoot, 0640);
                                   fs::create_hard_link(f.file("a.ini"), f.file("b.ini"));
                                   return f.file("a.ini");
                               },
                               "b.ini", false, 0640},
                      SaveCase{"OwnerKeptWhenRootSaves", true, false,
                               [](const TempFolder& f, const TestUser& user) {
                                   Make(f.file("f.ini"), user, 0644);
                                   return f.file("f.ini");
                               },
                               "f.ini", true, 0644},
                      SaveCase{"OthersFileInAStickyFolder", true, true,
                               [](const TempFolder& f, const TestUser&) {
                                   ::chmod(f.path().c_str(), 01777);
                                   Make(f.file("f.ini"), kRoot, 0666);
                                   return f.file("f.ini");
                               },
                               "f.ini", false, 0666},
                      SaveCase{"WritableFileInAReadOnlyFolder", true, true,
                               [](const TempFolder& f, const TestUser& user) {
                                   Make(f.file("f.ini"), user, 0600);
                                   ::chmod(f.path().c_str(), 0555);
                                   return f.file("f.ini");
                               },
                               "f.ini", true, 0600}),
    [](const auto& info) { return std::string(info.param.name); });

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
    const TempFolder folder;
    Spit(folder.file("t.ini"), kOld);
    const std::string leftover = folder.file(c.file);
    Spit(leftover, "half a save");
    fs::last_write_time(leftover, fs::file_time_type::clock::now() - std::chrono::seconds(c.ageSeconds));
    const int held = ::open(leftover.c_str(), O_RDONLY);
    ASSERT_TRUE(!c.inUse || ::flock(held, LOCK_EX) == 0);
    EXPECT_EQ(Save(folder.file("t.ini")), "saved");
    ::close(held);
    EXPECT_EQ(fs::exists(leftover), !c.removed);
}

INSTANTIATE_TEST_SUITE_P(Cases, Leftovers,
                         ::testing::Values(LeftoverCase{"OlderThanAnHour", ".t.ini.qel-Ab12Cd", 3700, false, true},
                                           LeftoverCase{"YoungerThanAnHour", ".t.ini.qel-Ab12Cd", 3500, false, false},
                                           LeftoverCase{"StillBeingWritten", ".t.ini.qel-Ab12Cd", 7200, true, false},
                                           LeftoverCase{"OfAnotherTarget", ".u.ini.qel-Ab12Cd", 7200, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BackupCase {
    const char* name;
    std::string file;
};

void PrintTo(const BackupCase& value, std::ostream* os)
{
    *os << value.name;
}

class KeptCopy : public ::testing::TestWithParam<BackupCase> {};

// The target is larger than files may grow, so that neither the new bytes nor
// the old ones can be written back, as on a disk that fills up meanwhile.
TEST_P(KeptCopy, OfBytesThatCouldNotBePutBackOutlivesTheNextSave)
{
    const TempFolder folder;
    const std::string target = folder.file(GetParam().file);
    const std::string old(128 << 10, 'o');
    Spit(target, old);
    fs::create_hard_link(target, folder.file("other.ini"));  // to write in place
    std::string message;
    {
        qel::SafeFileWriter writer(target);
        struct rlimit before {};
        ::getrlimit(RLIMIT_FSIZE, &before);
        struct rlimit limited = before;
        limited.rlim_cur = 64 << 10;
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limited);
        try {
            writer.write(std::string(2 << 20, 'n'));
            writer.commit();
        } catch (const qel::FileError& error) {
            message = error.message();
        }
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, handler);
    }
    const std::string said = "its previous content is kept in ";
    const std::size_t at = message.find(said);
    ASSERT_NE(at, std::string::npos) << message;
    const std::string kept = message.substr(at + said.size());
    EXPECT_TRUE(Slurp(kept) == old) << kept;
    fs::last_write_time(kept, fs::file_time_type::clock::now() - std::chrono::hours(2));
    EXPECT_EQ(Save(target), "saved");
    EXPECT_TRUE(Slurp(kept) == old) << kept << " removed as a stale temporary";
}

INSTANTIATE_TEST_SUITE_P(Cases, KeptCopy,
                         ::testing::Values(BackupCase{"ShortName", "t.ini"},
                                           BackupCase{"NameOfTheLongestLength", kLongest}),
                         [](const auto& info) { return std::string(info.param.name); });

struct InputCase {
    const char* name;
    qel::FileBytes (*read)(const TempFolder&);
    const char* message;
};

void PrintTo(const InputCase& value, std::ostream* os)
{
    *os << value.name;
}

class UnreadableInputs : public ::testing::TestWithParam<InputCase> {};

TEST_P(UnreadableInputs, AreRefusedBeforeTheyFillTheMemory)
{
    const TempFolder folder;
    try {
        GetParam().read(folder);
        FAIL() << "read";
    } catch (const qel::FileError& error) {
        EXPECT_EQ(error.message(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableInputs,
    ::testing::Values(InputCase{"Socket",
                                [](const TempFolder&) {
                                    int ends[2];
                                    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
                                    EXPECT_EQ(::write(ends[1], "x", 1), 1);
                                    ::close(ends[1]);  // the other end leaks if the read fails to throw
                                    return qel::ReadWholeDescriptor(ends[0]);
                                },
                                "File access denied"},
                      InputCase{"DeviceThatNeverEndsGivenOpen",
                                [](const TempFolder&) {
                                    const int fd = ::open("/dev/zero", O_RDONLY | O_CLOEXEC);
                                    struct Closer {
                                        int fd;
                                        ~Closer() { ::close(fd); }
                                    } closer{fd};
                                    return qel::ReadWholeDescriptor(fd, 1 << 20);
                                },
                                "File too large"},
                      InputCase{"FileBeyondTwoGigabytes",
                                [](const TempFolder& f) {
                                    Spit(f.file("big.ini"), "");
                                    fs::resize_file(f.file("big.ini"), qel::kMaxInputSize + 1);
                                    return qel::ReadWholeFile(f.file("big.ini"));
                                },
                                "File too large"}),
    [](const auto& info) { return std::string(info.param.name); });

enum class Interruption { FailsOnce, FailsFromThenOn, ProcessDies, ProcessDiesAfter };

// The write calls are counted and come in pieces of at most kPiece bytes, so
// that a save makes several; the one numbered gInterruptAt is interrupted.
constexpr std::size_t kPiece = 1000;
int gWriteCalls = 0;
int gInterruptAt = 0;
Interruption gHow = Interruption::FailsOnce;
constexpr int kDied = 42;

ssize_t InterruptedWrite(int fd, const void* buffer, std::size_t size)
{
    ++gWriteCalls;
    if (gWriteCalls == gInterruptAt && gHow == Interruption::ProcessDiesAfter) {
        (void)!::write(fd, buffer, std::min(size, kPiece));
        ::_exit(kDied);
    }
    if (gWriteCalls == gInterruptAt || (gHow == Interruption::FailsFromThenOn && gWriteCalls > gInterruptAt)) {
        if (gHow == Interruption::ProcessDies)
            ::_exit(kDied);
        errno = EIO;
        return -1;
    }
    return ::write(fd, buffer, std::min(size, kPiece));
}

struct WriteCallGuard {
    WriteCallGuard() { qel::SetWriteCall(InterruptedWrite); }
    ~WriteCallGuard() { qel::SetWriteCall(nullptr); }
};

// "saved", the message of the failure, or "died".
std::string SaveInPlace(const std::string& target, const std::string& bytes, Interruption how)
{
    const auto save = [&] {
        qel::SafeFileWriter writer(target);
        writer.write(bytes);
        writer.commit();
    };
    if (how == Interruption::FailsOnce || how == Interruption::FailsFromThenOn) {
        try {
            save();
        } catch (const qel::FileError& error) {
            return error.message();
        }
        return "saved";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            save();
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return !WIFEXITED(status)             ? "killed"
           : WEXITSTATUS(status) == kDied ? "died"
           : WEXITSTATUS(status) == 0     ? "saved"
                                          : "failed";
}

struct InterruptCase {
    const char* name;
    Interruption how;
    bool copyCanBeLeft;  // at some write the old bytes are only in the copy
};

void PrintTo(const InterruptCase& value, std::ostream* os)
{
    *os << value.name;
}

class InterruptedInPlaceSave : public ::testing::TestWithParam<InterruptCase> {};

TEST_P(InterruptedInPlaceSave, LeavesTheOldBytesWholeInTheTargetOrInACopyThatIsFound)
{
    const InterruptCase& c = GetParam();
    const std::string old(2500, 'o');
    const std::string fresh(4500, 'n');
    int copiesFound = 0;
    for (int at = 1;; ++at) {
        SCOPED_TRACE("interrupted at write " + std::to_string(at));
        const TempFolder folder;
        const std::string target = folder.file("t.ini");
        Spit(target, old);
        fs::create_hard_link(target, folder.file("other.ini"));  // to write in place
        gWriteCalls = 0;
        gInterruptAt = at;
        gHow = c.how;
        std::string outcome;
        {
            const WriteCallGuard guard;
            outcome = SaveInPlace(target, fresh, c.how);
        }
        const std::string now = Slurp(target);
        const std::optional<std::string> copy = qel::FindInterruptedSave(target);
        if (outcome == "saved") {
            EXPECT_TRUE(now == fresh);
            EXPECT_EQ(copy, std::nullopt);
            EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2)
                << "nothing but the target and its other link";
            break;
        }
        ASSERT_LT(at, 100) << outcome;
        if (!copy) {
            EXPECT_TRUE(now == old) << outcome;
            continue;
        }
        ++copiesFound;
        EXPECT_TRUE(Slurp(*copy) == old) << *copy;
        if (c.how != Interruption::ProcessDies) {
            EXPECT_NE(outcome.find(*copy), std::string::npos) << outcome;
        }
        qel::RestoreInterruptedSave(target, *copy);
        EXPECT_TRUE(Slurp(folder.file("other.ini")) == old) << "restored through the other link too";
        EXPECT_FALSE(fs::exists(*copy));
        EXPECT_EQ(qel::FindInterruptedSave(target), std::nullopt);
    }
    EXPECT_EQ(copiesFound > 0, c.copyCanBeLeft);
}

INSTANTIATE_TEST_SUITE_P(Cases, InterruptedInPlaceSave,
                         ::testing::Values(InterruptCase{"WriteFailsOnce", Interruption::FailsOnce, false},
                                           InterruptCase{"DiskFailsForGood", Interruption::FailsFromThenOn, true},
                                           InterruptCase{"ProcessDies", Interruption::ProcessDies, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The process dies before or after each write (copy, record, target); the
// states are what the target then holds at each point in turn: o the old
// bytes, m neither, n the new ones. Only m may be offered back: offering n
// would let Yes undo a finished save.
TEST(KilledInPlaceSave, OffersTheOldBytesOnlyForATargetThatHoldsNeither)
{
    const struct {
        std::size_t oldSize, newSize;
        const char* states;
    } cases[] = {{2500, 4500, "ooooooooommmmmmmmn"}, {4500, 2500, "oooooooooooommmmmn"}};
    const WriteCallGuard guard;
    for (const auto& c : cases) {
        const std::string old(c.oldSize, 'o');
        const std::string fresh(c.newSize, 'n');
        for (std::size_t point = 0; c.states[point] != '\0'; ++point) {
            SCOPED_TRACE(std::to_string(c.oldSize) + (point % 2 == 0 ? " before " : " after ") + std::to_string(point));
            const TempFolder folder;
            const std::string target = folder.file("t.ini");
            Spit(target, old);
            fs::create_hard_link(target, folder.file("other.ini"));
            gWriteCalls = 0;
            gInterruptAt = static_cast<int>(point / 2 + 1);
            gHow = point % 2 == 0 ? Interruption::ProcessDies : Interruption::ProcessDiesAfter;
            EXPECT_EQ(SaveInPlace(target, fresh, gHow), "died");
            const std::string now = Slurp(target);
            const char state = now == old ? 'o' : now == fresh ? 'n' : 'm';
            EXPECT_EQ(state, c.states[point]);
            const std::optional<std::string> copy = qel::FindInterruptedSave(target);
            ASSERT_EQ(copy.has_value(), state == 'm');
            EXPECT_EQ(std::count_if(fs::directory_iterator(folder.path()), fs::directory_iterator(),
                                    [](const auto& entry) { return entry.path().filename().c_str()[0] != '.'; }),
                      copy ? 4 : 2)
                << "the copy and its record go together";
            EXPECT_TRUE(!copy || Slurp(*copy) == old);
        }
    }
}

TEST(InterruptedSave, TheCopyOfARunningSaveIsNotALeftover)
{
    const TempFolder folder;
    const std::string target = folder.file("t.ini");
    Spit(target, kOld);
    fs::create_hard_link(target, folder.file("other.ini"));
    qel::SafeFileWriter writer(target);
    writer.write(kNew);
    EXPECT_EQ(qel::FindInterruptedSave(target), std::nullopt);
    writer.commit();
    EXPECT_EQ(qel::FindInterruptedSave(target), std::nullopt);
    EXPECT_EQ(Slurp(folder.file("other.ini")), kNew);
}

// A named file that is not a regular file could block the reader in open()
// (a FIFO without a writer) or never end: it is refused by name at once.
struct NamedCase {
    const char* name;
    std::string (*make)(const TempFolder&);
};

void PrintTo(const NamedCase& value, std::ostream* os)
{
    *os << value.name;
}

class NotRegularFiles : public ::testing::TestWithParam<NamedCase> {};

TEST_P(NotRegularFiles, AreRefusedByNameWithoutBlocking)
{
    const TempFolder folder;
    const std::string path = GetParam().make(folder);
    try {
        qel::ReadWholeFile(path);
        FAIL() << "read " << path;
    } catch (const qel::FileError& error) {
        EXPECT_EQ(error.message(), path + " is not a regular file");
    }
    EXPECT_EQ(Save(path), path + " is not a regular file") << "nothing is sent into it";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotRegularFiles,
    ::testing::Values(NamedCase{"FifoWithoutAWriter",
                                [](const TempFolder& f) {
                                    EXPECT_EQ(::mkfifo(f.file("f.ini").c_str(), 0600), 0);
                                    return f.file("f.ini");
                                }},
                      NamedCase{"Device", [](const TempFolder&) { return std::string("/dev/zero"); }},
                      NamedCase{"Socket",
                                [](const TempFolder& f) {
                                    const std::string path = f.file("s.ini");
                                    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
                                    sockaddr_un address{};
                                    address.sun_family = AF_UNIX;
                                    path.copy(address.sun_path, sizeof address.sun_path - 1);
                                    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
                                    ::close(fd);
                                    return path;
                                }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
