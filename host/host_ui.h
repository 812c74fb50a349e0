#pragma once

#include <functional>
#include <optional>
#include <string>

#include "host/file_dialog.h"

namespace praxora {

// What the view needs of the windows around it: message boxes, file choosers, the
// title, the About box, the print preview and closing. The real one is made of
// wxWidgets windows owned by the main frame; tests use a recording fake.
class IHostUi {
public:
    virtual ~IHostUi() = default;

    // A modal message with an error icon and one OK button.
    virtual void ShowError(const std::string& message) = 0;

    // Sets the main window's title; dropped when there is no main window.
    virtual void SetTitle(const std::string& title) = 0;

    // A modal file chooser; nothing when the user cancels.
    virtual std::optional<FileDialogChoice> ChooseFile(const FileDialogRequest& request) = 0;

    // The modal About box.
    virtual void ShowAboutBox() = 0;

    // Shows the pages of a PDF modally; print reopens the print dialog for them.
    virtual void ShowPrintPreview(const std::string& pdfPath,
                                  const std::function<void()>& print) = 0;

    // Asks the main window to close once the current event has been handled.
    virtual void RequestClose() = 0;
};

}  // namespace praxora
