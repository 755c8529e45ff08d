// A small HTTP server on 127.0.0.1 inside the test program: each path gets a
// reply that may be an error, cut short, stalled or sent in slow pieces. It
// stops with the object (stalled replies end then too).
#pragma once

#include <windows.h>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/CString.h"

namespace testhttp {

struct Reply {
    int status = 200;
    std::string body;
    bool sendLength = true;        // a Content-Length header
    size_t cutAt = std::string::npos;   // close after this many body bytes
    bool closeWithoutReply = false;
    bool stallBeforeHeaders = false;    // read the request, then send nothing
    size_t stallAt = std::string::npos; // send this many body bytes, then nothing
    size_t trickleBytes = 0;       // send the body in pieces of this size ...
    int trickleDelayMs = 0;        // ... with this pause between them
};

class HttpServer {
public:
    HttpServer();
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    bool Running() const { return m_port != 0; }
    // "http://127.0.0.1:<port>"
    CString Base() const;
    CString Url(const char* path) const { return Base() + CString(path); }
    void Set(const std::string& path, const Reply& reply);
    // Requests served for a path so far.
    int Hits(const std::string& path);
    void Stop();

private:
    void AcceptLoop();
    void Serve(uintptr_t sock);
    bool Stopping() const { return m_stop.load(); }

    uintptr_t m_listener = ~(uintptr_t)0;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::map<std::string, Reply> m_replies;
    std::map<std::string, int> m_hits;
    std::thread m_acceptThread;
    std::vector<std::thread> m_workers;
};

} // namespace testhttp
