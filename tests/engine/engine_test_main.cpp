// Engine tests need a running wxWidgets application and an X display (xvfb-run).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

namespace {
class EngineTestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};
}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new EngineTestApp);
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "The engine tests need a display; run them under xvfb-run.\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
