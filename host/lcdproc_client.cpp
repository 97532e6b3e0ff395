#include "host/lcdproc_client.h"

#include <algorithm>
#include <sstream>
#include <utility>

namespace host {

namespace {

constexpr const char* kScreen = "S";

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
    sent_.assign(static_cast<std::size_t>(height), std::string());
    std::string out = "client_set -name lcdhost\n";
    out += std::string("screen_add ") + kScreen + "\n";
    out += std::string("screen_set ") + kScreen + " -name lcdhost -heartbeat off\n";
    for (std::size_t row = 0; row < sent_.size(); ++row)
        out += std::string("widget_add ") + kScreen + " " + Widget(row) + " string\n";
    return out;
}

std::string LcdprocClient::Update(const std::vector<std::string>& rows) {
    if (!ready_) return "";
    std::string out;
    for (std::size_t row = 0; row < sent_.size() && row < rows.size(); ++row) {
        // A row never sent is sent even when blank, so the widget shows no stale text.
        if (rows[row] == sent_[row] && !sent_[row].empty()) continue;
        sent_[row] = rows[row];
        out += std::string("widget_set ") + kScreen + " " + Widget(row) + " 1 " +
               std::to_string(row + 1) + " " + QuoteText(rows[row]) + "\n";
    }
    return out;
}

std::vector<std::string> LcdprocClient::TakeErrors() {
    return std::exchange(errors_, {});
}

}  // namespace host
