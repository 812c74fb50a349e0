#pragma once

#include <string>
#include <vector>

#include "host/host_ui.h"

namespace praxora::testing {

// Records every message and title instead of showing them.
class FakeHostUi : public IHostUi {
public:
    std::vector<std::string> errors;
    std::vector<std::string> titles;

    void ShowError(const std::string& message) override { errors.push_back(message); }
    void SetTitle(const std::string& title) override { titles.push_back(title); }
};

}  // namespace praxora::testing
