#include "host/tolv_view_window.h"

#include <wx/sizer.h>

#include <utility>

namespace praxora {

CTolvViewWindow::CTolvViewWindow(wxWindow* parent, IHostUi& ui, const EngineOptions& engineOptions,
                                 CTolvView::Options viewOptions)
    : wxPanel(parent, wxID_ANY) {
    m_engine = CreateFormEngineWindow(this, engineOptions);
    if (!m_engine) {
        return;
    }
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_engine->GetWindow(), 1, wxEXPAND);
    SetSizer(sizer);
    m_view = std::make_unique<CTolvView>(*m_engine, ui, std::move(viewOptions));
}

void CTolvViewWindow::FocusPage() {
    if (m_engine) {
        m_engine->GetWindow()->SetFocus();
    }
}

CTolvViewWindow::~CTolvViewWindow() {
    // The engine's events must not reach a view that is gone.
    if (m_engine) {
        m_engine->SetEventSink(nullptr);
    }
}

}  // namespace praxora
