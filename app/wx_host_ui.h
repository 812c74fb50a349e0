#pragma once

#include "host/host_ui.h"

class wxFrame;

namespace praxora {

// Message boxes and the title, with wxWidgets, owned by the main frame when there
// is one.
class CWxHostUi : public IHostUi {
public:
    void SetFrame(wxFrame* frame) { m_frame = frame; }

    void ShowError(const std::string& message) override;
    void SetTitle(const std::string& title) override;

private:
    wxFrame* m_frame = nullptr;
};

// An error box without owner, for start-up before the main frame exists.
void ShowStartupError(const std::string& message);
// An exclamation box without owner, for start-up before the main frame exists.
void ShowStartupWarning(const std::string& message);

}  // namespace praxora
