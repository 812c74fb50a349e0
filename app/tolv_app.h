#pragma once

#include <wx/app.h>

#include <memory>

#include "app/command_line.h"
#include "app/wx_host_ui.h"

class wxFileHistory;

namespace praxora {

class CMainFrame;

class CTolvApp : public wxApp {
public:
    CTolvApp();
    ~CTolvApp() override;

    bool OnInit() override;
    int OnExit() override;

private:
    void WriteStartupProbe();

    CommandLine m_commandLine;
    CWxHostUi m_ui;
    std::unique_ptr<wxFileHistory> m_recentFiles;
    CMainFrame* m_frame = nullptr;
};

}  // namespace praxora
