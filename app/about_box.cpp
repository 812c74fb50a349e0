#include <wx/msgdlg.h>

#include "app/about_box.h"
#include "app/app_texts.h"

namespace praxora {

void ShowAboutBox(wxWindow* owner) {
    wxMessageBox(wxString::FromUTF8(AboutText()), texts::kAboutCaption, wxOK | wxICON_INFORMATION,
                 owner);
}

}  // namespace praxora
