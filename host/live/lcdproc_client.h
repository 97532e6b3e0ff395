// The client side of the LCDd text protocol, without the socket: what to send, and what the
// server's lines mean.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/config/screen_config.h"

namespace host {

// `text` inside braces as the protocol reads it: '}' and '\' escaped with a backslash.
std::string QuoteText(std::string_view text);

class LcdprocClient {
  public:
    // The screens to set up: none or one unnamed is one screen "S" named lcdhost; else a screen
    // "S1", "S2", ... for each, with its name, duration (in LCDd's eighths of a second) and
    // priority, which LCDd rotates itself. A screen with more lines than the display has rows
    // becomes pages, each an LCDd screen of its own with the screen's duration and priority:
    // "S1p1", "S1p2", ... named "NAME 1/2", "NAME 2/2", ... Once set up, the old screens are
    // deleted and the new ones set up; returns what to send for that.
    std::string SetScreens(std::vector<ScreenConfig> screens);
    // How rows wider than the display are shown: a marquee scroller of the whole text, or cut.
    void SetLongLines(LongLineSettings settings) { longLines_ = settings; }

    // Starts a new connection: forgets the previous one and returns the greeting.
    std::string Start();
    // Takes bytes received from the server; returns what to send in answer. Once the server's
    // `connect` line arrives, the display size is known and the screen is set up.
    std::string Receive(std::string_view bytes);
    // The panel rows (8-bit texts of at least `width` characters); returns the widget updates
    // for the rows that changed since last sent, a wider row as a scroller. Nothing before the
    // screen is set up, and nothing for a page LCDd hides.
    std::string Update(const std::vector<std::string>& rows) { return Update(0, 0, rows); }
    // The same for page `page` of the screen numbered `screen` (both from 0).
    std::string Update(std::size_t screen, const std::vector<std::string>& rows) {
        return Update(screen, 0, rows);
    }
    std::string Update(std::size_t screen, std::size_t page, const std::vector<std::string>& rows);
    std::size_t screens() const { return std::max<std::size_t>(screens_.size(), 1); }
    // The pages of a screen on the display, once set up.
    std::size_t pages(std::size_t screen) const;

    // Whether LCDd shows a page: every page until LCDd's first `listen` or `ignore` for one of
    // them, then those it listens to.
    bool noticed() const { return noticed_; }
    bool shown(std::size_t screen, std::size_t page) const;
    // Whether what pages are shown may have changed since the last call.
    bool TakeShownChanged() { return std::exchange(shownChanged_, false); }

    bool ready() const { return ready_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The server's error answers ("huh? ...") since the last call.
    std::vector<std::string> TakeErrors();

  private:
    struct Page {
        std::size_t screen = 0, page = 0;
        std::string id;
        std::vector<std::string> sent;  // of each row
        std::vector<bool> scrolls;      // of each row: a scroller widget, not a string
        bool listened = false;
    };

    std::string HandleLine(std::string_view line);
    void Notice(std::string_view id, bool listen);
    // The index of a page in pages_; pages_.size() when there is none.
    std::size_t PageIndex(std::size_t screen, std::size_t page) const;
    std::string AddPage(std::size_t screen, std::size_t page, std::size_t count);
    // No screens, or one without a name: the one screen "S" named lcdhost, as a panel of LINEs
    // on the command line has always been set up.
    bool OneUnnamedScreen() const;
    std::string ScreenId(std::size_t screen) const;
    std::string SetUp();

    std::string pending_;  // an incomplete line
    bool ready_ = false;
    int width_ = 0;
    int height_ = 0;
    std::vector<ScreenConfig> screens_;
    LongLineSettings longLines_;
    std::vector<Page> pages_;  // once set up
    bool noticed_ = false;
    bool shownChanged_ = false;
    std::vector<std::string> errors_;
};

}  // namespace host
