#pragma once
// The test HTTP server (update_test_server.py) on 127.0.0.1 and a port the
// system picked, serving files from a temporary folder, for the life of the
// object.
#include <string>

class HttpTestServer {
public:
    explicit HttpTestServer(const std::string& root);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    bool Running() const { return m_port > 0; }
    int Port() const { return m_port; }
    // "http://127.0.0.1:<port><path>"
    std::string Url(const std::string& path) const;
    std::wstring WideUrl(const std::string& path) const;

private:
    int m_pid = -1;
    int m_port = 0;
};

// A port on 127.0.0.1 that refuses connections: bound but never listening,
// for the life of the object.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    int Port() const { return m_port; }
    std::string Url(const std::string& path) const;

private:
    int m_socket = -1;
    int m_port = 0;
};

// The bytes the server sends for /bytes/<n>.
std::string TestPattern(size_t n);
