#include "host/panel/layout.h"

#include <algorithm>

namespace host {

std::vector<std::u16string> LayOutRows(const std::vector<std::u16string>& texts, int height) {
    const auto h = static_cast<std::size_t>(std::max(height, 0));
    std::vector<std::u16string> rows;
    for (const std::u16string& text : texts) {
        if (rows.size() >= h) break;
        std::u16string row;
        for (std::size_t i = 0; i < text.size(); ++i) {
            char16_t c = text[i];
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
            if (c == u'\n') {
                rows.push_back(std::move(row));
                row.clear();
                continue;
            }
            if (c >= 0xDC00 && c <= 0xDFFF) continue;  // second half of a pair: one cell
            if (c >= 0xD800 && c <= 0xDBFF) c = u'?';  // a character one cell cannot hold
            if (c < 0x20 || (c >= 0x7F && c < 0xA0)) c = u' ';
            row += c;
        }
        rows.push_back(std::move(row));
    }
    rows.resize(h);
    // Trailing blanks (a value padded with blanks or nulls) make no row wider.
    for (std::u16string& row : rows) row.erase(row.find_last_not_of(u' ') + 1);
    return rows;
}

std::vector<std::u16string> LayOut(const std::vector<std::u16string>& texts, int width,
                                   int height) {
    std::vector<std::u16string> rows = LayOutRows(texts, height);
    for (std::u16string& row : rows) row.resize(static_cast<std::size_t>(std::max(width, 0)), u' ');
    return rows;
}

std::u16string MarqueeWindow(std::u16string_view text, int width, std::int64_t step) {
    const auto w = static_cast<std::size_t>(std::max(width, 0));
    if (text.size() <= w) return std::u16string(text) + std::u16string(w - text.size(), u' ');
    const std::size_t cycle = text.size() + w / 2;
    auto at = static_cast<std::size_t>(step % static_cast<std::int64_t>(cycle));
    if (step < 0) at = 0;
    std::u16string window;
    window.reserve(w);
    for (std::size_t k = 0; k < w; ++k, at = (at + 1) % cycle)
        window += at < text.size() ? text[at] : u' ';
    return window;
}

const std::vector<std::string>& DefaultTemplates() {
    static const std::vector<std::string> templates = {
        "{Orvantel:11}",
        "{Orvantel:13} SSE2 {Orvantel:21}",
        "Date {Tamblorin:27}",
        "Up   {Wendrikai:20}",
    };
    return templates;
}

std::string ToLatin1(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) out += c < 0x100 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace host
