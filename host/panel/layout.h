// The layout of the panel's texts on a character display of W x H cells.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host {

// Lays out line texts on a panel of `width` x `height` cells: a line feed in a text continues it
// on the next row (a dual-line value takes two rows, the next text goes below), other control
// characters show as blanks, every row is cut or padded with blanks to `width`, rows beyond
// `height` are dropped and missing rows are blank.
std::vector<std::u16string> LayOut(const std::vector<std::u16string>& texts, int width, int height);

// The layout shown when no templates are given: processor name, clock and SSE2, date, uptime.
const std::vector<std::string>& DefaultTemplates();

// A text for an 8-bit display: characters above 255 as '?'.
std::string ToLatin1(std::u16string_view text);

}  // namespace host
