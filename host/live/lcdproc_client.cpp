#include "host/live/lcdproc_client.h"

#include <algorithm>
#include <sstream>
#include <utility>

namespace host {

namespace {

std::string Widget(std::size_t row) {
    return "L" + std::to_string(row + 1);
}

}  // namespace

std::string QuoteText(std::string_view text) {
    std::string out = "{";
    for (char c : text) {
        if (c == '}' || c == '\\') out += '\\';
        out += c;
    }
    out += '}';
    return out;
}

std::string LcdprocClient::Start() {
    pending_.clear();
    ready_ = false;
    width_ = height_ = 0;
    sent_.clear();
    return "hello\n";
}

std::string LcdprocClient::Receive(std::string_view bytes) {
    pending_.append(bytes);
    std::string reply;
    std::size_t start = 0;
    for (std::size_t end; (end = pending_.find('\n', start)) != std::string::npos;
         start = end + 1) {
        std::string_view line(pending_.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        reply += HandleLine(line);
    }
    pending_.erase(0, start);
    return reply;
}

std::string LcdprocClient::HandleLine(std::string_view line) {
    std::istringstream words{std::string(line)};
    std::string first;
    words >> first;
    if (first == "huh?") {
        std::string rest(line.substr(std::min(line.size(), std::size_t{5})));
        errors_.push_back("LCDd answered: huh? " + rest);
        return "";
    }
    if (first != "connect" || ready_) return "";  // success, listen, ignore and the like
    int width = 0, height = 0;
    for (std::string word; words >> word;) {
        if (word == "wid") words >> width;
        if (word == "hgt") words >> height;
    }
    if (width <= 0 || height <= 0) {
        errors_.push_back("LCDd gave no display size: " + std::string(line));
        return "";
    }
    width_ = width;
    height_ = height;
    ready_ = true;
    return "client_set -name lcdhost\n" + SetUp();
}

bool LcdprocClient::OneUnnamedScreen() const {
    return screens_.empty() || (screens_.size() == 1 && screens_[0].name.empty());
}

std::string LcdprocClient::ScreenId(std::size_t screen) const {
    return OneUnnamedScreen() ? "S" : "S" + std::to_string(screen + 1);
}

std::string LcdprocClient::SetUp() {
    sent_.assign(screens(), std::vector<std::string>(static_cast<std::size_t>(height_)));
    std::string out;
    for (std::size_t k = 0; k < screens(); ++k) {
        const std::string id = ScreenId(k);
        out += "screen_add " + id + "\n";
        if (OneUnnamedScreen()) {
            out += "screen_set " + id + " -name lcdhost -heartbeat off\n";
        } else {
            const ScreenConfig& screen = screens_[k];
            const std::string name = screen.name.empty() ? id : screen.name;
            out += "screen_set " + id + " -name " + QuoteText(name) + " -duration " +
                   std::to_string(std::max(screen.duration, 1) * 8) + " -priority " +
                   std::string(PriorityWord(screen.priority)) + " -heartbeat off\n";
        }
        for (std::size_t row = 0; row < sent_[k].size(); ++row)
            out += "widget_add " + id + " " + Widget(row) + " string\n";
    }
    return out;
}

std::string LcdprocClient::SetScreens(std::vector<ScreenConfig> screens) {
    for (ScreenConfig& screen : screens) screen.lines.clear();
    std::string out;
    if (ready_)
        for (std::size_t k = 0; k < this->screens(); ++k) out += "screen_del " + ScreenId(k) + "\n";
    screens_ = std::move(screens);
    if (ready_) out += SetUp();
    return out;
}

std::string LcdprocClient::Update(std::size_t screen, const std::vector<std::string>& rows) {
    if (!ready_ || screen >= sent_.size()) return "";
    const std::string id = ScreenId(screen);
    auto& sent = sent_[screen];
    std::string out;
    for (std::size_t row = 0; row < sent.size() && row < rows.size(); ++row) {
        // A row never sent is sent even when blank, so the widget shows no stale text.
        if (rows[row] == sent[row] && !sent[row].empty()) continue;
        sent[row] = rows[row];
        out += "widget_set " + id + " " + Widget(row) + " 1 " + std::to_string(row + 1) + " " +
               QuoteText(rows[row]) + "\n";
    }
    return out;
}

std::vector<std::string> LcdprocClient::TakeErrors() {
    return std::exchange(errors_, {});
}

}  // namespace host
