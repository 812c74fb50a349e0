#pragma once

#include <wx/frame.h>

#include "host/tolv_view_window.h"

namespace praxora {

// The one main window: a menu bar, no toolbar, no status bar; its whole client area is
// the view.
class CMainFrame : public wxFrame {
public:
    CMainFrame(IHostUi& ui, const EngineOptions& engineOptions);

    // False when the engine could not be made; the frame must then be destroyed.
    bool HasView() const { return m_viewWindow != nullptr && m_viewWindow->IsReady(); }
    CTolvView& View() { return m_viewWindow->View(); }
    void FocusPage() { m_viewWindow->FocusPage(); }

private:
    void OnMenuCommand(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    CTolvViewWindow* m_viewWindow = nullptr;
};

}  // namespace praxora
