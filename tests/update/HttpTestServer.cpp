#include "HttpTestServer.h"

#include "platform/TextConv.h"

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Reads the server's first line ("PORT <n>"), waiting at most timeoutMs.
int ReadPort(int fd, int timeoutMs)
{
    std::string line;
    while (line.find('\n') == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return 0;
        char buffer[64];
        const ssize_t n = ::read(fd, buffer, sizeof(buffer));
        if (n <= 0)
            return 0;
        line.append(buffer, static_cast<size_t>(n));
    }
    return line.starts_with("PORT ") ? std::atoi(line.c_str() + 5) : 0;
}

}  // namespace

HttpTestServer::HttpTestServer(const std::string& root)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    const std::string script = std::string(KELVANE_SOURCE_DIR) + "/tests/update/update_test_server.py";
    std::string python = KELVANE_PYTHON3, rootOption = "--root";
    std::string rootValue = root;
    char* argv[] = {python.data(), const_cast<char*>(script.c_str()), rootOption.data(), rootValue.data(), nullptr};
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, python.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned == 0) {
        m_pid = pid;
        m_port = ReadPort(pipeFds[0], 10000);
    }
    ::close(pipeFds[0]);
}

HttpTestServer::~HttpTestServer()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
}

std::string HttpTestServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::wstring HttpTestServer::WideUrl(const std::string& path) const { return platform::Utf8ToWide(Url(path)); }

RefusingPort::RefusingPort()
{
    m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (m_socket >= 0 && ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0
        && ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        m_port = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

std::string RefusingPort::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::string TestPattern(size_t n)
{
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>((i * 7) % 251);
    return bytes;
}
