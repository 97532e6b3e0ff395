// The panel: line templates, their items, the poll schedule of each plug-in and the layout of
// the texts on a character display of W x H cells.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/host_interfaces.h"
#include "host/catalog.h"
#include "host/provider.h"
#include "host/screen_config.h"

namespace host {

// One piece of a line template: literal text, or a reference to an item, written
// {Plugin:index} or {Plugin\path\label} (the item's DisplayName).
struct TemplatePiece {
    bool isItem = false;
    std::u16string literal;     // literal text (isItem false)
    std::string plugin;         // the plug-in as written
    std::optional<LONG> index;  // {Plugin:index}
    std::u16string path;        // {Plugin\path\label}: everything between the braces
};

// Parses a line template; a brace that stands for itself is doubled ("{{", "}}"). On failure
// returns false and sets `error` to one line.
bool ParseTemplate(std::string_view text, std::vector<TemplatePiece>* pieces, std::string* error);

// Lays out line texts on a panel of `width` x `height` cells: a line feed in a text continues it
// on the next row (a dual-line value takes two rows, the next text goes below), other control
// characters show as blanks, every row is cut or padded with blanks to `width`, rows beyond
// `height` are dropped and missing rows are blank.
std::vector<std::u16string> LayOut(const std::vector<std::u16string>& texts, int width, int height);

// The layout shown when no templates are given: processor name, clock and SSE2, date, uptime.
const std::vector<std::string>& DefaultTemplates();

// A text for an 8-bit display: characters above 255 as '?'.
std::string ToLatin1(std::u16string_view text);

// How long a failure stays in the status line.
inline constexpr std::int64_t kStatusMilliseconds = 5000;

// The panel: one or more screens of line templates, sharing one provider per plug-in.
class Panel {
  public:
    // Resolves every item of `templates` through `catalog`, reading each plug-in's item list
    // (Count, then Name and DisplayName of each index) and its PollFreqency and PollMethod.
    // On failure returns null and sets `error` to one line.
    static std::unique_ptr<Panel> Create(PluginCatalog& catalog,
                                         const std::vector<std::string>& templates,
                                         std::string* error);
    // The same for several screens. The plug-ins `previous` already uses are taken over with
    // their item lists and poll schedule instead of being read again.
    static std::unique_ptr<Panel> Create(PluginCatalog& catalog,
                                         const std::vector<ScreenConfig>& screens,
                                         std::string* error, const Panel* previous = nullptr);

    std::size_t screens() const { return screens_.size(); }
    const ScreenConfig& screen(std::size_t k) const { return screens_[k]; }
    // Which screens need their values: only `screen`, or every screen (none given, the start).
    // The values of a screen that becomes needed are read at the next Tick.
    void Show(std::optional<std::size_t> screen);

    // Polls every plug-in whose time has come at `now` (milliseconds of a monotonic clock),
    // then reads the Value of each of its items on the screens shown, and the values of items
    // shown but not read since their plug-in's last poll. Returns true when a text or the
    // status line changed.
    bool Tick(std::int64_t now);
    // When Tick has work next: at once for values not read yet, else the earliest poll due or
    // the end of the status message.
    std::int64_t NextWakeup() const;

    // The texts of the templates of a screen with the current values.
    std::vector<std::u16string> Texts(std::size_t screen = 0) const;
    std::vector<std::u16string> Frame(int width, int height) const {
        return LayOut(Texts(), width, height);
    }
    std::vector<std::u16string> Frame(std::size_t screen, int width, int height) const {
        return LayOut(Texts(screen), width, height);
    }
    // The latest failure, shown for kStatusMilliseconds; empty when there is none.
    const std::string& status() const { return status_; }
    // The failures of the last Tick.
    const std::vector<std::string>& failures() const { return failures_; }

    // The plug-ins polled, in the order of their first reference, with their periods.
    struct Schedule {
        std::string plugin;
        std::int64_t period;
    };
    std::vector<Schedule> schedule() const;

  private:
    struct Source {
        Provider provider;  // with its item list
        std::int64_t period = 1000;
        std::optional<std::int64_t> due;  // none before the first poll
    };
    struct Slot {
        std::size_t source;
        LONG index;
        std::u16string text;
        std::vector<std::size_t> screens;  // the screens it is on
        bool read = false;                 // since its plug-in's last poll
    };
    struct Piece {
        std::u16string literal;
        std::optional<std::size_t> slot;
    };

    Panel() = default;
    bool Resolve(PluginCatalog& catalog, const TemplatePiece& piece, const Panel* previous,
                 std::size_t* slot, std::string* error);
    void Fail(std::int64_t now, std::string message);
    bool Shown(const Slot& slot) const;
    bool Read(Slot& slot, std::int64_t now);

    std::vector<Source> sources_;
    std::vector<Slot> slots_;
    std::vector<ScreenConfig> screens_;                   // without their lines
    std::vector<std::vector<std::vector<Piece>>> lines_;  // of each screen
    std::optional<std::size_t> shown_;                    // none: every screen
    std::string status_;
    std::int64_t statusUntil_ = 0;
    std::vector<std::string> failures_;
};

}  // namespace host
