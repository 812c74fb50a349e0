#pragma once

#include <wx/panel.h>

#include <memory>

#include "host/form_engine_window.h"
#include "host/tolv_view.h"

namespace praxora {

// The main frame's client area: the engine's window, filling the panel, and the
// view that drives it.
class CTolvViewWindow : public wxPanel {
public:
    // Fails (IsReady() false) when the engine cannot be made.
    CTolvViewWindow(wxWindow* parent, IHostUi& ui, const EngineOptions& engineOptions,
                    CTolvView::Options viewOptions);
    ~CTolvViewWindow() override;

    bool IsReady() const { return m_view != nullptr; }
    CTolvView& View() { return *m_view; }
    IFormEngine& Engine() { return *m_engine; }
    // Gives the page the keyboard focus.
    void FocusPage();

private:
    std::unique_ptr<CFormEngineWindow> m_engine;
    std::unique_ptr<CTolvView> m_view;
};

}  // namespace praxora
