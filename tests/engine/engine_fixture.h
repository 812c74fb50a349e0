#pragma once

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <memory>
#include <string>
#include <vector>

#include "host/command_link.h"
#include "host/form_engine_window.h"
#include "storage/paths.h"
#include "tests/engine/engine_wait.h"

namespace praxora::testing {

using namespace std::chrono_literals;

// Records the engine's events; cancels command links like the view does.
class RecordingEvents : public IFormEngineEvents {
public:
    std::vector<std::string> navigations;
    std::vector<std::string> commandLinks;
    int completed = 0;

    bool OnBeforeNavigate(const std::string& url) override {
        navigations.push_back(url);
        if (CommandWordOf(url)) {
            commandLinks.push_back(url);
            return true;
        }
        return false;
    }
    void OnDocumentComplete(const std::string&) override { ++completed; }
};

inline std::string FixturePageUrl(const std::string& name) {
    return FileUrlFromPath(std::string(PRAXORA_ENGINE_PAGES_DIR) + "/" + name);
}

// One frame with a real engine in it, shown, for every test of a suite.
class EngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_frame = new wxFrame(nullptr, wxID_ANY, "engine test");
        s_engine = CreateFormEngineWindow(s_frame, EngineOptions{}).release();
        s_frame->Show();
    }
    static void TearDownTestSuite() {
        delete s_engine;
        s_engine = nullptr;
        s_frame->Destroy();
        RunLoopFor(50ms);
    }

    void SetUp() override {
        ASSERT_NE(s_engine, nullptr);
        s_engine->SetEventSink(&events);
    }
    void TearDown() override { s_engine->SetEventSink(nullptr); }

    IFormEngine& Engine() { return *s_engine; }

    // Loads a fixture page and waits for its document-complete event.
    void Load(const std::string& page) {
        events = RecordingEvents{};
        Engine().Navigate(FixturePageUrl(page));
        ASSERT_TRUE(RunLoopUntil([&] { return events.completed > 0; }, 15s)) << page;
    }

    RecordingEvents events;
    static inline wxFrame* s_frame = nullptr;
    static inline CFormEngineWindow* s_engine = nullptr;
};

}  // namespace praxora::testing
