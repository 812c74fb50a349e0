#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/form_engine.h"

namespace praxora::testing {

// An engine that keeps its page state in memory and records what it was asked.
class FakeFormEngine : public IFormEngine {
public:
    // Page state.
    bool hasDocument = true;
    bool hasBufferElement = true;
    bool bufferIsTextArea = true;
    std::string buffer;
    // Scripts that "throw" when run.
    std::vector<std::string> failingScripts;
    // Runs inside RunScript, as the engine's nested main loop would run other events.
    std::function<void(const std::string&)> whileScriptRuns;
    // What the page does when a script runs (for example fill the buffer).
    std::function<void(const std::string&)> onScript;
    bool pdfPrintFails = false;

    // What the host asked for, in order: scripts, and "print" / "pdf" for printing.
    std::vector<std::string> navigations;
    std::vector<std::string> scripts;
    std::vector<std::string> calls;
    std::vector<std::string> pdfPaths;
    IFormEngineEvents* sink = nullptr;

    void SetEventSink(IFormEngineEvents* eventSink) override { sink = eventSink; }
    void Navigate(const std::string& url) override { navigations.push_back(url); }

    bool RunScript(const std::string& script) override {
        scripts.push_back(script);
        calls.push_back(script);
        if (whileScriptRuns) {
            whileScriptRuns(script);
        }
        if (!hasDocument) {
            return false;
        }
        for (const auto& failing : failingScripts) {
            if (failing == script) {
                return false;
            }
        }
        if (onScript) {
            onScript(script);
        }
        return true;
    }

    ElementLookupStatus LookupBufferElement(BufferElementInfo& element) override {
        if (!hasDocument) {
            return ElementLookupStatus::NoDocument;
        }
        if (!hasBufferElement) {
            return ElementLookupStatus::NotFound;
        }
        element.isTextArea = bufferIsTextArea;
        return ElementLookupStatus::Found;
    }

    BufferAccess WriteBuffer(const std::string& text) override {
        const BufferAccess access = Access();
        if (access == BufferAccess::Done) {
            buffer = text.substr(0, text.find('\0'));
            calls.push_back("write:" + buffer);
        }
        return access;
    }

    BufferAccess ReadBuffer(std::string& text) override {
        const BufferAccess access = Access();
        if (access == BufferAccess::Done) {
            text = buffer.substr(0, buffer.find('\0'));
        }
        return access;
    }

    void PrintWithDialog() override { calls.push_back("print"); }

    bool PrintToPdf(const std::string& path) override {
        calls.push_back("pdf");
        pdfPaths.push_back(path);
        return !pdfPrintFails;
    }

private:
    BufferAccess Access() const {
        if (!hasDocument) {
            return BufferAccess::NoDocument;
        }
        if (!hasBufferElement) {
            return BufferAccess::NoElement;
        }
        return bufferIsTextArea ? BufferAccess::Done : BufferAccess::NotTextArea;
    }
};

}  // namespace praxora::testing
