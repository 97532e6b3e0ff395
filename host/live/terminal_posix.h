// The terminal of the live panel: keys without echo or line buffering, no cursor, and the panel
// in a frame that is redrawn in place, row by row. The terminal's settings come back when the
// object goes.
#pragma once

#include <termios.h>

#include <string>
#include <string_view>
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

    // The next Draw draws the whole frame again, below whatever was written since.
    void Forget() { drawn_.clear(); }

    enum class Keys { kNone, kQuit, kEnded, kNext, kPrevious };
    // Reads the keys typed on standard input: kQuit for q, Q or Ctrl-C, kNext and kPrevious for
    // the right and left arrows or n and p, kEnded when the input is gone and need not be
    // watched any more. Of several keys read at once, the quit wins, then the last switch.
    static Keys ReadKeys();
    // What the bytes typed mean, as ReadKeys.
    static Keys ParseKeys(std::string_view bytes);

  private:
    int width_;
    termios saved_{};
    bool restore_ = false;
    std::vector<std::string> drawn_;
};

}  // namespace host
