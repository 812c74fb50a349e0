#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/host_ui.h"

namespace praxora::testing {

// Records every message, dialog and title instead of showing them; file choosers are
// answered from a queue (an empty queue answers as a cancel).
class FakeHostUi : public IHostUi {
public:
    std::vector<std::string> errors;
    std::vector<std::string> titles;
    std::vector<FileDialogRequest> fileRequests;
    std::deque<std::optional<FileDialogChoice>> fileAnswers;
    int aboutBoxes = 0;
    int closeRequests = 0;
    std::vector<std::string> previews;
    // Runs while the preview is "open", with its print action.
    std::function<void(const std::string& pdfPath, const std::function<void()>& print)>
        whilePreviewOpen;

    void ShowError(const std::string& message) override { errors.push_back(message); }
    void SetTitle(const std::string& title) override { titles.push_back(title); }

    std::optional<FileDialogChoice> ChooseFile(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        if (fileAnswers.empty()) {
            return std::nullopt;
        }
        auto answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

    void ShowAboutBox() override { ++aboutBoxes; }

    void ShowPrintPreview(const std::string& pdfPath, const std::function<void()>& print) override {
        previews.push_back(pdfPath);
        if (whilePreviewOpen) {
            whilePreviewOpen(pdfPath, print);
        }
    }

    void RequestClose() override { ++closeRequests; }
};

}  // namespace praxora::testing
