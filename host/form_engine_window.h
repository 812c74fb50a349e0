#pragma once

#include <memory>

#include "host/form_engine.h"

class wxWindow;

namespace praxora {

struct EngineOptions {
    // Web inspector and the engine's own context menu; off unless asked for.
    bool developerTools = false;
};

// An engine that shows its page in a window of its own.
class CFormEngineWindow : public IFormEngine {
public:
    virtual wxWindow* GetWindow() = 0;
};

// Makes the platform's engine inside parent. Null when the engine cannot be made.
std::unique_ptr<CFormEngineWindow> CreateFormEngineWindow(wxWindow* parent,
                                                          const EngineOptions& options);

}  // namespace praxora
