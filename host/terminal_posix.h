// The terminal of the live panel: keys without echo or line buffering, no cursor, and the panel
// in a frame that is redrawn in place, row by row. The terminal's settings come back when the
// object goes.
#pragma once

#include <termios.h>

#include <string>
#include <vector>

namespace host {

class TerminalScreen {
  public:
    explicit TerminalScreen(int width);
    ~TerminalScreen();
    TerminalScreen(const TerminalScreen&) = delete;
    TerminalScreen& operator=(const TerminalScreen&) = delete;

    // Draws the frame and the status line below it (a hint when empty); after the first
    // drawing only the rows that changed.
    void Draw(const std::vector<std::u16string>& frame, const std::string& status);

    enum class Keys { kNone, kQuit, kEnded };
    // Reads the keys typed on standard input: kQuit for q, Q or Ctrl-C, kEnded when the input
    // is gone and need not be watched any more.
    static Keys ReadKeys();

  private:
    int width_;
    termios saved_{};
    bool restore_ = false;
    std::vector<std::string> drawn_;
};

}  // namespace host
