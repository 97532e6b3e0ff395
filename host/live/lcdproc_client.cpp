#include "host/live/lcdproc_client.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include "host/panel/layout.h"

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
    pages_.clear();
    noticed_ = false;
    shownChanged_ = true;
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
    if (first == "listen" || first == "ignore") {
        std::string id;
        words >> id;
        Notice(id, first == "listen");
        return "";
    }
    if (first != "connect" || ready_) return "";  // success and the like
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

void LcdprocClient::Notice(std::string_view id, bool listen) {
    for (Page& page : pages_) {
        if (page.id != id) continue;
        // The first notice: from now on only the pages LCDd listens to count as shown.
        if (!noticed_)
            for (Page& other : pages_) other.listened = false;
        noticed_ = true;
        page.listened = listen;
        shownChanged_ = true;
    }
}

bool LcdprocClient::OneUnnamedScreen() const {
    return screens_.empty() || (screens_.size() == 1 && screens_[0].name.empty());
}

std::string LcdprocClient::ScreenId(std::size_t screen) const {
    return OneUnnamedScreen() ? "S" : "S" + std::to_string(screen + 1);
}

std::size_t LcdprocClient::pages(std::size_t screen) const {
    std::size_t count = 0;
    for (const Page& page : pages_) count += page.screen == screen ? 1 : 0;
    return count;
}

bool LcdprocClient::shown(std::size_t screen, std::size_t page) const {
    const std::size_t k = PageIndex(screen, page);
    return k < pages_.size() && (!noticed_ || pages_[k].listened);
}

std::size_t LcdprocClient::PageIndex(std::size_t screen, std::size_t page) const {
    std::size_t k = 0;
    while (k < pages_.size() && (pages_[k].screen != screen || pages_[k].page != page)) ++k;
    return k;
}

std::string LcdprocClient::AddPage(std::size_t screen, std::size_t page, std::size_t count) {
    const std::string base = ScreenId(screen);
    const std::string id = count == 1 ? base : base + "p" + std::to_string(page + 1);
    const auto rows = static_cast<std::size_t>(height_);
    pages_.push_back({screen, page, id, std::vector<std::string>(rows), std::vector<bool>(rows)});
    std::string out = "screen_add " + id + "\n";
    if (OneUnnamedScreen() && count == 1) {
        out += "screen_set " + id + " -name lcdhost -heartbeat off\n";
    } else {
        const ScreenConfig fallback;
        const ScreenConfig& config = screen < screens_.size() ? screens_[screen] : fallback;
        std::string name =
            config.name.empty() ? (OneUnnamedScreen() ? "lcdhost" : base) : config.name;
        if (count > 1) name += " " + std::to_string(page + 1) + "/" + std::to_string(count);
        out += "screen_set " + id + " -name " + QuoteText(name) + " -duration " +
               std::to_string(std::max(config.duration, 1) * 8) + " -priority " +
               std::string(PriorityWord(config.priority)) + " -heartbeat off\n";
    }
    for (std::size_t row = 0; row < rows; ++row)
        out += "widget_add " + id + " " + Widget(row) + " string\n";
    return out;
}

std::string LcdprocClient::SetUp() {
    pages_.clear();
    noticed_ = false;
    shownChanged_ = true;
    std::string out;
    for (std::size_t k = 0; k < screens(); ++k) {
        const std::size_t lines = k < screens_.size() ? screens_[k].lines.size() : 0;
        const std::size_t count = PageCount(lines, height_);
        for (std::size_t page = 0; page < count; ++page) out += AddPage(k, page, count);
    }
    return out;
}

std::string LcdprocClient::SetScreens(std::vector<ScreenConfig> screens) {
    std::string out;
    if (ready_)
        for (const Page& page : pages_) out += "screen_del " + page.id + "\n";
    screens_ = std::move(screens);
    if (ready_) out += SetUp();
    return out;
}

std::string LcdprocClient::Update(std::size_t screen, std::size_t page,
                                  const std::vector<std::string>& rows) {
    if (!ready_ || !shown(screen, page)) return "";
    Page* p = &pages_[PageIndex(screen, page)];
    const auto width = static_cast<std::size_t>(width_);
    const bool scroll = longLines_.mode == LongLines::kScroll;
    std::string out;
    for (std::size_t row = 0; row < p->sent.size() && row < rows.size(); ++row) {
        const bool scrolls = scroll && rows[row].size() > width;
        const std::string text = scrolls ? rows[row] : rows[row].substr(0, width);
        // A row never sent is sent even when blank, so the widget shows no stale text.
        if (text == p->sent[row] && !p->sent[row].empty() && scrolls == p->scrolls[row]) continue;
        const std::string widget = p->id + " " + Widget(row);
        if (scrolls != p->scrolls[row])
            out += "widget_del " + widget + "\nwidget_add " + widget +
                   (scrolls ? " scroller\n" : " string\n");
        p->sent[row] = text;
        p->scrolls[row] = scrolls;
        const std::string y = std::to_string(row + 1);
        if (scrolls)
            out += "widget_set " + widget + " 1 " + y + " " + std::to_string(width) + " " + y +
                   " m " + std::to_string(ScrollStepEighths(longLines_.speed)) + " " +
                   QuoteText(text) + "\n";
        else
            out += "widget_set " + widget + " 1 " + y + " " + QuoteText(text) + "\n";
    }
    return out;
}

std::vector<std::string> LcdprocClient::TakeErrors() {
    return std::exchange(errors_, {});
}

}  // namespace host
