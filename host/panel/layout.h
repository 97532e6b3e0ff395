// The layout of the panel's texts on a character display of W x H cells.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// Lays out line texts on a panel of `width` x `height` cells: a line feed in a text continues it
// on the next row (a dual-line value takes two rows, the next text goes below), other control
// characters show as blanks, every row is cut or padded with blanks to `width`, rows beyond
// `height` are dropped and missing rows are blank.
std::vector<std::u16string> LayOut(const std::vector<std::u16string>& texts, int width, int height);

// The same rows uncut and unpadded, `height` of them: the whole text of each without its
// trailing blanks, for a row that scrolls.
std::vector<std::u16string> LayOutRows(const std::vector<std::u16string>& texts, int height);

// A row of `width` cells showing `text` `step` characters on as a marquee: the text, then half a
// row of blanks, over and over, as LCDd's scroller in direction m moves it. A text that fits
// stands still, padded with blanks.
std::u16string MarqueeWindow(std::u16string_view text, int width, std::int64_t step);

// The pages of a screen of `lines` templates on a display `height` rows high: consecutive runs
// of `height` lines; one page for a screen that fits (or has no line).
struct PageRef {
    std::size_t screen = 0, page = 0;
};
inline std::size_t PageCount(std::size_t lines, int height) {
    const auto h = static_cast<std::size_t>(height > 0 ? height : 1);
    return lines <= h ? 1 : (lines + h - 1) / h;
}

// The layout shown when no templates are given: processor name, clock and SSE2, date, uptime.
const std::vector<std::string>& DefaultTemplates();

// A text for an 8-bit display: characters above 255 as '?'.
std::string ToLatin1(std::u16string_view text);

}  // namespace host
