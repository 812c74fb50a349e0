#pragma once

#include <string>

namespace praxora {

// What the view needs of the windows around it: message boxes and the title.
// The real one is made of wxWidgets dialogs; tests use a recording fake.
class IHostUi {
public:
    virtual ~IHostUi() = default;

    // A modal message with an error icon and one OK button.
    virtual void ShowError(const std::string& message) = 0;

    // Sets the main window's title; dropped when there is no main window.
    virtual void SetTitle(const std::string& title) = 0;
};

}  // namespace praxora
