// A non-blocking stream socket to host:port, connected, fed and read inside a poll() loop, with
// a queue of what is still to be sent.
#pragma once

#include <string>

namespace host {

class StreamSocket {
  public:
    StreamSocket(std::string host, std::string port)
        : host_(std::move(host)), port_(std::move(port)) {}
    ~StreamSocket() { Close(); }
    StreamSocket(const StreamSocket&) = delete;
    StreamSocket& operator=(const StreamSocket&) = delete;

    std::string where() const { return host_ + ":" + port_; }
    int fd() const { return fd_; }
    bool connecting() const { return connecting_; }
    bool open() const { return fd_ >= 0 && !connecting_; }

    // Starts a connection (open() at once, or connecting() until the socket is writable);
    // false with `error` set when it fails at once.
    bool Connect(std::string* error);
    // After the socket became writable while connecting: whether the connection was made.
    bool FinishConnect(std::string* error);
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
    std::string host_, port_;
    int fd_ = -1;
    bool connecting_ = false;
    std::string out_;
};

}  // namespace host
