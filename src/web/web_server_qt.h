#pragma once

// The live results server: HTTP and WebSocket on one port, through Boost.Beast,
// on a thread of its own with its own io_context. It serves only what it was
// handed: the page and the match document, both immutable buffers that the
// Qt thread builds from the match state and passes in with publish(). It never
// sees the match state, and nothing a client sends goes anywhere.
//
//     GET /           the page (text/html)
//     GET /api/match  the match document (application/json)
//     GET /ws         upgrade to a socket: the document now, then a patch after every change
//     GET <asset>     a fixed file handed over with serveAsset() (the page's script and style)
//
// HEAD answers like GET without the body. Every address has a share of the
// connections; the server answers 503 beyond it. Limits: web_limits.h. The
// interface: docs/web-results.md.

#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

namespace kuzelna {

class WebServerError : public std::runtime_error {
public:
    explicit WebServerError(const std::string& what, bool addressInUse = false)
        : std::runtime_error(what), addressInUse_(addressInUse) {}
    // Another program (or another copy of this one) holds the port.
    bool addressInUse() const { return addressInUse_; }

private:
    bool addressInUse_;
};

class WebServer {
public:
    using Buffer = std::shared_ptr<const std::string>;

    WebServer();
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Before start(): how many connections one client address may hold.
    void setClientsPerAddress(int clients);
    // Before start(): `target` ("/live.js") answers with `body` of `contentType`.
    void serveAsset(const std::string& target, Buffer body, const std::string& contentType);

    // Binds `address`:`port` (port 0: any free port) and starts the thread.
    // Throws WebServerError with the reason when the address cannot be bound.
    void start(const std::string& address, int port);
    // Sends every page 1001 "going away", closes every connection and ends the
    // thread; harmless when not started.
    void stop();
    bool running() const { return thread_.joinable(); }
    // The bound port, 0 before start().
    int port() const { return port_; }

    // Hands over a new state of the match (from the thread that starts and
    // stops the server): later requests get these buffers. Every open socket
    // is sent `patch` when it was sent the previous `json` and nothing of it
    // still waits, else `json` whole (so without a patch, `json` always).
    // Before start() only the last one is kept.
    void publish(Buffer page, Buffer json, Buffer patch = nullptr);

    // Counters for the console and the tests, read from any thread.
    int openClients() const;
    int openSockets() const;
    long refusedClients() const;
    long droppedSockets() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
    std::thread thread_;
    int port_ = 0;
    Buffer pendingPage_, pendingJson_; // published while not running
};

} // namespace kuzelna
