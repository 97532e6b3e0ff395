#include "host/live/terminal_posix.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "com/text.h"

namespace host {

namespace {

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

}  // namespace

TerminalScreen::TerminalScreen(int width) : width_(width) {
    if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved_) == 0) {
        termios raw = saved_;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        restore_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
    }
    WriteAll(STDOUT_FILENO, "\x1b[?25l");
}

TerminalScreen::~TerminalScreen() {
    WriteAll(STDOUT_FILENO, "\x1b[?25h");
    if (restore_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
}

void TerminalScreen::Draw(const std::vector<std::u16string>& frame, const std::string& status) {
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

TerminalScreen::Keys TerminalScreen::ReadKeys() {
    char keys[64];
    const ssize_t n = read(STDIN_FILENO, keys, sizeof keys);
    if (n <= 0) return n == 0 || (errno != EINTR && errno != EAGAIN) ? Keys::kEnded : Keys::kNone;
    return ParseKeys(std::string_view(keys, static_cast<std::size_t>(n)));
}

TerminalScreen::Keys TerminalScreen::ParseKeys(std::string_view bytes) {
    Keys keys = Keys::kNone;
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        const char c = bytes[k];
        if (c == 'q' || c == 'Q' || c == 3) return Keys::kQuit;
        if (c == 'n' || c == 'N') keys = Keys::kNext;
        if (c == 'p' || c == 'P') keys = Keys::kPrevious;
        // The arrows: ESC [ C and ESC [ D (ESC O C and ESC O D in application mode).
        if (c == '\x1b' && k + 2 < bytes.size() && (bytes[k + 1] == '[' || bytes[k + 1] == 'O')) {
            if (bytes[k + 2] == 'C') keys = Keys::kNext;
            if (bytes[k + 2] == 'D') keys = Keys::kPrevious;
            k += 2;
        }
    }
    return keys;
}

}  // namespace host
