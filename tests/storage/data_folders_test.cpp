#include "storage/data_folders.h"

#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

using praxora::GetAppDataFolder;
using praxora::GetDefaultsFilePath;
using praxora::GetPatientsFolder;

namespace {

namespace fs = std::filesystem;

std::optional<std::string> GetEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

void SetEnv(const char* name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Each test sets the environment and the current directory; both are put back after.
class DataFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_data_home_ = GetEnv("XDG_DATA_HOME");
        saved_home_ = GetEnv("HOME");
        saved_cwd_ = fs::current_path().string();
    }
    void TearDown() override {
        SetEnv("XDG_DATA_HOME", saved_data_home_);
        SetEnv("HOME", saved_home_);
        fs::current_path(saved_cwd_);
    }

    void UseBase(const std::optional<std::string>& data_home,
                 const std::optional<std::string>& home) {
        SetEnv("XDG_DATA_HOME", data_home);
        SetEnv("HOME", home);
    }

    TempFolder folder_;

private:
    std::optional<std::string> saved_data_home_;
    std::optional<std::string> saved_home_;
    std::string saved_cwd_;
};

struct BaseCase {
    const char* name;
    std::optional<std::string> data_home;  // "@" stands for the temp folder
    std::optional<std::string> home;
    std::string expected_data_folder;  // below the temp folder
};

std::ostream& operator<<(std::ostream& out, const BaseCase& test_case) {
    return out << test_case.name;
}

class DataFolderBaseTest : public DataFoldersTest,
                           public ::testing::WithParamInterface<BaseCase> {};

std::optional<std::string> InFolder(const std::optional<std::string>& value,
                                    const std::string& folder) {
    if (value && !value->empty() && value->front() == '@') {
        return folder + value->substr(1);
    }
    return value;
}

TEST_P(DataFolderBaseTest, DataFolderIsBelowTheBaseAndExists) {
    UseBase(InFolder(GetParam().data_home, folder_.path()),
            InFolder(GetParam().home, folder_.path()));
    const std::string expected = folder_.path() + GetParam().expected_data_folder;

    EXPECT_EQ(GetAppDataFolder(), expected);
    EXPECT_TRUE(IsFolder(expected));
    EXPECT_EQ(fs::status(expected).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(GetPatientsFolder(), expected + "/Patients");
    EXPECT_TRUE(IsFolder(expected + "/Patients"));
    EXPECT_EQ(GetDefaultsFilePath(), expected + "/clinic-defaults.json");
}

INSTANTIATE_TEST_SUITE_P(
    Environments, DataFolderBaseTest,
    ::testing::Values(
        BaseCase{"DataHome", "@/data", "@/home", "/data/Corvane/Praxora"},
        BaseCase{"DataHomeWithTrailingSlashes", "@/data//", "@/home", "/data/Corvane/Praxora"},
        BaseCase{"NoDataHome", std::nullopt, "@/home", "/home/.local/share/Corvane/Praxora"},
        BaseCase{"EmptyDataHome", "", "@/home", "/home/.local/share/Corvane/Praxora"},
        // A relative XDG_DATA_HOME is to be ignored, not taken from the current directory.
        BaseCase{"RelativeDataHome", "data", "@/home", "/home/.local/share/Corvane/Praxora"}),
    CaseName());

TEST_F(DataFoldersTest, DefaultsPathCreatesOnlyTheDataFolder) {
    UseBase(folder_ / "data", std::nullopt);
    const std::string data_folder = folder_ / "data/Corvane/Praxora";
    EXPECT_EQ(GetDefaultsFilePath(), data_folder + "/clinic-defaults.json");
    EXPECT_TRUE(IsFolder(data_folder));
    EXPECT_TRUE(fs::is_empty(data_folder));
}

TEST_F(DataFoldersTest, RepeatedCallsChangeNothing) {
    UseBase(folder_ / "data", std::nullopt);
    const std::string first = GetPatientsFolder();
    const std::string marker = first + "/record.tolv";
    WriteRawFile(marker, "kept");
    EXPECT_EQ(GetPatientsFolder(), first);
    EXPECT_EQ(GetAppDataFolder() + "/Patients", first);
    EXPECT_EQ(ReadRawFile(marker), "kept");
}

TEST_F(DataFoldersTest, DeletedDataFolderComesBackAtNextCall) {
    UseBase(folder_ / "data", std::nullopt);
    const std::string data_folder = GetAppDataFolder();
    for (const auto& call : {&GetAppDataFolder, &GetPatientsFolder, &GetDefaultsFilePath}) {
        fs::remove_all(folder_ / "data");
        call();
        EXPECT_TRUE(IsFolder(data_folder));
    }
}

TEST_F(DataFoldersTest, WithoutBaseEverythingIsRelativeToTheCurrentFolder) {
    fs::current_path(folder_.path());
    for (const auto& home : {std::optional<std::string>(), std::optional<std::string>("rel")}) {
        UseBase(std::nullopt, home);
        EXPECT_EQ(GetAppDataFolder(), ".");
        EXPECT_EQ(GetDefaultsFilePath(), "./clinic-defaults.json");
        EXPECT_TRUE(fs::is_empty(folder_.path()));
        EXPECT_EQ(GetPatientsFolder(), "./Patients");
        EXPECT_TRUE(IsFolder(folder_ / "Patients"));
        fs::remove(folder_ / "Patients");
    }
}

// A base that cannot hold folders gives paths all the same; the file operation that
// uses them reports the failure.
TEST_F(DataFoldersTest, UncreatableFolderIsNotAnError) {
    WriteRawFile(folder_ / "plain", "x");
    UseBase(folder_ / "plain", std::nullopt);
    EXPECT_EQ(GetPatientsFolder(), folder_ / "plain/Corvane/Praxora/Patients");
    EXPECT_EQ(ReadRawFile(folder_ / "plain"), "x");
}

}  // namespace
