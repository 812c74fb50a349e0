#pragma once

#include "host/host_ui.h"

class wxFrame;

namespace praxora {

// Message boxes, file dialogs, the About box and the print preview, with wxWidgets,
// owned by the main frame when there is one.
class CWxHostUi : public IHostUi {
public:
    void SetFrame(wxFrame* frame) { m_frame = frame; }

    void ShowError(const std::string& message) override;
    void SetTitle(const std::string& title) override;
    std::optional<FileDialogChoice> ChooseFile(const FileDialogRequest& request) override;
    void ShowAboutBox() override;
    void ShowPrintPreview(const std::string& pdfPath, const std::function<void()>& print) override;
    void RequestClose() override;

private:
    wxFrame* m_frame = nullptr;
};

// An error box without owner, for start-up before the main frame exists.
void ShowStartupError(const std::string& message);
// An exclamation box without owner, for start-up before the main frame exists.
void ShowStartupWarning(const std::string& message);

}  // namespace praxora
