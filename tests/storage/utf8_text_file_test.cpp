#include "storage/utf8_text_file.h"

#include "storage/platform_files.h"
#include "temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

using praxora::kMaxUtf8TextFileSize;
using praxora::PrepareProcessForFileWrites;
using praxora::ReadUtf8TextFile;
using praxora::WriteUtf8TextFile;
using praxora::platform::StagingFile;

namespace {

using namespace std::string_literals;

const std::string kMark = "\xEF\xBB\xBF";
const std::string kReplacement = "\xEF\xBF\xBD";

std::set<std::string> FolderEntries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

bool RunningAsRoot() {
    return geteuid() == 0;
}

class Utf8TextFileTest : public ::testing::Test {
protected:
    TempFolder folder_;
};

// Every file in the folder but the one named.
std::set<std::string> EntriesBeside(const std::string& folder, const std::string& name) {
    std::set<std::string> names = FolderEntries(folder);
    names.erase(name);
    return names;
}

// A save through the given staging file; the automatic one is what the program uses.
bool Save(const std::string& path, const std::string& text, StagingFile staging) {
    if (staging == StagingFile::Automatic) {
        return WriteUtf8TextFile(path, text);
    }
    const praxora::platform::ByteRun runs[] = {{kMark.data(), kMark.size()},
                                               {text.data(), text.size()}};
    return praxora::platform::ReplaceFileAtomically(path, runs, 2, staging);
}

// On the file systems tests run on, automatic staging means an unnamed file.
const char* StagingName(StagingFile staging) {
    return staging == StagingFile::Automatic ? "Unnamed" : "Named";
}

// Names cases that run with both staging files.
struct StagedCaseName {
    template <class Param>
    std::string operator()(const Param& param_info) const {
        return std::string(std::get<1>(param_info.param).name) + "_" +
               StagingName(std::get<0>(param_info.param));
    }
};

struct StagingCaseName {
    std::string operator()(const ::testing::TestParamInfo<StagingFile>& param_info) const {
        return StagingName(param_info.param);
    }
};

const auto kBothStagings = ::testing::Values(StagingFile::Automatic, StagingFile::Named);

// Sets a file's modification time back, as if a crash had left it that long ago.
void Age(const std::string& path, int seconds) {
    timespec times[2] = {};
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// ---- Writing: the bytes on disk ----

struct WriteCase {
    const char* name;
    std::string text;
    std::string file;  // after the mark
};

std::ostream& operator<<(std::ostream& out, const WriteCase& test_case) {
    return out << test_case.name;
}

class WriteLayoutTest : public Utf8TextFileTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteLayoutTest, FileIsMarkThenUtf8) {
    const std::string path = folder_ / "record.tolv";
    ASSERT_TRUE(WriteUtf8TextFile(path, GetParam().text));
    EXPECT_EQ(ReadRawFile(path), kMark + GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WriteLayoutTest,
    ::testing::Values(
        WriteCase{"Empty", "", ""}, WriteCase{"Ascii", "Name: Doe", "Name: Doe"},
        WriteCase{"LineEndsUntouched", "a\r\nb\nc\r", "a\r\nb\nc\r"},
        WriteCase{"NulKept", "a\0b\0"s, "a\0b\0"s},
        WriteCase{"NonAscii", "\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80",
                  "\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80"},
        // What the host cannot express in valid UTF-8 becomes U+FFFD, never a failure.
        WriteCase{"SurrogateHalf", "a\xED\xA0\x80z",
                  "a" + kReplacement + kReplacement + kReplacement + "z"},
        WriteCase{"TruncatedAtEnd", "ab\xE2\x82", "ab" + kReplacement},
        WriteCase{"LoneContinuation", "\x80x", kReplacement + "x"},
        WriteCase{"Overlong", "\xC0\x80", kReplacement + kReplacement},
        WriteCase{"PastLastCodePoint", "\xF4\x90\x80\x80",
                  kReplacement + kReplacement + kReplacement + kReplacement}),
    CaseName());

// ---- Writing then reading ----

struct RoundTripCase {
    const char* name;
    std::string text;
};

std::ostream& operator<<(std::ostream& out, const RoundTripCase& test_case) {
    return out << test_case.name;
}

class RoundTripTest : public Utf8TextFileTest,
                      public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTripTest, ReadGivesBackWhatWasWritten) {
    const std::string path = folder_ / "record.tolv";
    ASSERT_TRUE(WriteUtf8TextFile(path, GetParam().text));
    std::string text = "left over";
    ASSERT_TRUE(ReadUtf8TextFile(path, text));
    EXPECT_EQ(text, GetParam().text);
}

std::string AllControlCharacters() {
    std::string text;
    for (int c = 0; c < 0x20; ++c) {
        text += static_cast<char>(c);
    }
    return text + "\x7F";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RoundTripTest,
    ::testing::Values(RoundTripCase{"Empty", ""},
                      RoundTripCase{"CrLfAndLoneLf", "line 1\r\nline 2\nline 3\r\n"},
                      RoundTripCase{"Tabs", "\tname\tvalue\t"},
                      RoundTripCase{"ControlCharacters", AllControlCharacters()},
                      RoundTripCase{"Accents", "Jos\xC3\xA9 M\xC3\xBCller"},
                      RoundTripCase{"Cjk", "\xE7\x97\x85\xE6\xAD\xB4"},
                      RoundTripCase{"Emoji", "ok \xF0\x9F\x91\x8D"},
                      // A text that starts with U+FEFF must not lose it to the mark.
                      RoundTripCase{"LeadingFeff", "\xEF\xBB\xBFtext"},
                      RoundTripCase{"LargeMixed", std::string(200000, 'x') + "\xC3\xA9"}),
    CaseName());

TEST_F(Utf8TextFileTest, OverwritingLongerFileLeavesOnlyNewContent) {
    const std::string path = folder_ / "record.tolv";
    ASSERT_TRUE(WriteUtf8TextFile(path, std::string(5000, 'o')));
    ASSERT_TRUE(WriteUtf8TextFile(path, "new"));
    EXPECT_EQ(ReadRawFile(path), kMark + "new");
    EXPECT_EQ(FolderEntries(folder_.path()), std::set<std::string>{"record.tolv"});
}

// ---- Reading: decoding of given bytes ----

struct ReadCase {
    const char* name;
    std::string file;
    std::string text;
};

std::ostream& operator<<(std::ostream& out, const ReadCase& test_case) {
    return out << test_case.name;
}

class ReadDecodingTest : public Utf8TextFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadDecodingTest, DecodesLeniently) {
    const std::string path = folder_ / "given.tolv";
    WriteRawFile(path, GetParam().file);
    std::string text = "left over";
    ASSERT_TRUE(ReadUtf8TextFile(path, text));
    EXPECT_EQ(text, GetParam().text);
}

const std::string R = kReplacement;

INSTANTIATE_TEST_SUITE_P(
    Files, ReadDecodingTest,
    ::testing::Values(ReadCase{"ZeroBytes", "", ""}, ReadCase{"MarkOnly", kMark, ""},
                      ReadCase{"NoMark", "plain \xC3\xA9", "plain \xC3\xA9"},
                      // Two bytes of a mark are content (an unfinished sequence), not a mark.
                      ReadCase{"HalfMark", "\xEF\xBB", R},
                      ReadCase{"SecondMarkKept", kMark + kMark + "x", kMark + "x"},
                      ReadCase{"NulKept", kMark + "a\0b"s, "a\0b"s},
                      ReadCase{"TruncatedBeforeAscii", kMark + "\xF0\x9F\x98x", R + "x"},
                      ReadCase{"TruncatedAtEnd", kMark + "ok\xE6\x97", "ok" + R},
                      ReadCase{"OverlongTwoByte", "\xC0\xAF", R + R},
                      ReadCase{"OverlongThreeByte", "\xE0\x80\xAF", R + R + R},
                      ReadCase{"SurrogateHigh", "\xED\xA0\x80", R + R + R},
                      ReadCase{"SurrogateLow", "\xED\xBF\xBF", R + R + R},
                      ReadCase{"PastLastCodePoint", "\xF4\x90\x80\x80", R + R + R + R},
                      ReadCase{"ByteF5", "a\xF5z", "a" + R + "z"}, ReadCase{"ByteFE", "\xFE", R},
                      ReadCase{"ByteFF", "\xFF\xFF", R + R},
                      ReadCase{"BadBetweenGood", "\xC3\xA9\xFF\xF0\x9F\x98\x80",
                               "\xC3\xA9" + R + "\xF0\x9F\x98\x80"},
                      ReadCase{"LastValidCodePoint", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"}),
    CaseName());

TEST_F(Utf8TextFileTest, AcceptsExactlyTheSizeLimit) {
    const std::string path = folder_ / "big.tolv";
    WriteRawFile(path, kMark + std::string(kMaxUtf8TextFileSize - kMark.size(), 'a'));
    std::string text;
    ASSERT_TRUE(ReadUtf8TextFile(path, text));
    EXPECT_EQ(text.size(), kMaxUtf8TextFileSize - kMark.size());

    WriteRawFile(path, std::string(kMaxUtf8TextFileSize, 'a'));
    ASSERT_TRUE(ReadUtf8TextFile(path, text));
    EXPECT_EQ(text.size(), kMaxUtf8TextFileSize);
}

TEST_F(Utf8TextFileTest, RefusesOneByteOverTheLimit) {
    const std::string path = folder_ / "big.tolv";
    WriteRawFile(path, kMark + std::string(kMaxUtf8TextFileSize - kMark.size() + 1, 'a'));
    std::string text = "left over";
    EXPECT_FALSE(ReadUtf8TextFile(path, text));
    EXPECT_TRUE(text.empty());
}

// A file whose size says 0 but that has content (as /proc files do) is read to its end.
TEST_F(Utf8TextFileTest, ReadsPastTheSizeSeenAtOpening) {
    std::string text;
    ASSERT_TRUE(ReadUtf8TextFile("/proc/self/status", text));
    EXPECT_NE(text.find("Pid:"), std::string::npos);
}

// ---- Reading: what is refused, without blocking ----

struct RefusedReadCase {
    const char* name;
    std::function<std::string(const TempFolder&)> make;  // the path to read
    bool needs_permission_checks = false;                // root reads whatever it likes
};

std::ostream& operator<<(std::ostream& out, const RefusedReadCase& test_case) {
    return out << test_case.name;
}

class RefusedReadTest : public Utf8TextFileTest,
                        public ::testing::WithParamInterface<RefusedReadCase> {};

TEST_P(RefusedReadTest, GivesFalseAndEmptyText) {
    if (GetParam().needs_permission_checks && RunningAsRoot()) {
        GTEST_SKIP() << "root reads files without read permission; see ReadFails";
    }
    const std::string path = GetParam().make(folder_);
    std::string text = "left over";
    EXPECT_FALSE(ReadUtf8TextFile(path, text));
    EXPECT_TRUE(text.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RefusedReadTest,
    ::testing::Values(
        RefusedReadCase{"Missing", [](const TempFolder& f) { return f / "missing.tolv"; }},
        RefusedReadCase{"EmptyPath", [](const TempFolder&) { return std::string(); }},
        RefusedReadCase{"Folder", [](const TempFolder& f) { return f.path(); }},
        // With no writer, a blocking open of a FIFO would wait for ever.
        RefusedReadCase{"Fifo",
                        [](const TempFolder& f) {
                            std::string path = f / "pipe";
                            EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
                            return path;
                        }},
        RefusedReadCase{
            "Socket",
            [](const TempFolder& f) {
                std::string path = f / "socket";
                const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
                sockaddr_un address{};
                address.sun_family = AF_UNIX;
                std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
                EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
                close(fd);
                return path;
            }},
        RefusedReadCase{"EndlessDevice",
                        [](const TempFolder&) { return std::string("/dev/zero"); }},
        RefusedReadCase{"EmptyDevice", [](const TempFolder&) { return std::string("/dev/null"); }},
        RefusedReadCase{"ParentIsAFile",
                        [](const TempFolder& f) {
                            WriteRawFile(f / "plain", "x");
                            return f / "plain/record.tolv";
                        }},
        // Its size says 0, its reads deliver gigabytes: like a file that grows while it is
        // read, it must be cut off at the limit.
        RefusedReadCase{"GrowsPastTheLimit",
                        [](const TempFolder&) { return std::string("/proc/self/pagemap"); }},
        // A regular file whose read fails, also for root: unmapped memory at offset 0.
        RefusedReadCase{"ReadFails",
                        [](const TempFolder&) { return std::string("/proc/self/mem"); }},
        RefusedReadCase{"Unreadable",
                        [](const TempFolder& f) {
                            std::string path = f / "secret.tolv";
                            WriteRawFile(path, kMark + "x");
                            chmod(path.c_str(), 0);
                            return path;
                        },
                        true}),
    CaseName());

// ---- Writing: failures leave the earlier file as it was ----

TEST_F(Utf8TextFileTest, WriteBelowAFileFails) {
    WriteRawFile(folder_ / "plain", "x");
    EXPECT_FALSE(WriteUtf8TextFile(folder_ / "plain/record.tolv", "text"));
    EXPECT_EQ(ReadRawFile(folder_ / "plain"), "x");
}

TEST_F(Utf8TextFileTest, WriteIntoReadOnlyFolderFailsAndKeepsOldFile) {
    if (RunningAsRoot()) {
        GTEST_SKIP() << "root writes into read-only folders; see OverTheFileSizeLimit";
    }
    const std::string sub = folder_ / "locked";
    ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
    const std::string path = sub + "/record.tolv";
    ASSERT_TRUE(WriteUtf8TextFile(path, "old"));
    ASSERT_EQ(chmod(sub.c_str(), 0500), 0);
    EXPECT_FALSE(WriteUtf8TextFile(path, "new"));
    EXPECT_EQ(ReadRawFile(path), kMark + "old");
    EXPECT_EQ(FolderEntries(sub), std::set<std::string>{"record.tolv"});
}

TEST_F(Utf8TextFileTest, WriteOverNonRegularFilesIsRefused) {
    const std::string pipe = folder_ / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string sub = folder_ / "sub";
    ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
    for (const std::string& path : {pipe, sub, std::string("/dev/null")}) {
        EXPECT_FALSE(WriteUtf8TextFile(path, "text")) << path;
    }
    struct stat info {};
    ASSERT_EQ(lstat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(FolderEntries(folder_.path()), (std::set<std::string>{"pipe", "sub"}));
}

// ---- Writing: permissions and links ----

TEST_F(Utf8TextFileTest, NewFileIsPrivateEvenWithOpenUmask) {
    const mode_t old_umask = umask(0);
    const bool written = WriteUtf8TextFile(folder_ / "record.tolv", "text");
    umask(old_umask);
    ASSERT_TRUE(written);
    EXPECT_EQ(ModeOf(folder_ / "record.tolv"), 0600u);
}

struct LinkCase {
    const char* name;
    std::string link_text;  // what the link holds, relative to the temp folder or absolute
    bool absolute;
    bool target_exists;
};

std::ostream& operator<<(std::ostream& out, const LinkCase& test_case) {
    return out << test_case.name;
}

class SymlinkWriteTest : public Utf8TextFileTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(SymlinkWriteTest, ReplacesWhatTheLinkPointsTo) {
    const std::string real = folder_ / "real/record.tolv";
    ASSERT_EQ(mkdir((folder_ / "real").c_str(), 0700), 0);
    if (GetParam().target_exists) {
        WriteRawFile(real, "old");
    }
    const std::string link = folder_ / "link.tolv";
    const std::string link_text =
        GetParam().absolute ? folder_ / GetParam().link_text : GetParam().link_text;
    ASSERT_EQ(symlink(link_text.c_str(), link.c_str()), 0);

    ASSERT_TRUE(WriteUtf8TextFile(link, "new"));
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadRawFile(real), kMark + "new");
    EXPECT_EQ(FolderEntries(folder_ / "real"), std::set<std::string>{"record.tolv"});
}

INSTANTIATE_TEST_SUITE_P(Links, SymlinkWriteTest,
                         ::testing::Values(LinkCase{"Absolute", "real/record.tolv", true, true},
                                           LinkCase{"Relative", "real/record.tolv", false, true},
                                           LinkCase{"Dangling", "real/record.tolv", false, false}),
                         CaseName());

TEST_F(Utf8TextFileTest, LinkLoopIsRefused) {
    const std::string a = folder_ / "a";
    const std::string b = folder_ / "b";
    ASSERT_EQ(symlink(b.c_str(), a.c_str()), 0);
    ASSERT_EQ(symlink(a.c_str(), b.c_str()), 0);
    EXPECT_FALSE(WriteUtf8TextFile(a, "text"));
    EXPECT_EQ(FolderEntries(folder_.path()), (std::set<std::string>{"a", "b"}));
}

// ---- Writing: which records may be replaced, and what they keep ----

struct WritePermissionCase {
    const char* name;
    mode_t mode;
    bool replaced_for_owner;
    bool replaced_for_root;  // root may write anything that has a write bit at all
};

std::ostream& operator<<(std::ostream& out, const WritePermissionCase& test_case) {
    return out << test_case.name;
}

class WritePermissionTest
    : public Utf8TextFileTest,
      public ::testing::WithParamInterface<std::tuple<StagingFile, WritePermissionCase>> {};

TEST_P(WritePermissionTest, ReplacesOnlyWhatTheUserMayWriteAndKeepsTheMode) {
    const auto& [staging, test_case] = GetParam();
    const std::string path = folder_ / "record.tolv";
    WriteRawFile(path, kMark + "old");
    ASSERT_EQ(chmod(path.c_str(), test_case.mode), 0);
    const bool replaced =
        RunningAsRoot() ? test_case.replaced_for_root : test_case.replaced_for_owner;

    EXPECT_EQ(Save(path, "new", staging), replaced);
    EXPECT_EQ(ModeOf(path), test_case.mode);
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    EXPECT_EQ(ReadRawFile(path), kMark + (replaced ? "new" : "old"));
    EXPECT_EQ(FolderEntries(folder_.path()), std::set<std::string>{"record.tolv"});
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WritePermissionTest,
    ::testing::Combine(kBothStagings,
                       ::testing::Values(WritePermissionCase{"ReadOnlyForAll", 0444, false, false},
                                         WritePermissionCase{"ReadOnlyForOwner", 0400, false,
                                                             false},
                                         WritePermissionCase{"NoBitsAtAll", 0000, false, false},
                                         // Only the owner's bits count for the owner.
                                         WritePermissionCase{"OthersMayWrite", 0466, false, true},
                                         WritePermissionCase{"Private", 0600, true, true},
                                         WritePermissionCase{"Shared", 0644, true, true},
                                         WritePermissionCase{"GroupWritable", 0660, true, true},
                                         WritePermissionCase{"WriteOnly", 0200, true, true})),
    StagedCaseName());

// As root (an administrator's script, say), a record of another user stays theirs.
class OwnerKeptTest : public Utf8TextFileTest, public ::testing::WithParamInterface<StagingFile> {};

TEST_P(OwnerKeptTest, ReplacedFileKeepsOwnerAndGroup) {
    if (!RunningAsRoot()) {
        GTEST_SKIP() << "only root may give a file to another user";
    }
    const std::string path = folder_ / "record.tolv";
    WriteRawFile(path, kMark + "old");
    ASSERT_EQ(chown(path.c_str(), 4321, 5432), 0);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);

    ASSERT_TRUE(Save(path, "new", GetParam()));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 5432u);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadRawFile(path), kMark + "new");
}

INSTANTIATE_TEST_SUITE_P(Stagings, OwnerKeptTest, kBothStagings, StagingCaseName());

// ---- Writing: every legal file name ----

struct NameLengthCase {
    const char* name;
    std::size_t length;
    bool saves;
};

std::ostream& operator<<(std::ostream& out, const NameLengthCase& test_case) {
    return out << test_case.name;
}

class NameLengthTest
    : public Utf8TextFileTest,
      public ::testing::WithParamInterface<std::tuple<StagingFile, NameLengthCase>> {};

TEST_P(NameLengthTest, SavesEveryNameTheFileSystemTakes) {
    const auto& [staging, test_case] = GetParam();
    const std::string name = std::string(test_case.length - 5, 'n') + ".tolv";
    const std::string path = folder_ / name;
    ASSERT_EQ(Save(path, "text", staging), test_case.saves);
    if (test_case.saves) {
        EXPECT_EQ(ReadRawFile(path), kMark + "text");
        EXPECT_EQ(FolderEntries(folder_.path()), std::set<std::string>{name});
    } else {
        EXPECT_TRUE(FolderEntries(folder_.path()).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, NameLengthTest,
    ::testing::Combine(kBothStagings, ::testing::Values(NameLengthCase{"Short", 6, true},
                                                        NameLengthCase{"Long", 247, true},
                                                        NameLengthCase{"Longer", 248, true},
                                                        NameLengthCase{"Longest", 255, true},
                                                        NameLengthCase{"TooLong", 256, false})),
    StagedCaseName());

// ---- Writing: past the file size limit ----

struct SizeLimitCase {
    const char* name;
    rlim_t limit;
    std::size_t text_size;
    bool saves;
};

std::ostream& operator<<(std::ostream& out, const SizeLimitCase& test_case) {
    return out << test_case.name;
}

class SizeLimitTest : public Utf8TextFileTest,
                      public ::testing::WithParamInterface<std::tuple<StagingFile, SizeLimitCase>> {
};

// The limit holds for root too, and stands in for a disk that fills up mid-write.
TEST_P(SizeLimitTest, OverTheFileSizeLimit) {
    const auto& [staging, test_case] = GetParam();
    const std::string path = folder_ / "record.tolv";
    ASSERT_TRUE(WriteUtf8TextFile(path, "old"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Whatever the test runner inherited, the default would kill the process.
        signal(SIGXFSZ, SIG_DFL);
        PrepareProcessForFileWrites();
        const rlimit limit{test_case.limit, test_case.limit};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(Save(path, std::string(test_case.text_size, 'n'), staging) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), test_case.saves ? 0 : 1);
    EXPECT_EQ(ReadRawFile(path),
              kMark + (test_case.saves ? std::string(test_case.text_size, 'n') : "old"));
    EXPECT_EQ(FolderEntries(folder_.path()), std::set<std::string>{"record.tolv"});
}

INSTANTIATE_TEST_SUITE_P(
    Limits, SizeLimitTest,
    ::testing::Combine(kBothStagings,
                       ::testing::Values(SizeLimitCase{"InsideTheText", 4096, 100000, false},
                                         SizeLimitCase{"InsideTheMark", 2, 10, false},
                                         SizeLimitCase{"OneByteShort", 1003, 1001, false},
                                         SizeLimitCase{"ExactlyAtTheLimit", 1003, 1000, true})),
    StagedCaseName());

// ---- Writing: saves killed midway ----

class KilledSaveTest : public Utf8TextFileTest,
                       public ::testing::WithParamInterface<StagingFile> {};

// A child saves two versions of a 2 MB record in turn and is killed at a random moment,
// again and again. The record is always one whole version; whatever is left beside it
// is private while it holds partial data, and the next save removes it once it is old.
TEST_P(KilledSaveTest, LeavesWholeRecordAndNothingThatStays) {
    const StagingFile staging = GetParam();
    const std::string path = folder_ / "record.tolv";
    const std::string versions[] = {std::string(std::size_t{2} << 20, 'a'),
                                    std::string(std::size_t{2} << 20, 'b')};
    ASSERT_TRUE(Save(path, versions[0], staging));
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);  // readable by all, so a leak would show
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(Save(path, versions[1], staging));
    const auto one_save = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);

    std::mt19937 random(7);
    std::uniform_int_distribution<long long> delay(0, one_save.count() * 2 + 1000);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int kills = 0;
    for (; kills < 40 && std::chrono::steady_clock::now() < deadline; ++kills) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned turn = 0;; ++turn) {
                Save(path, versions[turn % 2], staging);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const std::string now = ReadRawFile(path);
        ASSERT_TRUE(now == kMark + versions[0] || now == kMark + versions[1])
            << "after kill " << kills << ", " << now.size() << " bytes";
    }

    const std::set<std::string> leftovers = EntriesBeside(folder_.path(), "record.tolv");
    for (const std::string& name : leftovers) {
        EXPECT_EQ(name.rfind(praxora::platform::kTempNamePrefix, 0), 0u) << name;
        const std::string leftover = folder_ / name;
        // The record's mode comes only with the whole data, right before the rename.
        if (ModeOf(leftover) != 0600u) {
            EXPECT_EQ(ModeOf(leftover), 0644u) << name;
            EXPECT_EQ(ReadRawFile(leftover).size(), kMark.size() + versions[0].size()) << name;
        }
    }
    if (staging == StagingFile::Automatic) {
        // Only a kill between the link and the rename, two system calls, leaves a name.
        EXPECT_LE(leftovers.size(), static_cast<std::size_t>(kills / 10))
            << leftovers.size() << " of " << kills;
    }

    for (const std::string& name : leftovers) {
        Age(folder_ / name, 120);
    }
    ASSERT_TRUE(Save(path, "after", staging));
    EXPECT_EQ(FolderEntries(folder_.path()), std::set<std::string>{"record.tolv"});
}

INSTANTIATE_TEST_SUITE_P(Stagings, KilledSaveTest, kBothStagings, StagingCaseName());

// ---- Writing: what the sweep of leftovers removes ----

enum class EntryKind { File, Folder, Link, SecondName };

struct SweepCase {
    const char* name;
    std::string entry;
    EntryKind kind;
    int age_seconds;
    bool removed;
};

std::ostream& operator<<(std::ostream& out, const SweepCase& test_case) {
    return out << test_case.name;
}

class SweepTest : public Utf8TextFileTest,
                  public ::testing::WithParamInterface<std::tuple<StagingFile, SweepCase>> {};

TEST_P(SweepTest, RemovesOnlyOurOldLeftovers) {
    const auto& [staging, test_case] = GetParam();
    const std::string entry = folder_ / test_case.entry;
    switch (test_case.kind) {
        case EntryKind::File:
            WriteRawFile(entry, "patient data");
            break;
        case EntryKind::Folder:
            ASSERT_EQ(mkdir(entry.c_str(), 0700), 0);
            break;
        case EntryKind::Link:
            ASSERT_EQ(symlink("record.tolv", entry.c_str()), 0);
            break;
        case EntryKind::SecondName:
            WriteRawFile(folder_ / "kept.tolv", "patient data");
            ASSERT_EQ(link((folder_ / "kept.tolv").c_str(), entry.c_str()), 0);
            break;
    }
    Age(entry, test_case.age_seconds);

    ASSERT_TRUE(Save(folder_ / "record.tolv", "text", staging));
    EXPECT_EQ(FolderEntries(folder_.path()).count(test_case.entry), test_case.removed ? 0u : 1u);
    EXPECT_EQ(ReadRawFile(folder_ / "record.tolv"), kMark + "text");
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SweepTest,
    ::testing::Combine(
        kBothStagings,
        ::testing::Values(
            SweepCase{"OldLeftover", ".praxora-Ab3dE9", EntryKind::File, 120, true},
            SweepCase{"JustOverAMinute", ".praxora-Ab3dE9", EntryKind::File, 61, true},
            // Another instance may be saving into the same folder right now.
            SweepCase{"RecentLeftover", ".praxora-Ab3dE9", EntryKind::File, 30, false},
            SweepCase{"ShorterName", ".praxora-Ab3dE", EntryKind::File, 120, false},
            SweepCase{"LongerName", ".praxora-Ab3dE9x", EntryKind::File, 120, false},
            SweepCase{"OtherCharacters", ".praxora-Ab-dE9", EntryKind::File, 120, false},
            SweepCase{"NotHidden", "praxora-Ab3dE9", EntryKind::File, 120, false},
            SweepCase{"OtherProgramsTemp", ".record.tolv.Ab3dE9", EntryKind::File, 120, false},
            SweepCase{"Folder", ".praxora-Ab3dE9", EntryKind::Folder, 120, false},
            SweepCase{"SymbolicLink", ".praxora-Ab3dE9", EntryKind::Link, 120, false},
            SweepCase{"SecondNameOfAFile", ".praxora-Ab3dE9", EntryKind::SecondName, 120, false})),
    StagedCaseName());

}  // namespace
