// Patient data stays on this computer: the engine reaches no server, whatever the
// page tries, and the developer tools are off unless asked for.
#include <webkit2/webkit2.h>
#include <wx/webview.h>

#include <string>

#include "tests/engine/captured_output.h"
#include "tests/engine/engine_fixture.h"
#include "tests/engine/loopback_server.h"

namespace praxora::testing {
namespace {

class PrivacyTest : public EngineTest {};

TEST_F(PrivacyTest, NoRequestOfThePageReachesAServer) {
    LoopbackServer server;
    ASSERT_TRUE(server.ConnectOnce());
    ASSERT_TRUE(RunLoopUntil([&] { return server.Connections() == 1; }, 2s))
        << "the server does not count connections";

    Load("network.html");
    const std::string base = "'http://127.0.0.1:" + std::to_string(server.Port()) + "'";
    ASSERT_TRUE(Engine().RunScript("tryEveryRequest(" + base + ");"));
    RunLoopFor(1500ms);
    ASSERT_TRUE(Engine().RunScript("navigateAway(" + base + ");"));
    RunLoopFor(1500ms);
    EXPECT_EQ(server.Connections(), 1) << "the engine contacted the server";
}

TEST_F(PrivacyTest, CommandLinksStillReachTheHostBehindTheFilter) {
    Load("network.html");
    ASSERT_TRUE(Engine().RunScript("window.location.href='tolv:about';"));
    ASSERT_TRUE(RunLoopUntil([&] { return !events.commandLinks.empty(); }, 5s));
    EXPECT_EQ(events.commandLinks[0], "tolv:about");
}

TEST(ConsoleTest, ConsoleMessagesOfThePageAreNotEchoed) {
    // The engine's processes inherit our standard output and error when they start,
    // so the capture begins before the engine is made.
    CapturedOutput output;
    auto* frame = new wxFrame(nullptr, wxID_ANY, "console");
    {
        auto engine = CreateFormEngineWindow(frame, EngineOptions{});
        ASSERT_NE(engine, nullptr);
        RecordingEvents events;
        engine->SetEventSink(&events);
        engine->Navigate(FixturePageUrl("network.html"));
        ASSERT_TRUE(RunLoopUntil([&] { return events.completed > 0; }, 15s));
        ASSERT_TRUE(engine->RunScript("logPatientText('PATIENT-' + 'MARKER-4711');"));
        RunLoopFor(500ms);
        engine->SetEventSink(nullptr);
    }
    frame->Destroy();
    RunLoopFor(50ms);
    EXPECT_EQ(output.Finish().find("PATIENT-MARKER-4711"), std::string::npos);
}

WebKitWebView* NativeView(CFormEngineWindow& engine) {
    auto* webView = static_cast<wxWebView*>(engine.GetWindow());
    return WEBKIT_WEB_VIEW(webView->GetNativeBackend());
}

TEST(EngineSettingsTest, InspectorIsOffUnlessAskedForAndTheEngineIsSandboxed) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "settings");
    for (const bool developerTools : {false, true}) {
        auto engine = CreateFormEngineWindow(frame, EngineOptions{developerTools});
        ASSERT_NE(engine, nullptr);
        WebKitWebView* view = NativeView(*engine);
        EXPECT_EQ(webkit_settings_get_enable_developer_extras(webkit_web_view_get_settings(view)),
                  developerTools ? TRUE : FALSE);
        EXPECT_FALSE(webkit_settings_get_enable_write_console_messages_to_stdout(
            webkit_web_view_get_settings(view)));
        EXPECT_TRUE(webkit_web_context_get_sandbox_enabled(webkit_web_view_get_context(view)));
    }
    frame->Destroy();
    RunLoopFor(50ms);
}

}  // namespace
}  // namespace praxora::testing
