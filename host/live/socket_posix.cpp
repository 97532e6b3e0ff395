#include "host/live/socket_posix.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "com/owners.h"
#include "host/live/descriptors_posix.h"

namespace host {

SocketAddress MakeSocketAddress(const sockaddr* address, socklen_t size, int protocol) {
    SocketAddress out;
    std::memcpy(&out.address, address, std::min<std::size_t>(size, sizeof out.address));
    out.size = size;
    out.family = address->sa_family;
    out.protocol = protocol;
    char text[INET6_ADDRSTRLEN] = "?";
    if (out.family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&out.address);
        inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        out.text = std::string(text) + ":" + std::to_string(ntohs(v4->sin_port));
    } else if (out.family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&out.address);
        inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        out.text = "[" + std::string(text) + "]:" + std::to_string(ntohs(v6->sin6_port));
    }
    return out;
}

bool ResolveStream(const std::string& host, const std::string& port,
                   std::vector<SocketAddress>* addresses, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    com::Unique<addrinfo*, freeaddrinfo> found;
    if (const int rc = getaddrinfo(host.c_str(), port.c_str(), &hints, found.Out()); rc != 0) {
        *error = gai_strerror(rc);
        return false;
    }
    addresses->clear();
    for (const addrinfo* a = found.Get(); a != nullptr; a = a->ai_next)
        addresses->push_back(MakeSocketAddress(a->ai_addr, a->ai_addrlen, a->ai_protocol));
    return true;
}

StreamSocket::StreamSocket(std::string host, std::string port, Resolver resolve)
    : host_(std::move(host)), port_(std::move(port)), resolve_(std::move(resolve)) {}

bool StreamSocket::Connect(std::int64_t now, std::string* error) {
    Close();
    addresses_.clear();
    next_ = 0;
    tried_.clear();
    if (!resolve_(host_, port_, &addresses_, error)) return false;
    return TryNext(now, error);
}

bool StreamSocket::TryNext(std::int64_t now, std::string* error) {
    while (next_ < addresses_.size()) {
        const SocketAddress& a = addresses_[next_++];
        std::string why;
        fd_ = socket(a.family, a.type, a.protocol);
        if (fd_ < 0) {
            Failed(std::strerror(errno));
            continue;
        }
        if (!MakeNonBlocking(fd_, &why)) {
            Failed(why);
            continue;
        }
        if (connect(fd_, reinterpret_cast<const sockaddr*>(&a.address), a.size) == 0) return true;
        if (errno == EINPROGRESS) {
            connecting_ = true;
            deadline_ = now + kAttemptMilliseconds;
            return true;
        }
        Failed(std::strerror(errno));
    }
    *error = tried_.empty() ? "no address" : tried_;
    return false;
}

bool StreamSocket::Continue(std::int64_t now, bool writable, std::string* error) {
    if (!connecting_) return fd_ >= 0;
    if (writable) {
        int code = 0;
        socklen_t size = sizeof code;
        if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &code, &size) != 0) code = errno;
        if (code == 0) {
            connecting_ = false;
            return true;
        }
        Failed(std::strerror(code));
    } else if (now >= deadline_) {
        Failed("no connection within " + std::to_string(kAttemptMilliseconds / 1000) + " s");
    } else {
        return true;
    }
    return TryNext(now, error);
}

void StreamSocket::Failed(const std::string& why) {
    const SocketAddress& a = addresses_[next_ - 1];
    tried_ += (tried_.empty() ? "" : "; ") + a.text + ": " + why;
    CloseSocket();
}

void StreamSocket::CloseSocket() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    connecting_ = false;
}

void StreamSocket::Close() {
    CloseSocket();
    out_.clear();
}

bool StreamSocket::Flush(std::string* error) {
    while (!out_.empty()) {
        const ssize_t n = send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (n <= 0) {
            *error = std::strerror(errno);
            return false;
        }
        out_.erase(0, static_cast<std::size_t>(n));
    }
    if (out_.size() > kMaxQueued) {
        *error = "the server reads nothing";
        return false;
    }
    return true;
}

bool StreamSocket::Read(std::string* data, std::string* error) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
        if (n > 0) {
            data->append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
        *error = n == 0 ? "connection closed" : std::strerror(errno);
        return false;
    }
}

}  // namespace host
