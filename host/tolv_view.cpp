#include "host/tolv_view.h"

#include <utility>

#include "host/command_link.h"
#include "host/page_contract.h"
#include "host/page_location.h"
#include "storage/paths.h"

namespace praxora {

CTolvView::CTolvView(IFormEngine& engine, IHostUi& ui, Options options)
    : m_engine(engine), m_ui(ui), m_options(std::move(options)) {
    m_engine.SetEventSink(this);
}

void CTolvView::OnInitialUpdate() {
    ExecuteCommand([this] { LoadFormPage(); });
}

bool CTolvView::LoadFormPage() {
    const std::string pagePath =
        PagePathForExecutable(m_options.executablePath.value_or(GetExecutablePath()));
    if (pagePath.empty()) {
        return false;
    }
    if (!PathExists(pagePath)) {
        m_ui.ShowError(MissingPageMessage(pagePath));
        return false;
    }
    const std::string url = FileUrlFromPath(pagePath);
    if (url.empty()) {
        return false;
    }
    m_engine.Navigate(url);
    return true;
}

bool CTolvView::RunScript(const std::string& script) {
    return m_engine.RunScript(script);
}

ElementLookupStatus CTolvView::GetNativeBufferElement(BufferElementInfo* element) {
    if (element == nullptr) {
        return ElementLookupStatus::NoPlace;
    }
    *element = BufferElementInfo{};
    return m_engine.LookupBufferElement(*element);
}

bool CTolvView::SetNativeBuffer(const std::string& text) {
    return m_engine.WriteBuffer(text) == BufferAccess::Done;
}

bool CTolvView::GetNativeBuffer(std::string& text) {
    text.clear();
    if (m_engine.ReadBuffer(text) == BufferAccess::Done) {
        return true;
    }
    text.clear();
    return false;
}

void CTolvView::Execute(Command command) {
    ExecuteCommand([this, command] { Run(command); });
}

void CTolvView::Run(Command command) {
    switch (command.operation) {
        case Operation::NewRecord:
            NewRecord();
            break;
        case Operation::OpenRecord:
            OpenRecord();
            break;
        case Operation::SaveRecord:
            SaveRecord(command.argument);
            break;
        case Operation::PrintPreview:
            PrintPreview();
            break;
        case Operation::Print:
            Print();
            break;
        case Operation::SaveSurgeonDefaults:
            SaveSurgeonDefaults();
            break;
        case Operation::ApplySurgeonDefaults:
            ApplySurgeonDefaults(command.argument);
            break;
        case Operation::FillTestData:
            FillTestData();
            break;
        case Operation::ShowAboutBox:
            m_ui.ShowAboutBox();
            break;
        case Operation::CloseWindow:
            // Posted: the window closes after the command link or menu event returned.
            m_ui.RequestClose();
            break;
    }
}

void CTolvView::HandleAppCommand(const std::string& word) {
    if (const auto command = CommandForWord(word)) {
        Run(*command);
    }
}

void CTolvView::FillTestData() {
    page::FillTestData(*this);
}

void CTolvView::ExecuteCommand(CommandQueue::Operation operation) {
    m_queue.Submit(std::move(operation));
}

void CTolvView::SetDocumentCompleteListener(std::function<void(const std::string&)> listener) {
    m_documentCompleteListener = std::move(listener);
}

bool CTolvView::OnBeforeNavigate(const std::string& url) {
    auto word = CommandWordOf(url);
    if (!word) {
        return false;
    }
    // Cancel first; the command runs now when the view is idle, else after the
    // operation that is running.
    ExecuteCommand([this, command = std::move(*word)] { HandleAppCommand(command); });
    return true;
}

void CTolvView::OnDocumentComplete(const std::string& url) {
    ExecuteCommand([this, url] {
        // Every completed document gets the saved defaults, silently; the URL is not
        // looked at, so a frame or a reload applies them again.
        ApplySurgeonDefaults(false);
        if (m_documentCompleteListener) {
            m_documentCompleteListener(url);
        }
    });
}

}  // namespace praxora
