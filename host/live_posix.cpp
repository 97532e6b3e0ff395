// The live panel on POSIX systems: one poll() loop over a signal pipe, the terminal and the
// LCDd socket; timeouts come from the panel's poll schedule on the monotonic clock.
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "com/text.h"
#include "host/lcdproc_client.h"
#include "host/live.h"

namespace host {

namespace {

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int TimeoutUntil(std::int64_t when, std::int64_t now) {
    if (when <= now) return 0;
    return static_cast<int>(std::min<std::int64_t>(when - now, 60'000));
}

// SIGINT, SIGTERM and SIGHUP become a byte in a pipe that the loop watches.
int g_signalWrite = -1;

extern "C" void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto n = write(g_signalWrite, &byte, 1);
    errno = saved;
}

class SignalPipe {
  public:
    SignalPipe() {
        if (pipe(fds_) != 0) return;
        for (int fd : fds_) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
        g_signalWrite = fds_[1];
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        for (std::size_t k = 0; k < std::size(kSignals); ++k)
            sigaction(kSignals[k], &action, &saved_[k]);
    }
    ~SignalPipe() {
        for (std::size_t k = 0; k < std::size(kSignals); ++k)
            sigaction(kSignals[k], &saved_[k], nullptr);
        g_signalWrite = -1;
        for (int fd : fds_)
            if (fd >= 0) close(fd);
    }
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;
    int fd() const { return fds_[0]; }

  private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    int fds_[2] = {-1, -1};
    struct sigaction saved_[3]{};
};

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, 100);
            continue;
        }
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The terminal: keys without echo or line buffering, no cursor, and the panel in a frame that
// is redrawn in place, row by row.
class TerminalScreen {
  public:
    explicit TerminalScreen(int width) : width_(width) {
        if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved_) == 0) {
            termios raw = saved_;
            raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
            raw.c_cc[VMIN] = 0;
            raw.c_cc[VTIME] = 0;
            restore_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
        }
        WriteAll(STDOUT_FILENO, "\x1b[?25l");
    }
    ~TerminalScreen() {
        WriteAll(STDOUT_FILENO, "\x1b[?25h");
        if (restore_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
    }
    TerminalScreen(const TerminalScreen&) = delete;
    TerminalScreen& operator=(const TerminalScreen&) = delete;

    void Draw(const std::vector<std::u16string>& frame, const std::string& status) {
        const std::string edge = "+" + std::string(static_cast<std::size_t>(width_), '-') + "+";
        std::vector<std::string> rows{edge};
        for (const std::u16string& row : frame) rows.push_back("|" + com::ToUtf8(row) + "|");
        rows.push_back(edge);
        rows.push_back(status.empty() ? "q quits" : status);

        std::string out;
        if (drawn_.empty()) {
            for (const std::string& row : rows) out += row + "\n";
        } else {
            const std::size_t n = drawn_.size();
            for (std::size_t i = 0; i < n && i < rows.size(); ++i) {
                if (rows[i] == drawn_[i]) continue;
                const std::string up = std::to_string(n - i);
                out += "\x1b[" + up + "A\r" + rows[i] + "\x1b[K\r\x1b[" + up + "B";
            }
        }
        drawn_ = std::move(rows);
        WriteAll(STDOUT_FILENO, out);
    }

  private:
    int width_;
    termios saved_{};
    bool restore_ = false;
    std::vector<std::string> drawn_;
};

// The connection to LCDd: a non-blocking socket that is connected, fed and read inside the loop.
class LcdprocLink {
  public:
    LcdprocLink(std::string host, std::string port)
        : host_(std::move(host)), port_(std::move(port)) {}
    ~LcdprocLink() { Close(); }
    LcdprocLink(const LcdprocLink&) = delete;
    LcdprocLink& operator=(const LcdprocLink&) = delete;

    std::string where() const { return host_ + ":" + port_; }
    int fd() const { return fd_; }
    bool connecting() const { return connecting_; }
    bool open() const { return fd_ >= 0 && !connecting_; }

    // Starts a connection; false with `error` set when it fails at once.
    bool Connect(std::int64_t now, std::string* error) {
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
        deadline_ = now + kAnswerMilliseconds;
        return true;
    }

    // After POLLOUT while connecting: whether the connection was made.
    bool FinishConnect(std::string* error) {
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

    void Close() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
        connecting_ = false;
        out_.clear();
    }

    void Queue(const std::string& data) { out_ += data; }
    bool HasOutput() const { return !out_.empty(); }

    // Sends what it can; false when the connection broke.
    bool Flush(std::string* error) {
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

    // Reads what arrived; false when the connection ended.
    bool Read(std::string* data, std::string* error) {
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

    // When an unanswered connection or greeting counts as failed.
    std::int64_t deadline() const { return deadline_; }

    static constexpr std::int64_t kAnswerMilliseconds = 5000;

  private:
    static constexpr std::size_t kMaxQueued = 1 << 16;
    std::string host_, port_;
    int fd_ = -1;
    bool connecting_ = false;
    std::int64_t deadline_ = 0;
    std::string out_;
};

}  // namespace

int RunTerminalPanel(Panel& panel, int width, int height, std::ostream& err) {
    SignalPipe signals;
    if (signals.fd() < 0) {
        err << "lcdhost: cannot watch for signals: " << std::strerror(errno) << '\n';
        return 1;
    }
    TerminalScreen screen(width);
    bool watchKeys = true;
    bool first = true;
    for (;;) {
        const std::int64_t now = Now();
        if (panel.Tick(now) || first) screen.Draw(panel.Frame(width, height), panel.status());
        first = false;

        pollfd fds[2] = {{signals.fd(), POLLIN, 0}, {watchKeys ? STDIN_FILENO : -1, POLLIN, 0}};
        const int ready = poll(fds, 2, TimeoutUntil(panel.NextWakeup(), Now()));
        if (ready < 0 && errno != EINTR) {
            err << "lcdhost: poll failed: " << std::strerror(errno) << '\n';
            return 1;
        }
        if (ready <= 0) continue;
        if (fds[0].revents != 0) return 0;
        if (fds[1].revents != 0) {
            char keys[64];
            const ssize_t n = read(STDIN_FILENO, keys, sizeof keys);
            if (n <= 0) {
                if (n == 0 || (errno != EINTR && errno != EAGAIN)) watchKeys = false;
                continue;
            }
            for (ssize_t k = 0; k < n; ++k)
                if (keys[k] == 'q' || keys[k] == 'Q' || keys[k] == 3) return 0;
        }
    }
}

int RunLcdprocPanel(Panel& panel, const std::string& host, const std::string& port,
                    std::ostream& err) {
    SignalPipe signals;
    if (signals.fd() < 0) {
        err << "lcdhost: cannot watch for signals: " << std::strerror(errno) << '\n';
        return 1;
    }
    LcdprocLink link(host, port);
    LcdprocClient client;
    std::string error;
    bool everReady = false;      // a server answered once: from then on, losing it is not fatal
    bool lost = false;           // reconnecting
    std::int64_t backoff = 500;  // doubles up to kMaxBackoff while the server stays away
    constexpr std::int64_t kMaxBackoff = 10'000;
    std::int64_t retryAt = 0;
    std::string lastStatus;

    auto log = [&](const std::string& line) { err << "lcdhost: " << line << std::endl; };
    auto drop = [&](const std::string& why, std::int64_t now) {
        link.Close();
        if (!lost) log("lost LCDd at " + link.where() + " (" + why + "); reconnecting");
        lost = true;
        retryAt = now + backoff;
        backoff = std::min(backoff * 2, kMaxBackoff);
    };

    if (!link.Connect(Now(), &error)) {
        log("cannot reach LCDd at " + link.where() + ": " + error);
        return 1;
    }
    if (link.open()) link.Queue(client.Start());

    for (;;) {
        std::int64_t now = Now();
        const bool changed = panel.Tick(now);
        if (panel.status() != lastStatus) {
            lastStatus = panel.status();
            if (!lastStatus.empty()) log(lastStatus);
        }
        if (link.open() && client.ready() && changed) {
            std::vector<std::string> rows;
            for (const auto& row : panel.Frame(client.width(), client.height()))
                rows.push_back(ToLatin1(row));
            link.Queue(client.Update(rows));
        }
        if (link.open() && link.HasOutput() && !link.Flush(&error)) {
            if (!everReady) return log("cannot talk to LCDd at " + link.where() + ": " + error), 1;
            drop(error, now);
        }

        std::int64_t wake = panel.NextWakeup();
        if (link.fd() < 0)
            wake = std::min(wake, retryAt);
        else if (link.connecting() || !client.ready())
            wake = std::min(wake, link.deadline());
        short events = 0;
        if (link.connecting())
            events = POLLOUT;
        else if (link.open())
            events = static_cast<short>(POLLIN | (link.HasOutput() ? POLLOUT : 0));
        pollfd fds[2] = {{signals.fd(), POLLIN, 0}, {link.fd(), events, 0}};
        const int ready = poll(fds, 2, TimeoutUntil(wake, Now()));
        if (ready < 0 && errno != EINTR) {
            log(std::string("poll failed: ") + std::strerror(errno));
            return 1;
        }
        now = Now();
        if (ready > 0 && fds[0].revents != 0) return 0;

        if (link.fd() < 0) {
            if (now < retryAt) continue;
            if (!link.Connect(now, &error)) {
                retryAt = now + backoff;
                backoff = std::min(backoff * 2, kMaxBackoff);
                continue;
            }
            if (link.open()) link.Queue(client.Start());
            continue;
        }
        const short revents = ready > 0 ? fds[1].revents : 0;
        if (link.connecting()) {
            if (revents != 0) {
                if (link.FinishConnect(&error)) {
                    link.Queue(client.Start());
                    continue;
                }
            } else if (now < link.deadline()) {
                continue;
            } else {
                error = "no connection within 5 s";
            }
            if (!everReady) return log("cannot reach LCDd at " + link.where() + ": " + error), 1;
            drop(error, now);
            continue;
        }
        if (revents & (POLLIN | POLLHUP | POLLERR)) {
            std::string data;
            const bool alive = link.Read(&data, &error);
            const bool wasReady = client.ready();
            link.Queue(client.Receive(data));
            for (const std::string& e : client.TakeErrors()) log(e);
            if (!wasReady && client.ready()) {
                if (lost) log("reconnected to LCDd at " + link.where());
                everReady = true;
                lost = false;
                backoff = 500;
                std::vector<std::string> rows;
                for (const auto& row : panel.Frame(client.width(), client.height()))
                    rows.push_back(ToLatin1(row));
                link.Queue(client.Update(rows));
            }
            if (!alive) {
                if (!everReady)
                    return log("cannot talk to LCDd at " + link.where() + ": " + error), 1;
                drop(error, now);
                continue;
            }
        }
        if (!client.ready() && now >= link.deadline()) {
            error = "no answer to hello within 5 s";
            if (!everReady) return log("cannot talk to LCDd at " + link.where() + ": " + error), 1;
            drop(error, now);
        }
    }
}

}  // namespace host
