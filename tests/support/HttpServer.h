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
    size_t declaredLength = std::string::npos;  // its value when not the body's size
    size_t cutAt = std::string::npos;   // close after this many body bytes
    bool closeWithoutReply = false;
    bool stallBeforeHeaders = false;    // read the request, then send nothing
    size_t stallAt = std::string::npos; // send this many body bytes, then nothing
    size_t trickleBytes = 0;       // send the body in pieces of this size ...
    int trickleDelayMs = 0;        // ... with this pause between them
    std::string location;          // a Location header (for 3xx answers)
    std::string extraHeaders;      // further header lines, each ending in CRLF
    size_t headerFloodBytes = 0;   // then this many bytes of filler header lines, in
                                   // pieces of 64 KB, trickleDelayMs apart
    size_t endlessBytes = 0;       // > 0: the body again and again (without a
                                   // length unless declared) until this many bytes went out
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
    // Body bytes sent for a path so far.
    size_t Sent(const std::string& path);
    // Every byte the client's side took for a path so far (head and body),
    // counted as it goes.
    size_t Taken(const std::string& path);
    // The head of the last request for a path (request line and header lines).
    std::string LastRequest(const std::string& path);

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
    std::map<std::string, size_t> m_sent;
    std::map<std::string, size_t> m_taken;
    std::map<std::string, std::string> m_requests;
    std::thread m_acceptThread;
    std::vector<std::thread> m_workers;
};

// An answer whose header lines hold a client's transport before any of its
// body comes: by default half a megabyte, which Wine's transport reads at
// once and then takes apart for seconds (in time growing with the square of
// their length), out of reach of a cancel.
Reply HeldInHeaders(size_t bytes = 512u << 10);

// Files of the URL cache of this Wine prefix whose first bytes hold marker:
// a download that went through the cache left a copy there.
std::vector<CString> CacheFilesHolding(const std::string& marker);

} // namespace testhttp
