#include "app/main_frame.h"

#include <wx/iconbndl.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include "app/app_texts.h"
#include "app/main_menu.h"
#include "host/commands.h"
#include "packaging/icon_images.h"

namespace praxora {

namespace {

wxIconBundle ProgramIcons() {
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
        wxImage::AddHandler(new wxPNGHandler);  // the icon images are PNG
    }
    wxIconBundle icons;
    size_t count = 0;
    const IconImage* images = IconImages(count);
    for (size_t i = 0; i < count; ++i) {
        wxMemoryInputStream stream(images[i].png, images[i].length);
        const wxImage image(stream, wxBITMAP_TYPE_PNG);
        if (image.IsOk()) {
            wxIcon icon;
            icon.CopyFromBitmap(wxBitmap(image));
            icons.AddIcon(icon);
        }
    }
    return icons;
}

}  // namespace

CMainFrame::CMainFrame(IHostUi& ui, const EngineOptions& engineOptions)
    : wxFrame(nullptr, wxID_ANY, texts::kAppTitle) {
    SetIcons(ProgramIcons());
    SetMenuBar(CreateMainMenuBar());
    m_viewWindow = new CTolvViewWindow(this, ui, engineOptions, CTolvView::Options{});
    if (!m_viewWindow->IsReady()) {
        m_viewWindow->Destroy();
        m_viewWindow = nullptr;
        return;
    }
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    Bind(wxEVT_MENU, &CMainFrame::OnMenuCommand, this);
}

void CMainFrame::OnMenuCommand(wxCommandEvent& event) {
    const auto command = CommandForMenuId(CommandIdForMenuItem(event.GetId()));
    if (!command) {
        event.Skip();
        return;
    }
    View().Execute(*command);
}

void CMainFrame::OnClose(wxCloseEvent& event) {
    // An operation of the view may be waiting for the engine in a nested main loop;
    // the window must outlive it, so the close waits until the view is idle.
    if (HasView() && View().IsBusy() && event.CanVeto()) {
        event.Veto();
        View().ExecuteCommand([this] { CallAfter([this] { Close(true); }); });
        return;
    }
    Destroy();
}

}  // namespace praxora
