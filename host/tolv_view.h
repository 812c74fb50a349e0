#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "host/command_queue.h"
#include "host/form_engine.h"
#include "host/host_ui.h"

namespace praxora {

// The form view: everything the host does with the page, without any window code.
// The window that shows the engine (CTolvViewWindow) owns one of these and forwards
// the engine's events to it; menus reach it through ExecuteCommand.
class CTolvView : public IFormEngineEvents {
public:
    struct Options {
        // Where the page is looked for; the running executable's path when unset.
        std::optional<std::string> executablePath;
    };

    CTolvView(IFormEngine& engine, IHostUi& ui, Options options = {});

    // First update of the view: starts loading the form page.
    void OnInitialUpdate();
    // True when a navigation to the page was started.
    bool LoadFormPage();

    // The script bridge. All four fail (false / NoDocument) while no page is loaded.
    bool RunScript(const std::string& script);
    ElementLookupStatus GetNativeBufferElement(BufferElementInfo* element);
    bool SetNativeBuffer(const std::string& text);
    bool GetNativeBuffer(std::string& text);

    // Runs a command word's operation; unknown words do nothing.
    void HandleAppCommand(const std::string& word);
    void FillTestData();

    // Runs an operation of the view now, or after the one that is running.
    void ExecuteCommand(CommandQueue::Operation operation);

    // Operations that live outside the view (About box, closing the window) are
    // registered by the window that hosts it, under their command words.
    void SetCommandHandler(const std::string& word, std::function<void()> handler);
    void SetDocumentCompleteListener(std::function<void(const std::string& url)> listener);

    bool OnBeforeNavigate(const std::string& url) override;
    void OnDocumentComplete(const std::string& url) override;

    const std::string& CurrentPath() const { return m_strCurrentPath; }
    bool IsBusy() const { return m_queue.IsBusy(); }

private:
    IFormEngine& m_engine;
    IHostUi& m_ui;
    Options m_options;
    CommandQueue m_queue;
    std::map<std::string, std::function<void()>> m_commandHandlers;
    std::function<void(const std::string&)> m_documentCompleteListener;

    // Full path of the record file the form shows; empty while it has none.
    std::string m_strCurrentPath;
};

}  // namespace praxora
