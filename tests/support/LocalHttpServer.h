#pragma once
// A small HTTP/1.1 server for tests, run in-process on 127.0.0.1 with a port
// the system picks. Each connection is served on a thread of its own: the
// request head is read, recorded, and answered with the response set for its
// path (the part before "?"), or 404. Every answer closes the connection.

#include <winsock2.h>
#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace scvtest
{

struct HttpResponse
{
    int status = 200;
    std::string body;
    // Further header lines ("Last-Modified", "Content-Type"...).
    std::vector<std::pair<std::string, std::string>> headers;
    bool sendContentLength = true;
    // Never answer: the connection is held open until the server stops.
    bool hang = false;
};

struct HttpRequestRecord
{
    std::string method;
    std::string target; // path and query as sent
    std::string path;   // without the query
    std::string userAgent;
};

class LocalHttpServer
{
public:
    // Listens on 127.0.0.1 (throws std::runtime_error when it cannot).
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    unsigned short Port() const { return port_; }
    // "http://127.0.0.1:<port>".
    std::wstring Root() const;
    std::wstring Url(const std::string& path) const;

    void SetResponse(const std::string& path, HttpResponse response);
    std::vector<HttpRequestRecord> Requests() const;
    int CountRequests(const std::string& path) const;

    // Stops accepting, ends held connections and joins every thread.
    void Stop();

private:
    void AcceptLoop();
    void Serve(SOCKET client);

    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    HANDLE stopEvent_ = nullptr;
    mutable std::mutex mutex_;
    std::map<std::string, HttpResponse> responses_;
    std::vector<HttpRequestRecord> requests_;
    std::vector<std::thread> connections_;
    std::thread acceptThread_;
    bool stopped_ = false;
};

} // namespace scvtest
