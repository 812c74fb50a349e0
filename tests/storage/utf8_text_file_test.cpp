#include "storage/utf8_text_file.h"

#include "temp_folder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

using praxora::kMaxUtf8TextFileSize;
using praxora::ReadUtf8TextFile;
using praxora::WriteUtf8TextFile;

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
        GTEST_SKIP()
            << "root writes into read-only folders; see WriteThatRunsOutOfRoomKeepsOldFile";
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

// The write itself fails halfway (the file size limit stands in for a full disk, and
// holds for root too): the old file stays and no temporary file is left behind.
TEST_F(Utf8TextFileTest, WriteThatRunsOutOfRoomKeepsOldFile) {
    const std::string path = folder_ / "record.tolv";
    ASSERT_TRUE(WriteUtf8TextFile(path, "old"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(WriteUtf8TextFile(path, std::string(100000, 'n')) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the write should have failed";
    EXPECT_EQ(ReadRawFile(path), kMark + "old");
    EXPECT_EQ(FolderEntries(folder_.path()), std::set<std::string>{"record.tolv"});
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

TEST_F(Utf8TextFileTest, ReplacedFileKeepsItsPermissions) {
    const std::string path = folder_ / "record.tolv";
    for (const mode_t mode : {0644u, 0640u, 0400u}) {
        ASSERT_TRUE(WriteUtf8TextFile(path, "old"));
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(WriteUtf8TextFile(path, "new")) << std::oct << mode;
        EXPECT_EQ(ModeOf(path), mode);
        EXPECT_EQ(ReadRawFile(path), kMark + "new");
        chmod(path.c_str(), 0600);
    }
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

}  // namespace
