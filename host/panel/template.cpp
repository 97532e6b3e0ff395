#include "host/panel/template.h"

#include <charconv>

#include "com/text.h"

namespace host {

namespace {

bool Bad(std::string_view text, const std::string& why, std::string* error) {
    *error = "bad template '" + std::string(text) + "': " + why;
    return false;
}

}  // namespace

bool ParseTemplate(std::string_view text, std::vector<TemplatePiece>* pieces, std::string* error) {
    pieces->clear();
    std::string literal;
    auto flush = [&] {
        if (literal.empty()) return;
        TemplatePiece piece;
        piece.literal = com::FromUtf8(literal);
        pieces->push_back(std::move(piece));
        literal.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '}') {
            if (i + 1 < text.size() && text[i + 1] == '}') {
                literal += '}';
                ++i;
                continue;
            }
            return Bad(text, "'}' without '{' (write '}}' for a brace)", error);
        }
        if (c != '{') {
            literal += c;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '{') {
            literal += '{';
            ++i;
            continue;
        }
        const std::size_t close = text.find('}', i + 1);
        if (close == std::string_view::npos)
            return Bad(text, "'{' without '}' (write '{{' for a brace)", error);
        const std::string_view ref = text.substr(i + 1, close - i - 1);
        const std::string shown = "'{" + std::string(ref) + "}'";
        if (ref.find('{') != std::string_view::npos) return Bad(text, "'{' inside " + shown, error);
        TemplatePiece piece;
        piece.isItem = true;
        if (const auto slash = ref.find('\\'); slash != std::string_view::npos) {
            piece.plugin = std::string(ref.substr(0, slash));
            piece.path = com::FromUtf8(ref);
            if (piece.plugin.empty() || slash + 1 == ref.size())
                return Bad(text, shown + " is not {Plugin\\path\\label}", error);
        } else {
            const auto colon = ref.rfind(':');
            if (colon == std::string_view::npos || colon == 0)
                return Bad(text, shown + " is neither {Plugin:index} nor {Plugin\\path\\label}",
                           error);
            piece.plugin = std::string(ref.substr(0, colon));
            const std::string_view digits = ref.substr(colon + 1);
            LONG index = 0;
            const auto [end, ec] =
                std::from_chars(digits.data(), digits.data() + digits.size(), index);
            if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
                return Bad(text, shown + ": the index is not a number", error);
            piece.index = index;
        }
        flush();
        pieces->push_back(std::move(piece));
        i = close;
    }
    flush();
    return true;
}

std::string TemplatePiece::Written() const {
    return index ? plugin + ":" + std::to_string(*index) : com::ToUtf8(path);
}

}  // namespace host
