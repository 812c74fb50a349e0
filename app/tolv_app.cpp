#include "app/tolv_app.h"

#include <wx/config.h>
#include <wx/display.h>
#include <wx/filehistory.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/app_texts.h"
#include "app/main_frame.h"
#include "app/settings.h"
#include "host/window_title.h"
#include "storage/paths.h"
#include "storage/scratch_folder.h"
#include "storage/utf8_text_file.h"

namespace praxora {

CTolvApp::CTolvApp() = default;
CTolvApp::~CTolvApp() = default;

bool CTolvApp::OnInit() {
    PrepareProcessForFileWrites();
    // wxApp's own parsing would refuse our arguments; ours ignores what it does not know.
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(argv[i].utf8_string());
    }
    m_commandLine = ParseCommandLine(arguments);

    SetAppName(texts::kSettingsApplication);
    SetVendorName(texts::kSettingsVendor);
    wxConfigBase::Set(CreateSettingsStore().release());
    m_recentFiles = std::make_unique<wxFileHistory>(texts::kRecentFileCount);
    m_recentFiles->Load(*wxConfigBase::Get());

    std::string documentPath;
    if (m_commandLine.filePath) {
        documentPath = MakeAbsolutePath(*m_commandLine.filePath);
        if (!CanReadRegularFile(documentPath)) {
            ShowStartupError(UnreadableFileMessage(documentPath));
            return false;
        }
    }

    // A preview's PDF left by a crash or a kill still holds patient data.
    RemoveLeftoverScratchFolders();

    EngineOptions engineOptions;
    engineOptions.developerTools = m_commandLine.developerTools;
    m_frame = new CMainFrame(m_ui, engineOptions);
    if (!m_frame->HasView()) {
        m_frame->Destroy();
        m_frame = nullptr;
        ShowStartupWarning(texts::kEngineUnavailable);
        return false;
    }
    m_ui.SetFrame(m_frame);
    SetTopWindow(m_frame);
    m_ui.SetTitle(StartupTitle(documentPath));
    if (!documentPath.empty()) {
        // Remembered, never loaded: the form starts with a new record.
        m_recentFiles->AddFileToHistory(wxString::FromUTF8(documentPath));
    }
    if (m_commandLine.startupProbeFile) {
        m_frame->View().SetDocumentCompleteListener(
            [this](const std::string&) { WriteStartupProbe(); });
    }

    // Without a window manager, maximizing does nothing; the work area is the same size.
    m_frame->SetSize(wxGetClientDisplayRect());
    m_frame->Maximize();
    m_frame->Show();
    m_frame->FocusPage();  // typing goes to the form from the start
    m_frame->View().OnInitialUpdate();
    return true;
}

int CTolvApp::OnExit() {
    if (m_recentFiles && wxConfigBase::Get(false) != nullptr) {
        m_recentFiles->Save(*wxConfigBase::Get());
        wxConfigBase::Get()->Flush();
    }
    delete wxConfigBase::Set(nullptr);
    return wxApp::OnExit();
}

void CTolvApp::WriteStartupProbe() {
    // Only the first completed page counts; the moment is on the steady clock so the
    // benchmark that started us can subtract its own reading.
    if (!m_commandLine.startupProbeFile) {
        return;
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::ofstream probe(*m_commandLine.startupProbeFile, std::ios::trunc);
    probe << std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() << '\n';
    m_commandLine.startupProbeFile.reset();
}

}  // namespace praxora

wxIMPLEMENT_APP_NO_MAIN(praxora::CTolvApp);

// "--version" is answered before the toolkit starts, so it works without a display.
int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (praxora::ParseCommandLine(arguments).showVersion) {
        std::cout << praxora::texts::kAppTitle << ' ' << PRAXORA_FILE_VERSION << '\n';
        return std::cout.good() ? 0 : 1;
    }
    wxDISABLE_DEBUG_SUPPORT();
    return wxEntry(argc, argv);
}
