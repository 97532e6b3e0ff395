// The client side of the LCDd text protocol, without the socket: what to send, and what the
// server's lines mean.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "host/config/screen_config.h"

namespace host {

// `text` inside braces as the protocol reads it: '}' and '\' escaped with a backslash.
std::string QuoteText(std::string_view text);

class LcdprocClient {
  public:
    // The screens to set up: none or one unnamed is one screen "S" named lcdhost; else a screen
    // "S1", "S2", ... for each, with its name, duration (in LCDd's eighths of a second) and
    // priority, which LCDd rotates itself. Their lines are not used. Once set up, the old
    // screens are deleted and the new ones set up; returns what to send for that.
    std::string SetScreens(std::vector<ScreenConfig> screens);

    // Starts a new connection: forgets the previous one and returns the greeting.
    std::string Start();
    // Takes bytes received from the server; returns what to send in answer. Once the server's
    // `connect` line arrives, the display size is known and the screen is set up.
    std::string Receive(std::string_view bytes);
    // The panel rows (8-bit texts of `width` characters); returns the widget updates for the
    // rows that changed since last sent. Nothing before the screen is set up.
    std::string Update(const std::vector<std::string>& rows) { return Update(0, rows); }
    // The same for the screen numbered `screen` (from 0).
    std::string Update(std::size_t screen, const std::vector<std::string>& rows);
    std::size_t screens() const { return std::max<std::size_t>(screens_.size(), 1); }

    bool ready() const { return ready_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The server's error answers ("huh? ...") since the last call.
    std::vector<std::string> TakeErrors();

  private:
    std::string HandleLine(std::string_view line);
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
    std::vector<std::vector<std::string>> sent_;  // of each screen
    std::vector<std::string> errors_;
};

}  // namespace host
