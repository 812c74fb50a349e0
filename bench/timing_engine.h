#pragma once

#include "bench/bench_timing.h"
#include "host/form_engine.h"

namespace praxora::bench {

// Passes every call to the real engine and adds up where the time went: page scripts
// and exchange-buffer transfers. What a command spends beyond both is its own (files).
class TimingEngine : public IFormEngine {
public:
    explicit TimingEngine(IFormEngine& engine) : m_engine(engine) {}

    double scriptMs = 0;
    double bufferMs = 0;
    void Reset() { scriptMs = bufferMs = 0; }

    void SetEventSink(IFormEngineEvents* sink) override { m_engine.SetEventSink(sink); }
    void Navigate(const std::string& url) override { m_engine.Navigate(url); }
    bool RunScript(const std::string& script) override {
        return Timed(scriptMs, [&] { return m_engine.RunScript(script); });
    }
    ElementLookupStatus LookupBufferElement(BufferElementInfo& element) override {
        return m_engine.LookupBufferElement(element);
    }
    BufferAccess WriteBuffer(const std::string& text) override {
        return Timed(bufferMs, [&] { return m_engine.WriteBuffer(text); });
    }
    BufferAccess ReadBuffer(std::string& text) override {
        return Timed(bufferMs, [&] { return m_engine.ReadBuffer(text); });
    }
    void PrintWithDialog() override { m_engine.PrintWithDialog(); }
    bool PrintToPdf(const std::string& path) override { return m_engine.PrintToPdf(path); }

private:
    template <class Call>
    static auto Timed(double& total, Call call) -> decltype(call()) {
        const auto start = Clock::now();
        auto result = call();
        total += Milliseconds(Clock::now() - start);
        return result;
    }

    IFormEngine& m_engine;
};

}  // namespace praxora::bench
