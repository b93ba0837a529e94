#include "testing/server/RefusingPort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testing {

RefusingPort::RefusingPort()
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    m_socket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bool bound = m_socket >= 0 && bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) == 0
        && getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    m_port = bound ? ntohs(address.sin_port) : 0;
}

RefusingPort::~RefusingPort()
{
    if (m_socket >= 0)
        close(m_socket);
}

std::string RefusingPort::url(std::string_view path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

}
