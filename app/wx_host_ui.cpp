#include "app/wx_host_ui.h"

#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "app/about_box.h"
#include "app/app_texts.h"
#include "app/preview/print_preview_dialog.h"

namespace praxora {

namespace {

// wxWidgets' wildcard: the pairs joined by "|", without the closing bar.
wxString Wildcard(const std::vector<FileFilter>& filters) {
    wxString wildcard;
    for (const FileFilter& filter : filters) {
        if (!wildcard.empty()) {
            wildcard += '|';
        }
        wildcard +=
            wxString::FromUTF8(filter.description) + '|' + wxString::FromUTF8(filter.patterns);
    }
    return wildcard;
}

}  // namespace

void CWxHostUi::ShowError(const std::string& message) {
    wxMessageBox(wxString::FromUTF8(message), texts::kAppTitle, wxOK | wxICON_ERROR, m_frame);
}

void CWxHostUi::SetTitle(const std::string& title) {
    if (m_frame != nullptr) {
        m_frame->SetTitle(wxString::FromUTF8(title));
    }
}

std::optional<FileDialogChoice> CWxHostUi::ChooseFile(const FileDialogRequest& request) {
    const bool opening = request.kind == FileDialogRequest::Kind::Open;
    // A Patients folder that could not be made still gives the user a place to start.
    wxString folder = wxString::FromUTF8(request.initialFolder);
    if (!wxDirExists(folder)) {
        folder = wxGetHomeDir();
    }
    const long style =
        opening ? (wxFD_OPEN | wxFD_FILE_MUST_EXIST) : (wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    wxFileDialog dialog(m_frame, opening ? "Open Patient Record" : "Save Patient Record", folder,
                        wxString::FromUTF8(request.proposedName), Wildcard(request.filters), style);
    if (dialog.ShowModal() != wxID_OK) {
        return std::nullopt;
    }
    return FileDialogChoice{dialog.GetPath().utf8_string(),
                            static_cast<size_t>(std::max(0, dialog.GetFilterIndex()))};
}

void CWxHostUi::ShowAboutBox() {
    praxora::ShowAboutBox(m_frame);
}

void CWxHostUi::ShowPrintPreview(const std::string& pdfPath, const std::function<void()>& print) {
    auto document = OpenPdfDocument(pdfPath);
    if (!document) {
        return;
    }
    CPrintPreviewDialog dialog(m_frame, std::move(document), print);
    dialog.ShowModal();
}

void CWxHostUi::RequestClose() {
    if (m_frame != nullptr) {
        wxFrame* frame = m_frame;
        frame->CallAfter([frame] { frame->Close(); });
    }
}

void ShowStartupError(const std::string& message) {
    wxMessageBox(wxString::FromUTF8(message), texts::kAppTitle, wxOK | wxICON_ERROR);
}

void ShowStartupWarning(const std::string& message) {
    wxMessageBox(wxString::FromUTF8(message), texts::kAppTitle, wxOK | wxICON_EXCLAMATION);
}

}  // namespace praxora
