// The client side of the LCDd text protocol, without the socket: what to send, and what the
// server's lines mean.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host {

// `text` inside braces as the protocol reads it: '}' and '\' escaped with a backslash.
std::string QuoteText(std::string_view text);

class LcdprocClient {
  public:
    // Starts a new connection: forgets the previous one and returns the greeting.
    std::string Start();
    // Takes bytes received from the server; returns what to send in answer. Once the server's
    // `connect` line arrives, the display size is known and the screen is set up.
    std::string Receive(std::string_view bytes);
    // The panel rows (8-bit texts of `width` characters); returns the widget updates for the
    // rows that changed since last sent. Nothing before the screen is set up.
    std::string Update(const std::vector<std::string>& rows);

    bool ready() const { return ready_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The server's error answers ("huh? ...") since the last call.
    std::vector<std::string> TakeErrors();

  private:
    std::string HandleLine(std::string_view line);

    std::string pending_;  // an incomplete line
    bool ready_ = false;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::string> sent_;
    std::vector<std::string> errors_;
};

}  // namespace host
