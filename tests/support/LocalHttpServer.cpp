#include "support/LocalHttpServer.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace scvtest
{

namespace
{

const char* ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

std::string Lower(std::string text)
{
    for (char& ch : text)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

// The request head (up to the blank line); empty when the peer sent none.
std::string ReadHead(SOCKET client)
{
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const int got = ::recv(client, buffer, sizeof(buffer), 0);
        if (got <= 0)
            break;
        head.append(buffer, static_cast<size_t>(got));
    }
    return head;
}

HttpRequestRecord ParseHead(const std::string& head)
{
    HttpRequestRecord record;
    const size_t lineEnd = head.find("\r\n");
    const std::string line = head.substr(0, lineEnd);
    const size_t firstBlank = line.find(' ');
    const size_t secondBlank = line.find(' ', firstBlank + 1);
    if (firstBlank != std::string::npos) {
        record.method = line.substr(0, firstBlank);
        record.target = line.substr(firstBlank + 1, secondBlank - firstBlank - 1);
        record.path = record.target.substr(0, record.target.find('?'));
    }
    const std::string lower = Lower(head);
    const size_t agent = lower.find("\r\nuser-agent:");
    if (agent != std::string::npos) {
        const size_t start = head.find_first_not_of(' ', agent + 13);
        record.userAgent = head.substr(start, head.find("\r\n", start) - start);
    }
    return record;
}

void SendAll(SOCKET client, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        const int chunk = static_cast<int>(std::min<size_t>(data.size() - sent, 65536));
        const int got = ::send(client, data.data() + sent, chunk, 0);
        if (got <= 0)
            return;
        sent += static_cast<size_t>(got);
    }
}

} // namespace

LocalHttpServer::LocalHttpServer()
{
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        throw std::runtime_error("WSAStartup failed");
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (listener_ == INVALID_SOCKET ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_, SOMAXCONN) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    int length = sizeof(address);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    stopEvent_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

LocalHttpServer::~LocalHttpServer()
{
    Stop();
    if (stopEvent_)
        ::CloseHandle(stopEvent_);
    ::WSACleanup();
}

std::wstring LocalHttpServer::Root() const
{
    return L"http://127.0.0.1:" + std::to_wstring(port_);
}

std::wstring LocalHttpServer::Url(const std::string& path) const
{
    return Root() + std::wstring(path.begin(), path.end());
}

void LocalHttpServer::SetResponse(const std::string& path, HttpResponse response)
{
    std::lock_guard<std::mutex> guard(mutex_);
    responses_[path] = std::move(response);
}

std::vector<HttpRequestRecord> LocalHttpServer::Requests() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return requests_;
}

int LocalHttpServer::CountRequests(const std::string& path) const
{
    std::lock_guard<std::mutex> guard(mutex_);
    int count = 0;
    for (const HttpRequestRecord& request : requests_)
        count += request.path == path ? 1 : 0;
    return count;
}

void LocalHttpServer::Stop()
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (stopped_)
            return;
        stopped_ = true;
    }
    ::SetEvent(stopEvent_);
    if (acceptThread_.joinable())
        acceptThread_.join();
    ::closesocket(listener_);
    std::vector<std::thread> connections;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        connections.swap(connections_);
    }
    for (std::thread& connection : connections)
        connection.join();
}

void LocalHttpServer::AcceptLoop()
{
    while (::WaitForSingleObject(stopEvent_, 0) == WAIT_TIMEOUT) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener_, &readable);
        timeval wait = {0, 20000};
        if (::select(0, &readable, nullptr, nullptr, &wait) <= 0)
            continue;
        const SOCKET client = ::accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        std::lock_guard<std::mutex> guard(mutex_);
        connections_.emplace_back([this, client] { Serve(client); });
    }
}

void LocalHttpServer::Serve(SOCKET client)
{
    DWORD receiveTimeout = 5000;
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&receiveTimeout),
                 sizeof(receiveTimeout));
    const std::string head = ReadHead(client);
    if (head.empty()) {
        ::closesocket(client);
        return;
    }
    const HttpRequestRecord request = ParseHead(head);
    HttpResponse response;
    response.status = 404;
    response.body = "not here";
    {
        std::lock_guard<std::mutex> guard(mutex_);
        requests_.push_back(request);
        const auto found = responses_.find(request.path);
        if (found != responses_.end())
            response = found->second;
    }
    if (response.hang) {
        ::WaitForSingleObject(stopEvent_, INFINITE);
        ::closesocket(client);
        return;
    }
    std::string answer =
        "HTTP/1.1 " + std::to_string(response.status) + " " + ReasonPhrase(response.status) + "\r\n";
    for (const auto& header : response.headers)
        answer += header.first + ": " + header.second + "\r\n";
    if (response.sendContentLength)
        answer += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    answer += "Connection: close\r\n\r\n";
    if (request.method != "HEAD")
        answer += response.body;
    SendAll(client, answer);
    ::shutdown(client, SD_SEND);
    char drain[256];
    while (::recv(client, drain, sizeof(drain), 0) > 0) {
    }
    ::closesocket(client);
}

} // namespace scvtest
