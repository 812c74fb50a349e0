#pragma once

#include <atomic>
#include <thread>

namespace praxora::testing {

// A TCP server on 127.0.0.1 that counts the connections it accepts and closes them.
class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return m_port; }
    int Connections() const { return m_connections.load(); }
    // Connects once from this process, to show that the server does count.
    bool ConnectOnce() const;

private:
    void Serve();

    int m_socket = -1;
    int m_port = 0;
    std::atomic<int> m_connections{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace praxora::testing
