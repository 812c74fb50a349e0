#include "app/wx_host_ui.h"

#include <wx/frame.h>
#include <wx/msgdlg.h>

#include "app/app_texts.h"

namespace praxora {

void CWxHostUi::ShowError(const std::string& message) {
    wxMessageBox(wxString::FromUTF8(message), texts::kAppTitle, wxOK | wxICON_ERROR, m_frame);
}

void CWxHostUi::SetTitle(const std::string& title) {
    if (m_frame != nullptr) {
        m_frame->SetTitle(wxString::FromUTF8(title));
    }
}

void ShowStartupError(const std::string& message) {
    wxMessageBox(wxString::FromUTF8(message), texts::kAppTitle, wxOK | wxICON_ERROR);
}

void ShowStartupWarning(const std::string& message) {
    wxMessageBox(wxString::FromUTF8(message), texts::kAppTitle, wxOK | wxICON_EXCLAMATION);
}

}  // namespace praxora
