// The script bridge against the real engine: texts cross exactly, failures are told
// apart, and a page cannot break the host's access to the exchange buffer.
#include <chrono>
#include <string>

#include "host/tolv_view.h"
#include "host/webkitgtk/webkit_script_runner.h"
#include "tests/engine/engine_fixture.h"
#include "tests/fakes/fake_host_ui.h"

namespace praxora::testing {
namespace {

class ScriptBridgeTest : public EngineTest {
protected:
    void LoadWithView(const std::string& page) {
        Load(page);
        view = std::make_unique<CTolvView>(Engine(), ui);
    }
    void TearDown() override {
        view.reset();
        EngineTest::TearDown();
    }

    FakeHostUi ui;
    std::unique_ptr<CTolvView> view;
};

struct TextCase {
    const char* name;
    std::string text;
    std::string expected;  // what comes back: the text up to its first NUL
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

class BufferRoundTripTest : public ScriptBridgeTest,
                            public ::testing::WithParamInterface<TextCase> {};

TEST_P(BufferRoundTripTest, TextComesBackExactly) {
    const TextCase& c = GetParam();
    LoadWithView("buffer.html");
    ASSERT_TRUE(view->SetNativeBuffer(c.text));
    std::string back = "stale";
    ASSERT_TRUE(view->GetNativeBuffer(back));
    EXPECT_EQ(back.size(), c.expected.size());
    EXPECT_TRUE(back == c.expected);
}

std::string Repeat(const std::string& unit, size_t bytes) {
    std::string text;
    text.reserve(bytes + unit.size());
    while (text.size() < bytes) {
        text += unit;
    }
    return text;
}

const std::string kMixed = "Émilie 张伟 😀 \"quoted\" 'single' \\ </script> \u2028\u2029 ${x} \n";

INSTANTIATE_TEST_SUITE_P(
    Texts, BufferRoundTripTest,
    ::testing::Values(
        TextCase{"empty", "", ""}, TextCase{"ascii", "Patient record 42", "Patient record 42"},
        TextCase{"accented", "é à ü ß", "é à ü ß"}, TextCase{"cjk", "张伟 李娜", "张伟 李娜"},
        TextCase{"emoji", "😀🩺", "😀🩺"}, TextCase{"script_breakers", kMixed, kMixed},
        // A textarea keeps line breaks as LF only: the engine normalizes CR LF and CR.
        TextCase{"line_breaks_and_tabs", "a\r\nb\tc\rd\n", "a\nb\tc\nd\n"},
        TextCase{"control_characters", "\x01\x1f\x7f\t", "\x01\x1f\x7f\t"},
        TextCase{"nul_inside", std::string("before\0after", 12), "before"},
        TextCase{"sixteen_mib_non_ascii", Repeat("ÄÖÜ张😀", 16u << 20),
                 Repeat("ÄÖÜ张😀", 16u << 20)}));

TEST_F(ScriptBridgeTest, PageSeesTheTextAsWritten) {
    LoadWithView("buffer.html");
    ASSERT_TRUE(view->SetNativeBuffer("é😀"));
    // Three UTF-16 units: é, then the emoji's surrogate pair.
    EXPECT_TRUE(view->RunScript(
        "var v=document.getElementById('nativeBuffer').value;"
        "if(v.length!==3||v.codePointAt(1)!==0x1F600)throw new Error('wrong text');"));
}

TEST_F(ScriptBridgeTest, PageWrittenTextReachesTheHost) {
    LoadWithView("buffer.html");
    ASSERT_TRUE(
        view->RunScript("document.getElementById('nativeBuffer').value='"
                        "line1\\n\\u00e9\\ud83d\\ude00\\u0000cut';"));
    std::string text;
    ASSERT_TRUE(view->GetNativeBuffer(text));
    EXPECT_EQ(text, "line1\né😀");
}

struct ScriptCase {
    const char* script;
    bool succeeds;
};

void PrintTo(const ScriptCase& c, std::ostream* os) {
    *os << '"' << c.script << '"';
}

class RunScriptTest : public ScriptBridgeTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(RunScriptTest, TrueExactlyWhenTheScriptRanWithoutThrowing) {
    LoadWithView("buffer.html");
    EXPECT_EQ(view->RunScript(GetParam().script), GetParam().succeeds);
}

INSTANTIATE_TEST_SUITE_P(Scripts, RunScriptTest,
                         ::testing::Values(ScriptCase{"", true}, ScriptCase{"var a = 1;", true},
                                           ScriptCase{"// a comment only", true},
                                           ScriptCase{"document.body", true},
                                           ScriptCase{"throw new Error('x');", false},
                                           ScriptCase{"missingFunction();", false},
                                           ScriptCase{"this is not javascript", false}));

TEST_F(ScriptBridgeTest, BufferKeepsItsValueAfterAScriptThatFailedToWriteIt) {
    LoadWithView("buffer.html");
    ASSERT_TRUE(view->SetNativeBuffer("kept"));
    EXPECT_FALSE(view->RunScript("document.getElementById('nativeBuffer').value=collectRecord();"));
    std::string text;
    ASSERT_TRUE(view->GetNativeBuffer(text));
    EXPECT_EQ(text, "kept");
}

struct ElementCase {
    const char* page;
    ElementLookupStatus status;
    bool isTextArea;
    bool accessible;
};

void PrintTo(const ElementCase& c, std::ostream* os) {
    *os << c.page;
}

class BufferElementTest : public ScriptBridgeTest,
                          public ::testing::WithParamInterface<ElementCase> {};

TEST_P(BufferElementTest, OnlyATextareaServesAsTheBuffer) {
    const ElementCase& c = GetParam();
    LoadWithView(c.page);
    BufferElementInfo element;
    EXPECT_EQ(view->GetNativeBufferElement(&element), c.status);
    EXPECT_EQ(element.isTextArea, c.isTextArea);
    EXPECT_EQ(view->SetNativeBuffer("written"), c.accessible);
    std::string text = "held before";
    EXPECT_EQ(view->GetNativeBuffer(text), c.accessible);
    EXPECT_EQ(text, c.accessible ? "written" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Pages, BufferElementTest,
    ::testing::Values(ElementCase{"buffer.html", ElementLookupStatus::Found, true, true},
                      ElementCase{"no_buffer.html", ElementLookupStatus::NotFound, false, false},
                      ElementCase{"div_buffer.html", ElementLookupStatus::Found, false, false},
                      // Redefines document.getElementById and the textarea's value property
                      // in its own world; the host's access does not see that.
                      ElementCase{"hostile.html", ElementLookupStatus::Found, true, true}));

TEST_F(ScriptBridgeTest, PageThatNeverAnswersFailsTheCallAndTheHostGoesOn) {
    LoadWithView("buffer.html");
    WebKitScriptRunner::SetTimeoutForTesting(500);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(view->RunScript("var t=Date.now();while(Date.now()-t<3000){}"));
    const auto waited = std::chrono::steady_clock::now() - start;
    WebKitScriptRunner::SetTimeoutForTesting(30000);
    EXPECT_LT(waited, 2500ms);
    // Once the page is free again, the bridge works as before.
    EXPECT_TRUE(view->SetNativeBuffer("after the stall"));
    std::string text;
    EXPECT_TRUE(view->GetNativeBuffer(text));
    EXPECT_EQ(text, "after the stall");
}

}  // namespace
}  // namespace praxora::testing
