#pragma once

#include <string>

namespace praxora {

// The two channels to the page: running a script in its main world, and the text of
// its exchange buffer, the textarea "nativeBuffer".
class IScriptBridge {
public:
    virtual ~IScriptBridge() = default;
    // True when the script ran without throwing.
    virtual bool RunScript(const std::string& script) = 0;
    virtual bool SetNativeBuffer(const std::string& text) = 0;
    // The text is empty after false.
    virtual bool GetNativeBuffer(std::string& text) = 0;
};

}  // namespace praxora
