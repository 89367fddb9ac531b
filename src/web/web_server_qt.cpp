#include "web/web_server_qt.h"

#include "web/web_limits.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <deque>
#include <list>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include <fcntl.h>

namespace kuzelna {

namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using namespace web;

namespace {

class Session {
public:
    virtual ~Session() = default;
    // Closes the connection; the session ends once its pending operations return.
    virtual void shut() = 0;
    // The server stops: a page is told so, anything else is closed.
    virtual void goAway() { shut(); }
};

class SocketSession;
class HttpSession;
class Place;

const char* const kServerName = "kuzelna";

// Every answer and the socket's upgrade carry these.
template <class Fields> void secure(Fields& fields) {
    fields.set(http::field::server, kServerName);
    fields.set("Content-Security-Policy", "default-src 'self'");
    fields.set("Referrer-Policy", "no-referrer");
    fields.set("X-Content-Type-Options", "nosniff");
}

// The program may start the office (fork and exec) at any time from another thread.
void closeOnExec(int fd) {
    const int flags = ::fcntl(fd, F_GETFD);
    if (flags >= 0) ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
}

// A reset instead of an orderly close: nothing waits in the kernel for a peer
// that does not read.
void abort(tcp::socket& socket) {
    beast::error_code ignored;
    socket.set_option(net::socket_base::linger(true, 0), ignored);
    socket.close(ignored);
}

} // namespace

struct WebServer::Impl {
    void accept();
    void closeAll();

    std::atomic<int> openClients_{0};
    std::atomic<int> openSockets_{0};
    std::atomic<long> refused_{0};
    std::atomic<long> dropped_{0};
    int clientsPerAddress = kDefaultClientsPerAddress;
    struct Asset {
        Buffer body;
        std::string contentType;
    };
    std::map<std::string, Asset, std::less<>> assets; // fixed before start()
    // Everything below is touched on the server's thread only. The session sets
    // come before the io_context: sessions still queued in it leave them when
    // it is destroyed.
    Buffer page;
    Buffer json;
    std::set<Session*> sessions;
    std::set<SocketSession*> sockets;
    std::map<net::ip::address, int> perAddress;
    // HTTP connections waiting for a request, longest waiting first: they give
    // way when every place is taken.
    std::list<HttpSession*> waiting;
    int refusing = 0;
    net::io_context ioc{1};
    tcp::acceptor acceptor{ioc};
    net::steady_timer acceptRetry{ioc};
    net::steady_timer stopWait{ioc};

    bool giveWay();
    void waitForGoingAway(std::chrono::steady_clock::time_point deadline);
};

namespace {

// A connection's place in the global cap and in its address's share.
class Place {
public:
    Place(WebServer::Impl& server, const net::ip::address& address) : server_(server), address_(address) {
        ++server_.openClients_;
        ++server_.perAddress[address_];
    }
    ~Place() {
        --server_.openClients_;
        const auto it = server_.perAddress.find(address_);
        if (--it->second == 0) server_.perAddress.erase(it);
    }
    Place(const Place&) = delete;
    Place& operator=(const Place&) = delete;

private:
    WebServer::Impl& server_;
    net::ip::address address_;
};

class SocketSession : public Session, public std::enable_shared_from_this<SocketSession> {
public:
    // Takes over a connection and its place.
    SocketSession(WebServer::Impl& server, tcp::socket&& socket, std::unique_ptr<Place> place)
        : server_(server), ws_(std::move(socket)), place_(std::move(place)), writeTimer_(ws_.get_executor()) {
        server_.sessions.insert(this);
    }
    ~SocketSession() override {
        server_.sessions.erase(this);
        server_.sockets.erase(this);
        if (accepted_) --server_.openSockets_;
    }

    void run(const http::request<http::string_body>& request) {
        beast::get_lowest_layer(ws_).expires_never(); // the socket's own timeouts take over
        beast::error_code ignored;
        beast::get_lowest_layer(ws_).socket().set_option(
            net::socket_base::send_buffer_size(kSocketSendBufferBytes), ignored);
        websocket::stream_base::timeout timeout{};
        timeout.handshake_timeout = kSocketHandshakeTimeout;
        timeout.idle_timeout = kSocketIdleTimeout;
        timeout.keep_alive_pings = true; // a half-open peer misses the pong and is given up
        ws_.set_option(timeout);
        ws_.set_option(
            websocket::stream_base::decorator([](websocket::response_type& response) { secure(response); }));
        ws_.read_message_max(kMaxClientMessageBytes);
        ws_.auto_fragment(false); // a document goes out as one frame, in one write
        ws_.control_callback([this](websocket::frame_type, beast::string_view payload) {
            // Pings and pongs count too: a ping flood costs as much as messages.
            if (received(payload.size() + 2))
                net::post(ws_.get_executor(), [self = shared_from_this()] {
                    self->closeWith(websocket::close_code::policy_error);
                });
        });
        ws_.async_accept(request,
                         [self = shared_from_this()](beast::error_code error) { self->onAccept(error); });
    }

    // A new snapshot: `patch` turns `previous` into `json`, and goes out when
    // `previous` is what this page has or is being written to it.
    void send(const WebServer::Buffer& json, const WebServer::Buffer& patch = nullptr,
              const WebServer::Buffer& previous = nullptr) {
        if (closed_ || !accepted_) return;
        WebServer::Buffer message = patch && previous && sent_ == previous ? patch : json;
        if (patch && queue_.size() > 1) {
            // Behind: what waits is superseded by the whole document, and a page
            // that stays behind for long is dropped as before.
            while (queue_.size() > 1) {
                queuedBytes_ -= queue_.back()->size();
                queue_.pop_back();
            }
            message = json;
            ++superseded_;
        }
        if (queue_.size() + superseded_ >= kMaxQueuedMessages ||
            queuedBytes_ + message->size() > kMaxQueuedBytes) {
            ++server_.dropped_; // too slow to keep up: dropped, never waited for
            closed_ = true;
            abort(beast::get_lowest_layer(ws_).socket());
            return;
        }
        queue_.push_back(message);
        queuedBytes_ += message->size();
        sent_ = json;
        if (queue_.size() == 1) write();
    }

    void shut() override {
        closed_ = true;
        beast::error_code ignored;
        beast::get_lowest_layer(ws_).socket().close(ignored);
    }

    void goAway() override {
        if (!accepted_ || queue_.size() > 1) return shut(); // one that lags would not take the close in time
        closeWith(websocket::close_code::going_away);
    }

private:
    // An orderly close with `code`; the read that is pending ends with it.
    void closeWith(websocket::close_code code) {
        if (closed_) return;
        closed_ = true;
        ws_.async_close(code, [self = shared_from_this()](beast::error_code) { self->shut(); });
    }

    // Counts `bytes` from the client; true when its second's allowance is used up.
    bool received(std::size_t bytes) {
        const auto now = std::chrono::steady_clock::now();
        if (now - secondStart_ >= std::chrono::seconds(1)) {
            secondStart_ = now;
            secondBytes_ = 0;
        }
        secondBytes_ += bytes;
        return secondBytes_ > kMaxClientBytesPerSecond;
    }

    void onAccept(beast::error_code error) {
        if (error || closed_) return;
        accepted_ = true;
        ++server_.openSockets_;
        server_.sockets.insert(this);
        if (server_.json) send(server_.json);
        read();
    }

    // What a page sends is read only to keep the connection healthy, and dropped.
    void read() {
        ws_.async_read(incoming_, [self = shared_from_this()](beast::error_code error, std::size_t) {
            if (error) return self->shut();
            const bool flooding = self->received(self->incoming_.size());
            self->incoming_.consume(self->incoming_.size());
            if (flooding) return self->closeWith(websocket::close_code::policy_error);
            self->read();
        });
    }

    void write() {
        ws_.text(true);
        const std::uint64_t write = ++writesStarted_;
        writeTimer_.expires_after(kSocketWriteTimeout);
        writeTimer_.async_wait([self = shared_from_this(), write](beast::error_code error) {
            // A time-out that was already on its way when its write completed counts for nothing.
            if (error || self->writesDone_ >= write) return;
            ++self->server_.dropped_;
            self->closed_ = true;
            abort(beast::get_lowest_layer(self->ws_).socket());
        });
        ws_.async_write(net::buffer(*queue_.front()),
                        [self = shared_from_this()](beast::error_code error, std::size_t) {
                            ++self->writesDone_;
                            self->writeTimer_.cancel();
                            if (error) return self->shut();
                            self->queuedBytes_ -= self->queue_.front()->size();
                            self->queue_.pop_front();
                            if (self->queue_.empty()) self->superseded_ = 0;
                            if (!self->queue_.empty() && !self->closed_) self->write();
                        });
    }

    WebServer::Impl& server_;
    websocket::stream<beast::tcp_stream> ws_;
    std::unique_ptr<Place> place_;
    net::steady_timer writeTimer_;
    std::uint64_t writesStarted_ = 0, writesDone_ = 0;
    beast::flat_buffer incoming_;
    std::deque<WebServer::Buffer> queue_;
    std::size_t queuedBytes_ = 0;
    std::chrono::steady_clock::time_point secondStart_{};
    std::size_t secondBytes_ = 0;
    WebServer::Buffer sent_;     // the document the page has once its queue is written
    std::size_t superseded_ = 0; // snapshots replaced by a whole document since the queue was last empty
    bool accepted_ = false;
    bool closed_ = false;
};

class HttpSession : public Session, public std::enable_shared_from_this<HttpSession> {
public:
    // Without a place the connection is over a limit and only gets its 503.
    HttpSession(WebServer::Impl& server, tcp::socket&& socket, std::unique_ptr<Place> place)
        : server_(server), stream_(std::move(socket)), buffer_(kMaxHeaderBytes + kMaxBodyBytes),
          place_(std::move(place)), refuse_(!place_) {
        server_.sessions.insert(this);
    }
    ~HttpSession() override {
        stopWaiting();
        server_.sessions.erase(this);
        if (refuse_) --server_.refusing;
    }

    void run() {
        if (refuse_)
            return reply(http::status::service_unavailable, "Příliš mnoho připojení, zkuste to později.\n",
                         true);
        read();
    }

    void shut() override {
        stopWaiting();
        beast::error_code ignored;
        stream_.socket().close(ignored);
    }

    // Every place is taken: this connection, waiting for a request, frees its own.
    void giveWay() {
        place_.reset();
        shut();
    }

private:
    void stopWaiting() {
        if (!waiting_) return;
        server_.waiting.erase(*waiting_);
        waiting_.reset();
    }

    void read() {
        parser_.emplace();
        parser_->header_limit(static_cast<std::uint32_t>(kMaxHeaderBytes));
        parser_->body_limit(kMaxBodyBytes);
        stream_.expires_after(kRequestTimeout);
        waiting_ = server_.waiting.insert(server_.waiting.end(), this);
        http::async_read(
            stream_, buffer_, *parser_,
            [self = shared_from_this()](beast::error_code error, std::size_t) { self->onRead(error); });
    }

    void onRead(beast::error_code error) {
        stopWaiting();
        if (!place_ && !refuse_) return; // gave way
        if (error == http::error::header_limit || error == http::error::buffer_overflow)
            return reply(http::status::request_header_fields_too_large,
                         "Hlavička požadavku je příliš dlouhá.\n", true);
        if (error == http::error::body_limit)
            return reply(http::status::payload_too_large, "Požadavek je příliš dlouhý.\n", true);
        if (error && error.category() == http::make_error_code(http::error::bad_method).category() &&
            error != http::error::end_of_stream && error != http::error::partial_message)
            return reply(http::status::bad_request, "Nesrozumitelný požadavek.\n", true);
        if (error) return shut(); // gone, timed out or cut off: nobody to answer

        const http::request<http::string_body>& request = parser_->get();
        keepAlive_ = request.keep_alive();
        head_ = request.method() == http::verb::head;
        if (request.method() != http::verb::get && !head_)
            return reply(http::status::method_not_allowed, "Jen GET a HEAD.\n", false);

        std::string_view target = request.target();
        target = target.substr(0, target.find('?'));
        if (target == "/ws") {
            if (head_ || !websocket::is_upgrade(request))
                return reply(http::status::upgrade_required, "Adresa pro WebSocket.\n", false);
            std::make_shared<SocketSession>(server_, stream_.release_socket(), std::move(place_))
                ->run(request);
            return;
        }
        if (target == "/") return serve(server_.page, "text/html; charset=utf-8");
        if (target == "/api/match") return serve(server_.json, "application/json; charset=utf-8");
        const auto asset = server_.assets.find(target);
        if (asset != server_.assets.end())
            return serve(asset->second.body, asset->second.contentType.c_str());
        reply(http::status::not_found, "Nenalezeno.\n", false);
    }

    void serve(const WebServer::Buffer& body, const char* contentType) {
        if (!body) return reply(http::status::service_unavailable, "Ještě není co ukázat.\n", false);
        auto response = std::make_shared<http::response<http::span_body<const char>>>(http::status::ok, 11);
        response->body() = {body->data(), body->size()};
        response->set(http::field::content_type, contentType);
        response->set(http::field::cache_control, "no-store");
        send(std::move(response), false, body);
    }

    void reply(http::status status, const char* text, bool close) {
        auto response = std::make_shared<http::response<http::string_body>>(status, 11);
        response->set(http::field::content_type, "text/plain; charset=utf-8");
        if (status == http::status::method_not_allowed) response->set(http::field::allow, "GET, HEAD");
        if (status == http::status::service_unavailable)
            response->set(http::field::retry_after, std::to_string(kRetryAfterSeconds));
        response->body() = text;
        send(std::move(response), close, nullptr);
    }

    // `body` keeps the buffer that a span body points into alive until it is written.
    template <class Response>
    void send(std::shared_ptr<Response> response, bool close, WebServer::Buffer body) {
        close = close || !keepAlive_;
        secure(*response);
        response->keep_alive(!close);
        response->prepare_payload();
        if (head_) response->body() = {}; // the length of the body stands, the body does not go
        stream_.expires_after(kRequestTimeout);
        http::async_write(
            stream_, *response,
            [self = shared_from_this(), response, close, body](beast::error_code error, std::size_t) {
                if (error) return self->shut();
                if (close) return self->drain();
                self->read();
            });
    }

    // The answer is out; what the client still sends is read and dropped until it
    // closes or the time is up, so that its kernel does not see a reset before
    // the client has read the answer.
    void drain() {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
        buffer_.clear();
        stream_.expires_after(kDrainTime);
        drainRead();
    }
    void drainRead() {
        stream_.async_read_some(net::buffer(scratch_),
                                [self = shared_from_this()](beast::error_code error, std::size_t bytes) {
                                    self->drained_ += bytes;
                                    if (error || self->drained_ > kMaxDrainBytes) return self->shut();
                                    self->drainRead();
                                });
    }

    WebServer::Impl& server_;
    beast::tcp_stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    std::unique_ptr<Place> place_;
    std::optional<std::list<HttpSession*>::iterator> waiting_;
    std::array<char, 4096> scratch_{};
    std::size_t drained_ = 0;
    bool refuse_;
    bool keepAlive_ = false;
    bool head_ = false;
};

} // namespace

void WebServer::Impl::accept() {
    acceptor.async_accept([this](beast::error_code error, tcp::socket socket) {
        if (error == net::error::operation_aborted || !acceptor.is_open()) return;
        if (error) {
            // Out of descriptors or the like: wait a little rather than spin.
            acceptRetry.expires_after(std::chrono::milliseconds(100));
            acceptRetry.async_wait([this](beast::error_code waitError) {
                if (!waitError) accept();
            });
            return;
        }
        closeOnExec(socket.native_handle());
        beast::error_code ignored;
        socket.set_option(tcp::no_delay(true), ignored);
        const tcp::endpoint peer = socket.remote_endpoint(ignored);
        if (ignored) {
            socket.close(ignored);
            return accept();
        }
        const auto held = perAddress.find(peer.address());
        const bool withinShare = held == perAddress.end() || held->second < clientsPerAddress;
        if (withinShare && (openClients_ < kMaxClients || giveWay())) {
            std::make_shared<HttpSession>(*this, std::move(socket),
                                          std::make_unique<Place>(*this, peer.address()))
                ->run();
        } else {
            ++refused_;
            if (refusing < kMaxRefusedInFlight) {
                ++refusing;
                std::make_shared<HttpSession>(*this, std::move(socket), nullptr)->run();
            } else {
                abort(socket);
            }
        }
        accept();
    });
}

bool WebServer::Impl::giveWay() {
    if (waiting.empty()) return false;
    waiting.front()->giveWay();
    return true;
}

void WebServer::Impl::closeAll() {
    beast::error_code ignored;
    acceptor.close(ignored);
    acceptRetry.cancel();
    const std::vector<Session*> open(sessions.begin(), sessions.end());
    for (Session* session : open)
        session->goAway();
    waitForGoingAway(std::chrono::steady_clock::now() + kGoingAwayTime);
}

// Until the pages have taken their close, or the time is up.
void WebServer::Impl::waitForGoingAway(std::chrono::steady_clock::time_point deadline) {
    if (sockets.empty() || std::chrono::steady_clock::now() >= deadline) {
        const std::vector<Session*> open(sessions.begin(), sessions.end());
        for (Session* session : open)
            session->shut();
        // The aborted operations still finish in order; what is left is destroyed with the io_context.
        net::post(ioc, [this] { ioc.stop(); });
        return;
    }
    stopWait.expires_after(std::chrono::milliseconds(10));
    stopWait.async_wait([this, deadline](beast::error_code) { waitForGoingAway(deadline); });
}

WebServer::WebServer() : impl_(std::make_unique<Impl>()) {}

void WebServer::setClientsPerAddress(int clients) {
    if (!running()) impl_->clientsPerAddress = std::max(1, clients);
}

void WebServer::serveAsset(const std::string& target, Buffer body, const std::string& contentType) {
    if (!running()) impl_->assets[target] = {std::move(body), contentType};
}

int WebServer::openClients() const {
    return impl_->openClients_.load();
}
int WebServer::openSockets() const {
    return impl_->openSockets_.load();
}
long WebServer::refusedClients() const {
    return impl_->refused_.load();
}
long WebServer::droppedSockets() const {
    return impl_->dropped_.load();
}

WebServer::~WebServer() {
    stop();
    impl_.reset(); // sessions still queued in the io_context end here
}

void WebServer::start(const std::string& address, int port) {
    if (running()) throw WebServerError("the server is running already");
    beast::error_code error;
    const net::ip::address ip = net::ip::make_address(address, error);
    if (error) throw WebServerError("\"" + address + "\" is not an IP address");
    if (port < 0 || port > 65535) throw WebServerError("port " + std::to_string(port) + " is out of range");
    const tcp::endpoint endpoint(ip, static_cast<unsigned short>(port));
    tcp::acceptor& acceptor = impl_->acceptor;
    const auto fail = [&](const char* step) {
        beast::error_code ignored;
        acceptor.close(ignored);
        throw WebServerError(std::string(step) + " " + address + ":" + std::to_string(port) + ": " +
                                 error.message(),
                             error == net::error::address_in_use);
    };
    acceptor.open(endpoint.protocol(), error);
    if (error) fail("cannot open");
    closeOnExec(acceptor.native_handle());
    acceptor.set_option(net::socket_base::reuse_address(true), error);
    acceptor.bind(endpoint, error);
    if (error) fail("cannot bind");
    acceptor.listen(net::socket_base::max_listen_connections, error);
    if (error) fail("cannot listen on");
    port_ = acceptor.local_endpoint().port();

    impl_->page = std::move(pendingPage_);
    impl_->json = std::move(pendingJson_);
    impl_->accept();
    Impl* impl = impl_.get();
    thread_ = std::thread([impl] {
        for (;;) {
            try {
                impl->ioc.run();
                return;
            } catch (const std::exception& failure) {
                // One connection's fault; the server goes on with the others.
                std::fprintf(stderr, "kuzelna: web: %s\n", failure.what());
            }
        }
    });
}

void WebServer::stop() {
    if (!thread_.joinable()) return;
    Impl* impl = impl_.get();
    net::post(impl->ioc, [impl] { impl->closeAll(); });
    thread_.join();
}

void WebServer::publish(Buffer page, Buffer json, Buffer patch) {
    if (!running()) {
        // Nothing would take the work off the io_context's queue.
        pendingPage_ = std::move(page);
        pendingJson_ = std::move(json);
        return;
    }
    Impl* impl = impl_.get();
    net::post(impl->ioc, [impl, page = std::move(page), json = std::move(json), patch = std::move(patch)] {
        const Buffer previous = std::move(impl->json);
        impl->page = page;
        impl->json = json;
        const std::vector<SocketSession*> open(impl->sockets.begin(), impl->sockets.end());
        for (SocketSession* socket : open)
            socket->send(json, patch, previous);
    });
}

} // namespace kuzelna
