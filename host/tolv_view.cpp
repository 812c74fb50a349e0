#include "host/tolv_view.h"

#include <utility>

#include "host/command_link.h"
#include "host/page_location.h"
#include "storage/paths.h"

namespace praxora {

CTolvView::CTolvView(IFormEngine& engine, IHostUi& ui, Options options)
    : m_engine(engine), m_ui(ui), m_options(std::move(options)) {
    m_engine.SetEventSink(this);
    m_commandHandlers["fake"] = [this] { FillTestData(); };
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

void CTolvView::HandleAppCommand(const std::string& word) {
    const auto handler = m_commandHandlers.find(LowerAscii(word));
    if (handler != m_commandHandlers.end() && handler->second) {
        handler->second();
    }
}

void CTolvView::FillTestData() {
    RunScript("fillTestData();");
}

void CTolvView::ExecuteCommand(CommandQueue::Operation operation) {
    m_queue.Submit(std::move(operation));
}

void CTolvView::SetCommandHandler(const std::string& word, std::function<void()> handler) {
    m_commandHandlers[LowerAscii(word)] = std::move(handler);
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
        if (m_documentCompleteListener) {
            m_documentCompleteListener(url);
        }
    });
}

}  // namespace praxora
