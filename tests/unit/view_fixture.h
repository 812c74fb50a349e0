#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "host/tolv_view.h"
#include "tests/fakes/fake_form_engine.h"
#include "tests/fakes/fake_host_ui.h"

namespace praxora::testing {

inline constexpr const char* kCollectRecord =
    "document.getElementById('nativeBuffer').value=collectRecord();";
inline constexpr const char* kLoadRecord =
    "loadRecord(document.getElementById('nativeBuffer').value);";
inline constexpr const char* kCollectDefaults =
    "document.getElementById('nativeBuffer').value=collectPrefix('surgeon.');";
inline constexpr const char* kApplyDefaults =
    "applyPartial(document.getElementById('nativeBuffer').value);";
inline constexpr const char* kRecordSavedToast = "showToast('Patient record saved.');";
inline constexpr const char* kRecordOpenedToast = "showToast('Patient record opened.');";
inline constexpr const char* kPreparePrint = "preparePrintPacket();";

// Names parameterised cases after their `name` member.
struct NamedCase {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& param) const {
        return param.param.name;
    }
};

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A view with a fake engine and fake dialogs, and a data folder of its own: the
// per-user base points into a fresh temporary folder for each test. The fake page
// answers the collect scripts with pageRecord and pageDefaults.
class ViewFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "praxora-unit-XXXXXX").string();
        root = mkdtemp(pattern.data());
        savedDataHome = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        engine.onScript = [this](const std::string& script) {
            if (script == kCollectRecord) {
                engine.buffer = pageRecord;
            } else if (script == kCollectDefaults) {
                engine.buffer = pageDefaults;
            }
        };
    }
    void TearDown() override {
        if (savedDataHome.empty()) {
            unsetenv("XDG_DATA_HOME");
        } else {
            setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1);
        }
        std::filesystem::remove_all(root);
    }

    std::filesystem::path DataFolder() const { return root / "data" / "Corvane" / "Praxora"; }
    std::filesystem::path PatientsFolder() const { return DataFolder() / "Patients"; }
    std::filesystem::path DefaultsFile() const { return DataFolder() / "clinic-defaults.json"; }
    void WriteDefaults(const std::string& bytes) {
        std::filesystem::create_directories(DataFolder());
        WriteBytes(DefaultsFile(), bytes);
    }
    void AnswerFile(const std::filesystem::path& path, size_t filterIndex = 0) {
        ui.fileAnswers.push_back(FileDialogChoice{path.string(), filterIndex});
    }

    std::filesystem::path root;
    std::string savedDataHome;
    std::string pageRecord = "{\"format\":\"praxora-tolv-record\",\"fields\":{\"name\":\"Zoë\"}}";
    std::string pageDefaults = "{\"surgeon.name\":\"Dr. Ada\"}";
    FakeFormEngine engine;
    FakeHostUi ui;
    CTolvView view{engine, ui, CTolvView::Options{std::string("/opt/praxora/praxora")}};
};

}  // namespace praxora::testing
