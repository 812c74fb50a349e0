#pragma once

#include <string>

namespace praxora::testing {

// Sends this process's standard output and error (and so those of the engine
// processes it starts from now on or that inherited them) to a temporary file until
// Finish(), which restores them and returns what was written.
class CapturedOutput {
public:
    CapturedOutput();
    ~CapturedOutput();
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    std::string Finish();

private:
    int m_savedOut = -1;
    int m_savedErr = -1;
    int m_file = -1;
};

}  // namespace praxora::testing
