#pragma once

#include <functional>
#include <optional>
#include <string>

#include "host/command_queue.h"
#include "host/commands.h"
#include "host/form_engine.h"
#include "host/host_ui.h"
#include "host/script_bridge.h"

namespace praxora {

// The form view: everything the host does with the page, without any window code.
// The window that shows the engine (CTolvViewWindow) owns one of these and forwards
// the engine's events to it; menus, keys and command links reach it through Execute.
class CTolvView : public IFormEngineEvents, public IScriptBridge {
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
    bool RunScript(const std::string& script) override;
    ElementLookupStatus GetNativeBufferElement(BufferElementInfo* element);
    bool SetNativeBuffer(const std::string& text) override;
    bool GetNativeBuffer(std::string& text) override;

    // Runs a command now, or after the operation that is running.
    void Execute(Command command);
    // Runs a command word's operation; unknown words do nothing.
    void HandleAppCommand(const std::string& word);

    // Patient records; the window title follows the file the form is bound to.
    void NewRecord();
    void OpenRecord();
    void SaveRecord(bool bSaveAs);
    void UpdateTitle();

    // Clinic defaults: the civil surgeon's fields, kept in the data folder.
    void SaveSurgeonDefaults();
    void ApplySurgeonDefaults(bool bAnnounce);

    // Printing: the page turns into its print packet, then the engine prints it.
    void PreparePrint();
    void Print();
    void PrintPreview();

    void FillTestData();

    // Runs an operation of the view now, or after the one that is running.
    void ExecuteCommand(CommandQueue::Operation operation);

    // Told after each completed document, once the defaults have been applied
    // (the start-up benchmark's probe).
    void SetDocumentCompleteListener(std::function<void(const std::string& url)> listener);

    bool OnBeforeNavigate(const std::string& url) override;
    void OnDocumentComplete(const std::string& url) override;

    const std::string& CurrentPath() const { return m_strCurrentPath; }
    bool IsBusy() const { return m_queue.IsBusy(); }

private:
    void Run(Command command);
    std::optional<std::string> ChooseRecordFile(FileDialogRequest::Kind kind);

    IFormEngine& m_engine;
    IHostUi& m_ui;
    Options m_options;
    CommandQueue m_queue;
    std::function<void(const std::string&)> m_documentCompleteListener;

    // Full path of the record file the form shows; empty while it has none.
    std::string m_strCurrentPath;
};

}  // namespace praxora
