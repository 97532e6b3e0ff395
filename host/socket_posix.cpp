#include "host/socket_posix.h"

#include <fcntl.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace host {

bool StreamSocket::Connect(std::string* error) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (const int rc = getaddrinfo(host_.c_str(), port_.c_str(), &hints, &found); rc != 0) {
        *error = gai_strerror(rc);
        return false;
    }
    fd_ = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    if (fd_ < 0) {
        *error = std::strerror(errno);
        freeaddrinfo(found);
        return false;
    }
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
    fcntl(fd_, F_SETFD, FD_CLOEXEC);
    const int rc = connect(fd_, found->ai_addr, found->ai_addrlen);
    freeaddrinfo(found);
    if (rc != 0 && errno != EINPROGRESS) {
        *error = std::strerror(errno);
        Close();
        return false;
    }
    connecting_ = rc != 0;
    return true;
}

bool StreamSocket::FinishConnect(std::string* error) {
    int code = 0;
    socklen_t size = sizeof code;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &code, &size) != 0) code = errno;
    if (code != 0) {
        *error = std::strerror(code);
        return false;
    }
    connecting_ = false;
    return true;
}

void StreamSocket::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    connecting_ = false;
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
