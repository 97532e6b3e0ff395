// A non-blocking stream socket to host:port, connected, fed and read inside a poll() loop, with
// a queue of what is still to be sent. A host name may stand for several addresses (::1 and
// 127.0.0.1 for localhost): each is tried in the resolver's order, each for a bounded time.
#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace host {

// One address a host name stands for.
struct SocketAddress {
    sockaddr_storage address{};
    socklen_t size = 0;
    int family = AF_UNSPEC;
    int type = SOCK_STREAM;
    int protocol = 0;
    std::string text;  // "127.0.0.1:13666", "[::1]:13666"
};

// The addresses of `host` for `port` in the order to try them; false with `error` when there
// are none.
using Resolver = std::function<bool(const std::string& host, const std::string& port,
                                    std::vector<SocketAddress>* addresses, std::string* error)>;

// The system's resolver (getaddrinfo), for stream sockets.
bool ResolveStream(const std::string& host, const std::string& port,
                   std::vector<SocketAddress>* addresses, std::string* error);

// `address` (IPv4 or IPv6) with its text.
SocketAddress MakeSocketAddress(const sockaddr* address, socklen_t size, int protocol = 0);

class StreamSocket {
  public:
    // The time one address has to take the connection.
    static constexpr std::int64_t kAttemptMilliseconds = 2000;

    StreamSocket(std::string host, std::string port, Resolver resolve = ResolveStream);
    ~StreamSocket() { Close(); }
    StreamSocket(const StreamSocket&) = delete;
    StreamSocket& operator=(const StreamSocket&) = delete;

    std::string where() const { return host_ + ":" + port_; }
    int fd() const { return fd_; }
    bool connecting() const { return connecting_; }
    bool open() const { return fd_ >= 0 && !connecting_; }

    // Resolves the host and connects to its addresses in turn, from the first, until one is
    // connected (open()) or under way (connecting()). `now` is milliseconds of a monotonic clock.
    // False with `error` naming every address tried when none is left.
    bool Connect(std::int64_t now, std::string* error);
    // While connecting, when the socket became writable or the attempt's time is up: the
    // connection made, or the next address tried. False with `error` when none is left.
    bool Continue(std::int64_t now, bool writable, std::string* error);
    // When the address being tried runs out of time; only while connecting.
    std::int64_t AttemptDeadline() const { return deadline_; }
    // Closes the socket and drops what was not sent.
    void Close();

    void Queue(const std::string& data) { out_ += data; }
    bool HasOutput() const { return !out_.empty(); }
    // Sends what it can; false when the connection broke or the server reads nothing.
    bool Flush(std::string* error);
    // Appends what arrived to `data`; false when the connection ended.
    bool Read(std::string* data, std::string* error);

  private:
    static constexpr std::size_t kMaxQueued = 1 << 16;

    // Tries the addresses from the next one on; false with `error` when none is left.
    bool TryNext(std::int64_t now, std::string* error);
    // The attempt on the current address failed for `why`.
    void Failed(const std::string& why);
    void CloseSocket();

    std::string host_, port_;
    Resolver resolve_;
    std::vector<SocketAddress> addresses_;
    std::size_t next_ = 0;  // the address to try next
    std::string tried_;     // "ADDRESS: why; ..." of the attempts that failed
    std::int64_t deadline_ = 0;
    int fd_ = -1;
    bool connecting_ = false;
    std::string out_;
};

}  // namespace host
