#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/command_line.h"
#include "storage/paths.h"

namespace praxora {
namespace {

struct CommandLineCase {
    std::vector<std::string> arguments;
    std::optional<std::string> filePath;
    bool developerTools;
    bool showVersion = false;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    for (const auto& argument : c.arguments) {
        *os << '[' << argument << ']';
    }
}

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, TakesTheFirstPathAndIgnoresTheRest) {
    const CommandLineCase& c = GetParam();
    const CommandLine parsed = ParseCommandLine(c.arguments);
    EXPECT_EQ(parsed.filePath, c.filePath);
    EXPECT_EQ(parsed.developerTools, c.developerTools);
    EXPECT_EQ(parsed.showVersion, c.showVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTest,
    ::testing::Values(CommandLineCase{{}, std::nullopt, false},
                      CommandLineCase{{"/data/visit-0412.tolv"}, "/data/visit-0412.tolv", false},
                      CommandLineCase{{"relative/visit.tolv"}, "relative/visit.tolv", false},
                      CommandLineCase{{"-x", "a.tolv", "b.tolv", "--print"}, "a.tolv", false},
                      CommandLineCase{{"--unknown", "-p"}, std::nullopt, false},
                      CommandLineCase{{"--developer", "a.tolv"}, "a.tolv", true},
                      CommandLineCase{{""}, std::nullopt, false},
                      CommandLineCase{{"--version"}, std::nullopt, false, true},
                      CommandLineCase{{"a.tolv", "--version"}, "a.tolv", false, true},
                      CommandLineCase{{"--versions", "-version"}, std::nullopt, false}));

TEST(CommandLineTest, StartupProbeIsASwitchNotAFile) {
    const CommandLine parsed = ParseCommandLine({"--startup-probe=/tmp/probe", "a.tolv"});
    EXPECT_EQ(parsed.startupProbeFile, "/tmp/probe");
    EXPECT_EQ(parsed.filePath, "a.tolv");
}

TEST(CommandLineTest, UnreadableFileMessageNamesThePath) {
    const std::string message = UnreadableFileMessage("/data/missing.tolv");
    EXPECT_NE(message.find("\n\n/data/missing.tolv\n\n"), std::string::npos) << message;
}

}  // namespace
}  // namespace praxora

namespace praxora {
namespace {

namespace fs = std::filesystem;

// What may be named on the command line: an existing regular file only, judged
// without blocking (a FIFO would otherwise wait for a writer).
TEST(CommandLineFileTest, OnlyARegularReadableFileIsAccepted) {
    std::string pattern = (fs::temp_directory_path() / "praxora-cli-XXXXXX").string();
    const fs::path folder = mkdtemp(pattern.data());
    std::ofstream(folder / "visit.tolv") << "{}";
    fs::create_directory(folder / "folder.tolv");
#ifndef _WIN32
    ASSERT_EQ(mkfifo((folder / "fifo.tolv").c_str(), 0600), 0);
    EXPECT_FALSE(CanReadRegularFile((folder / "fifo.tolv").string()));
    EXPECT_FALSE(CanReadRegularFile("/dev/null"));
#endif

    EXPECT_TRUE(CanReadRegularFile((folder / "visit.tolv").string()));
    EXPECT_FALSE(CanReadRegularFile((folder / "missing.tolv").string()));
    EXPECT_FALSE(CanReadRegularFile((folder / "folder.tolv").string()));
    EXPECT_FALSE(CanReadRegularFile(""));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace praxora
