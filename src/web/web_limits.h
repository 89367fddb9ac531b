#pragma once

// Every limit of the live results server in one place. The server listens on
// the hall's network, so nothing a client sends may grow without a bound.

#include <chrono>
#include <cstddef>

namespace kuzelna::web {

// Open connections served at once (pages, API requests and sockets together).
// The next one gets 503 (an upgrade to a socket too).
constexpr int kMaxClients = 256;
// Connections beyond kMaxClients that are still told 503; any more are closed
// at once, so a flood costs no more than this.
constexpr int kMaxRefusedInFlight = 64;
// One address's share of kMaxClients ([Web] ClientsPerAddress): a phone or a
// laptop with a bad script can take no more, and the rest stays open for others.
constexpr int kDefaultClientsPerAddress = 16;
// A refused client is told when to try again.
constexpr int kRetryAfterSeconds = 5;

// Request line and headers together; a larger request gets 431.
constexpr std::size_t kMaxHeaderBytes = 8 * 1024;
// Only GET is served, which carries no body.
constexpr std::size_t kMaxBodyBytes = 1024;
// A request must arrive whole within this time (slow or half-open clients).
constexpr std::chrono::seconds kRequestTimeout{10};
// After an answer that closes the connection (431, 413, 503, 400) the rest of
// the request is read and thrown away for this long at most, so that the
// client reads the answer before the close instead of a reset.
constexpr std::chrono::milliseconds kDrainTime{2000};
constexpr std::size_t kMaxDrainBytes = 1024 * 1024;

// A page's socket: what it may send (it is read and thrown away), and how long
// a silent peer may stay before the pings give it up.
constexpr std::size_t kMaxClientMessageBytes = 1024;
// A page sends nothing but control frames; a client that sends more than this
// in one second is closed with 1008.
constexpr std::size_t kMaxClientBytesPerSecond = 2048;
constexpr std::chrono::seconds kSocketHandshakeTimeout{10};
constexpr std::chrono::seconds kSocketIdleTimeout{30};

// Snapshots waiting to go out to one socket. A client that falls this far
// behind is dropped rather than kept at the cost of memory.
constexpr std::size_t kMaxQueuedMessages = 8;
constexpr std::size_t kMaxQueuedBytes = 1024 * 1024;
// The kernel's send buffer of one socket (it doubles the figure for its own
// bookkeeping): what a client that stops reading holds in the kernel.
constexpr int kSocketSendBufferBytes = 64 * 1024;
// One write to a socket may take this long; a client that does not take it in
// by then is reset at once, without lingering with a full queue.
constexpr std::chrono::seconds kSocketWriteTimeout{10};
// At shutdown every page is sent 1001 "going away"; the closes may take this long.
constexpr std::chrono::milliseconds kGoingAwayTime{1000};

// At most one snapshot of the match per kSnapshotInterval, so that a burst of
// lane frames costs one snapshot and the lane link keeps its pace. A recorded
// throw goes out sooner: the line brings one lane frame in some 37 ms, so this
// still makes at most one snapshot per frame.
constexpr std::chrono::milliseconds kSnapshotInterval{150};
constexpr std::chrono::milliseconds kThrowSnapshotInterval{25};

// One upload of the published copy may take this long before it is given up.
constexpr std::chrono::seconds kPublishTimeout{10};

} // namespace kuzelna::web
