#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/engine/loopback_server.h"

namespace praxora::testing {

LoopbackServer::LoopbackServer() {
    m_socket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(m_socket, 16);
    socklen_t length = sizeof address;
    getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
    m_stop = true;
    m_thread.join();
    close(m_socket);
}

void LoopbackServer::Serve() {
    while (!m_stop) {
        pollfd waiting{m_socket, POLLIN, 0};
        if (poll(&waiting, 1, 50) > 0) {
            const int client = accept(m_socket, nullptr, nullptr);
            if (client >= 0) {
                ++m_connections;
                close(client);
            }
        }
    }
}

bool LoopbackServer::ConnectOnce() const {
    const int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(m_port));
    const bool connected =
        connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(client);
    return connected;
}

}  // namespace praxora::testing
