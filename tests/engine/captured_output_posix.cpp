#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "tests/engine/captured_output.h"

namespace praxora::testing {

CapturedOutput::CapturedOutput() {
    char path[] = "/tmp/praxora-output-XXXXXX";
    m_file = mkstemp(path);
    unlink(path);
    fflush(stdout);
    fflush(stderr);
    m_savedOut = dup(STDOUT_FILENO);
    m_savedErr = dup(STDERR_FILENO);
    dup2(m_file, STDOUT_FILENO);
    dup2(m_file, STDERR_FILENO);
}

CapturedOutput::~CapturedOutput() {
    Finish();
}

std::string CapturedOutput::Finish() {
    std::string captured;
    if (m_file < 0) {
        return captured;
    }
    fflush(stdout);
    fflush(stderr);
    dup2(m_savedOut, STDOUT_FILENO);
    dup2(m_savedErr, STDERR_FILENO);
    close(m_savedOut);
    close(m_savedErr);
    char buffer[4096];
    ssize_t length = 0;
    lseek(m_file, 0, SEEK_SET);
    while ((length = read(m_file, buffer, sizeof buffer)) > 0) {
        captured.append(buffer, static_cast<size_t>(length));
    }
    close(m_file);
    m_file = -1;
    return captured;
}

}  // namespace praxora::testing
