#pragma once

#include <string>

namespace praxora {

// Outcome of looking up the exchange buffer element, with the distinctions the
// view's callers need: no place for the result, no document, no lookup by id,
// the lookup's own failure, and success with or without an element.
enum class ElementLookupStatus {
    Found,         // success, with an element
    NotFound,      // success, but the page has no element of that id
    NoPlace,       // the caller gave no place for the element
    NoDocument,    // no document is loaded
    NoLookup,      // the document offers no lookup by id
    LookupFailed,  // the lookup itself failed
};

// What the engine tells about the buffer element it found.
struct BufferElementInfo {
    bool isTextArea = false;
};

// Result of a read or write of the exchange buffer.
enum class BufferAccess {
    Done,
    NoDocument,
    NoElement,
    NotTextArea,
    Failed,  // the engine failed or did not answer in time
};

// Receives the engine's navigation events on the UI thread.
class IFormEngineEvents {
public:
    virtual ~IFormEngineEvents() = default;
    // Called before every navigation, frames included. Return true to cancel it.
    virtual bool OnBeforeNavigate(const std::string& url) = 0;
    // Called for every document the engine reports completely loaded.
    virtual void OnDocumentComplete(const std::string& url) = 0;
};

// The one seam between the host and the page's engine. Texts are UTF-8.
// Every call is synchronous from the caller's side and runs on the UI thread.
class IFormEngine {
public:
    virtual ~IFormEngine() = default;

    virtual void SetEventSink(IFormEngineEvents* sink) = 0;

    // Starts loading a URL; returns at once, OnDocumentComplete follows later.
    virtual void Navigate(const std::string& url) = 0;

    // Runs a script in the page's main world. True when it ran without throwing.
    virtual bool RunScript(const std::string& script) = 0;

    // Looks up the textarea "nativeBuffer" in the current document.
    virtual ElementLookupStatus LookupBufferElement(BufferElementInfo& element) = 0;

    // Replace or read the whole value of the exchange buffer. Texts end at their first NUL.
    virtual BufferAccess WriteBuffer(const std::string& text) = 0;
    virtual BufferAccess ReadBuffer(std::string& text) = 0;

    // Prints the displayed document through the engine's print dialog, owned by the
    // window that shows the page. Returns when the dialog is done; cancelling is silent.
    virtual void PrintWithDialog() = 0;

    // Prints the displayed document, as it prints on paper, to a PDF file without any
    // dialog. True once the file is complete; false when printing failed.
    virtual bool PrintToPdf(const std::string& path) = 0;
};

}  // namespace praxora
