#include <winsock2.h>
#include <ws2tcpip.h>

#include "tests/support/HttpServer.h"
#include "tests/support/TempFiles.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>

namespace testhttp {

namespace {

const char* StatusText(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 206: return "Partial Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

HttpServer::HttpServer()
{
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return;
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    int len = sizeof(addr);
    if (bind(s, (sockaddr*)&addr, sizeof(addr)) != 0 || listen(s, 16) != 0 ||
        getsockname(s, (sockaddr*)&addr, &len) != 0) {
        closesocket(s);
        return;
    }
    m_listener = (uintptr_t)s;
    m_port = ntohs(addr.sin_port);
    m_acceptThread = std::thread([this] { AcceptLoop(); });
}

HttpServer::~HttpServer()
{
    Stop();
    WSACleanup();
}

CString HttpServer::Base() const
{
    CString s;
    s.Format(L"http://127.0.0.1:%d", m_port);
    return s;
}

void HttpServer::Set(const std::string& path, const Reply& reply)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_replies[path] = reply;
}

int HttpServer::Hits(const std::string& path)
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_hits[path];
}

size_t HttpServer::Sent(const std::string& path)
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_sent[path];
}

size_t HttpServer::Taken(const std::string& path)
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_taken[path];
}

std::string HttpServer::LastRequest(const std::string& path)
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_requests[path];
}

void HttpServer::Stop()
{
    if (m_stop.exchange(true))
        return;
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    if (m_listener != ~(uintptr_t)0)
        closesocket((SOCKET)m_listener);
    for (std::thread& t : m_workers)
        if (t.joinable())
            t.join();
}

void HttpServer::AcceptLoop()
{
    while (!Stopping()) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET((SOCKET)m_listener, &set);
        timeval tv = {0, 20000};
        if (select(0, &set, nullptr, nullptr, &tv) <= 0)
            continue;
        SOCKET c = accept((SOCKET)m_listener, nullptr, nullptr);
        if (c == INVALID_SOCKET)
            continue;
        m_workers.emplace_back([this, c] { Serve((uintptr_t)c); });
    }
}

void HttpServer::Serve(uintptr_t sockValue)
{
    SOCKET sock = (SOCKET)sockValue;
    // The request head, read until its blank line (a short wait at most).
    std::string request;
    DWORD start = GetTickCount();
    while (request.find("\r\n\r\n") == std::string::npos && !Stopping() && GetTickCount() - start < 5000) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(sock, &set);
        timeval tv = {0, 20000};
        if (select(0, &set, nullptr, nullptr, &tv) <= 0)
            continue;
        char buf[2048];
        int n = recv(sock, buf, sizeof(buf), 0);
        if (n <= 0)
            break;
        request.append(buf, (size_t)n);
    }
    std::string path;
    size_t sp = request.find(' ');
    if (sp != std::string::npos) {
        size_t end = request.find_first_of(" ?", sp + 1);
        path = request.substr(sp + 1, end == std::string::npos ? std::string::npos : end - sp - 1);
    }
    Reply reply;
    {
        std::lock_guard<std::mutex> g(m_lock);
        auto it = m_replies.find(path);
        if (it != m_replies.end()) {
            reply = it->second;
        } else {
            reply.status = 404;
            reply.body = "<html><body>404 Not Found</body></html>";
        }
        ++m_hits[path];
        m_requests[path] = request.substr(0, request.find("\r\n\r\n") + 2);
    }

    // Without blocking, so a client that reads slowly never holds up Stop.
    u_long nonBlocking = 1;
    ioctlsocket(sock, FIONBIO, &nonBlocking);
    auto sendAll = [&](const char* p, size_t n) {
        while (n > 0 && !Stopping()) {
            int sent = send(sock, p, (int)std::min<size_t>(n, 64 * 1024), 0);
            if (sent == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
                fd_set set;
                FD_ZERO(&set);
                FD_SET(sock, &set);
                timeval tv = {0, 20000};
                select(0, nullptr, &set, nullptr, &tv);
                continue;
            }
            if (sent <= 0)
                return false;
            {
                std::lock_guard<std::mutex> g(m_lock);
                m_taken[path] += (size_t)sent;
            }
            p += sent;
            n -= (size_t)sent;
        }
        return n == 0;
    };
    auto stall = [&] {
        while (!Stopping())
            Sleep(10);
    };

    if (reply.closeWithoutReply) {
        closesocket(sock);
        return;
    }
    if (reply.stallBeforeHeaders) {
        stall();
        closesocket(sock);
        return;
    }
    const bool endless = reply.endlessBytes > 0 && !reply.body.empty();
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + StatusText(reply.status) +
                       "\r\nContent-Type: application/octet-stream\r\n";
    if (reply.declaredLength != std::string::npos)
        head += "Content-Length: " + std::to_string(reply.declaredLength) + "\r\n";
    else if (reply.sendLength && !endless)
        head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    if (!reply.location.empty())
        head += "Location: " + reply.location + "\r\n";
    head += reply.extraHeaders;
    bool ok = true;
    if (reply.headerFloodBytes > 0) {
        std::string lines;
        const std::string line = "X-Filler: " + std::string(60, 'h') + "\r\n";
        while (lines.size() < 64 * 1024)
            lines += line;
        ok = sendAll(head.data(), head.size());
        for (size_t sent = 0; ok && sent < reply.headerFloodBytes && !Stopping(); sent += lines.size()) {
            ok = sendAll(lines.data(), lines.size());
            if (reply.trickleDelayMs)
                Sleep((DWORD)reply.trickleDelayMs);
        }
        head.clear();
    }
    head += "Cache-Control: no-cache\r\nConnection: close\r\n\r\n";
    ok = ok && sendAll(head.data(), head.size());
    auto count = [&](size_t n) {
        std::lock_guard<std::mutex> g(m_lock);
        m_sent[path] += n;
    };
    if (endless) {
        size_t sent = 0;
        while (ok && sent < reply.endlessBytes && !Stopping()) {
            const size_t piece = std::min(reply.body.size(), reply.endlessBytes - sent);
            ok = sendAll(reply.body.data(), piece);
            sent += piece;
            count(piece);
        }
        shutdown(sock, SD_SEND);
        closesocket(sock);
        return;
    }
    size_t limit = reply.body.size();
    if (reply.cutAt < limit)
        limit = reply.cutAt;
    if (reply.stallAt < limit)
        limit = reply.stallAt;
    size_t pos = 0;
    while (ok && pos < limit && !Stopping()) {
        size_t piece = reply.trickleBytes ? reply.trickleBytes : limit - pos;
        if (piece > limit - pos)
            piece = limit - pos;
        ok = sendAll(reply.body.data() + pos, piece);
        pos += piece;
        count(piece);
        if (reply.trickleBytes && pos < limit)
            Sleep((DWORD)reply.trickleDelayMs);
    }
    if (ok && reply.stallAt < reply.body.size())
        stall();
    shutdown(sock, SD_SEND);
    closesocket(sock);
}

Reply HeldInHeaders(size_t bytes)
{
    Reply reply;
    reply.body = "late";
    reply.headerFloodBytes = bytes;
    return reply;
}

std::vector<CString> CacheFilesHolding(const std::string& marker)
{
    std::vector<CString> found;
    wchar_t cache[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_INTERNET_CACHE, nullptr, 0, cache)))
        return found;
    for (const CString& relative : testfiles::ListingTree(cache)) {
        if (relative.Right(1) == L"\\")
            continue;
        const CString path = CString(cache) + L"\\" + relative;
        HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            continue;
        char buf[256];
        DWORD got = 0;
        ReadFile(f, buf, sizeof(buf), &got, nullptr);
        CloseHandle(f);
        if (std::string(buf, got).find(marker) != std::string::npos)
            found.push_back(path);
    }
    return found;
}

} // namespace testhttp
