// The panel: screens of line templates, their items, the poll schedule of each plug-in and the
// texts of the items shown.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame/host_interfaces.h"
#include "host/config/screen_config.h"
#include "host/panel/layout.h"
#include "host/panel/panel_error.h"
#include "host/panel/template.h"
#include "host/plugins/catalog.h"
#include "host/plugins/provider.h"

namespace host {

// How long a failure stays in the status line.
inline constexpr std::int64_t kStatusMilliseconds = 5000;

// The panel: one or more screens of line templates, sharing one provider per plug-in.
class Panel {
  public:
    // Resolves every item of the screens' templates through `catalog`, reading each plug-in's
    // item list (Count, then Name and DisplayName of each index) and its PollFreqency and
    // PollMethod. The plug-ins `previous` already uses are taken over with their item lists and
    // poll schedule instead of being read again. On failure returns null and sets `error`.
    static std::unique_ptr<Panel> Create(PluginCatalog& catalog,
                                         const std::vector<ScreenConfig>& screens,
                                         PanelError* error, const Panel* previous = nullptr);
    // One unnamed screen of `templates`; on failure `error` is Describe's line.
    static std::unique_ptr<Panel> Create(PluginCatalog& catalog,
                                         const std::vector<std::string>& templates,
                                         std::string* error);

    std::size_t screens() const { return screens_.size(); }
    const ScreenConfig& screen(std::size_t k) const { return screens_[k]; }
    // The number of line templates of a screen.
    std::size_t lines(std::size_t screen) const {
        return screen < lines_.size() ? lines_[screen].size() : 0;
    }

    // Lines [first, end) of a screen: what a page of it shows.
    struct View {
        std::size_t screen = 0;
        std::size_t first = 0, end = SIZE_MAX;
    };
    // The views on display, the only lines whose values are read; none: every screen is on
    // display (the start, and LCDd until it tells which screen it shows). The values of a view
    // that comes on display are read at the next Tick. Without `pollHidden`, a plug-in with no
    // item on display is not polled either, until one comes on display.
    void SetShown(std::optional<std::vector<View>> views, bool pollHidden = true);
    // The lines that page `page` of a screen shows on a display `height` rows high.
    static View PageView(PageRef page, int height) {
        const auto h = static_cast<std::size_t>(std::max(height, 1));
        return {page.screen, page.page * h, page.page * h + h};
    }
    // One whole screen on display; none: every screen.
    void SetShownScreen(std::optional<std::size_t> screen) {
        SetShown(screen ? std::optional<std::vector<View>>({View{*screen}}) : std::nullopt);
    }

    // Polls every plug-in whose time has come at `now` (milliseconds of a monotonic clock),
    // then reads the Value of each of its items on the screens shown, and the values of items
    // shown but not read since their plug-in's last poll. Returns true when a text or the
    // status line changed.
    bool Tick(std::int64_t now);
    // When Tick has work next: at once for values not read yet, else the earliest poll due or
    // the end of the status message.
    std::int64_t NextWakeup() const;

    // The texts of the templates of a screen with the current values; of its lines
    // [first, end) only.
    std::vector<std::u16string> Texts(std::size_t screen = 0, std::size_t first = 0,
                                      std::size_t end = SIZE_MAX) const;
    std::vector<std::u16string> Frame(int width, int height) const {
        return LayOut(Texts(), width, height);
    }
    std::vector<std::u16string> Frame(std::size_t screen, int width, int height) const {
        return LayOut(Texts(screen), width, height);
    }
    // Page `page` of a screen on a display `height` rows high (see PageCount), laid out as
    // LayOutRows does: each row's whole text.
    std::vector<std::u16string> PageRows(std::size_t screen, std::size_t page, int height) const {
        const View lines = PageView({screen, page}, height);
        return LayOutRows(Texts(screen, lines.first, lines.end), height);
    }
    // The latest failure, shown for kStatusMilliseconds; empty when there is none.
    const std::string& status() const { return status_; }
    // The failures of the last Tick.
    const std::vector<MemberFailure>& failures() const { return failures_; }

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
    struct Place {
        std::size_t screen, line;
    };
    struct Slot {
        std::size_t source;
        LONG index;
        std::u16string text;
        std::vector<Place> places;  // the lines it is on
        bool read = false;          // since its plug-in's last poll
    };
    struct Piece {
        std::u16string literal;
        std::optional<std::size_t> slot;
    };

    Panel() = default;
    bool AddScreen(PluginCatalog& catalog, const ScreenConfig& screen, const Panel* previous,
                   PanelError* error);
    bool Resolve(PluginCatalog& catalog, const TemplatePiece& piece, const Panel* previous,
                 std::size_t* slot, PanelError* error);
    bool FindSource(PluginCatalog& catalog, const std::string& plugin, const Panel* previous,
                    std::size_t* source, PanelError* error);
    static bool ReadSource(Source* source, PanelError* error);
    static bool FindItem(const Source& source, const TemplatePiece& piece, LONG* index,
                         PanelError* error);
    void Fail(std::int64_t now, MemberFailure failure);
    bool OnShownScreen(const Slot& slot) const;
    // Polled now: due, and (unless hidden plug-ins are polled) with an item on display.
    bool Polled(std::size_t source) const;
    bool Read(Slot& slot, std::int64_t now);

    std::vector<Source> sources_;
    std::vector<Slot> slots_;
    std::vector<ScreenConfig> screens_;                   // without their lines
    std::vector<std::vector<std::vector<Piece>>> lines_;  // of each screen
    std::optional<std::vector<View>> shown_;              // none: every screen
    bool pollHidden_ = true;
    std::string status_;
    std::int64_t statusUntil_ = 0;
    std::vector<MemberFailure> failures_;
};

}  // namespace host
