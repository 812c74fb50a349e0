// This suite's executable sits in a folder without the engine's web-process
// extension: buffer reads and writes fail, the rest of the bridge works.
#include <string>

#include "host/tolv_view.h"
#include "tests/engine/engine_fixture.h"
#include "tests/fakes/fake_host_ui.h"

namespace praxora::testing {
namespace {

using MissingExtensionTest = EngineTest;

TEST_F(MissingExtensionTest, BufferOperationsFailAndScriptsStillRun) {
    Load("buffer.html");
    EXPECT_EQ(Engine().WriteBuffer("text"), BufferAccess::Failed);
    std::string text = "held";
    EXPECT_EQ(Engine().ReadBuffer(text), BufferAccess::Failed);
    EXPECT_EQ(text, "held");

    FakeHostUi ui;
    CTolvView view(Engine(), ui);
    EXPECT_FALSE(view.SetNativeBuffer("text"));
    EXPECT_FALSE(view.GetNativeBuffer(text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(view.RunScript("document.getElementById('nativeBuffer').value='page';"));
}

}  // namespace
}  // namespace praxora::testing
