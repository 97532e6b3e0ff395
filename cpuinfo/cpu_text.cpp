#include "cpuinfo/cpu_text.h"

#include <charconv>
#include <cmath>
#include <string>

#include "com/errors.h"
#include "com/text.h"
#include "platform/narrow_text.h"

namespace cpuinfo {

namespace {

bool Printable(char16_t c) {
    const int code = platform::AnsiCode(c);
    return code > 31 && code < 127;
}

// Puts half the missing blanks in front of `line` and the rest behind, up to `width`.
void Centre(std::u16string& line, std::size_t width) {
    const std::size_t missing = width - line.size();
    line.insert(0, missing / 2, u' ');
    line.append(width - line.size(), u' ');
}

}  // namespace

HRESULT DualLine(std::u16string_view source, std::u16string* result) {
    if (result == nullptr) return E_POINTER;
    std::size_t cut = 0;
    while (cut < source.size() && Printable(source[cut])) ++cut;
    if (cut == source.size()) return com::kInvalidCall;
    // The stopping character stays as the working text's last character.
    const std::u16string_view work = source.substr(0, cut + 1);

    std::size_t blanks = 0;
    for (char16_t c : work)
        if (c == u' ') ++blanks;
    const std::size_t breakAt = blanks / 2 + 1;

    std::u16string line1, line2;
    std::size_t seen = 0;
    for (char16_t c : work) {
        if (c == u' ') ++seen;
        (seen < breakAt ? line1 : line2).push_back(c);
    }
    if (line1.size() > line2.size())
        Centre(line2, line1.size());
    else
        Centre(line1, line2.size());

    *result = std::move(line1);
    result->push_back(u'\n');
    *result += line2;
    return S_OK;
}

std::vector<std::u16string> VersionTokens(std::u16string_view text) {
    std::vector<std::u16string> tokens;
    std::u16string current;
    char16_t previous = 255;
    for (char16_t c : text) {
        if (c != u'\0') {
            current.push_back(c);
        } else if (previous != u'\0') {
            tokens.push_back(std::move(current));
            current.clear();
        } else {
            break;  // a second NUL in a row closes the list
        }
        previous = c;
    }
    return tokens;
}

std::u16string JoinTokens(const std::vector<std::u16string>& tokens) {
    std::u16string all;
    for (const auto& token : tokens) {
        all += token;
        all.push_back(u' ');
    }
    return all;
}

std::u16string_view VendorShort(std::u16string_view vendorIdentifier) {
    // Tested in this order; the first found anywhere, without regard to case, wins.
    static constexpr std::u16string_view kCandidates[] = {
        u"AMD", u"Intel", u"INTEL", u"IBM", u"Cyrix", u"CYRIX", u"CentaurHauls"};
    for (std::u16string_view candidate : kCandidates) {
        if (candidate.size() > vendorIdentifier.size()) continue;
        for (std::size_t at = 0; at + candidate.size() <= vendorIdentifier.size(); ++at)
            if (com::EqualsNoCase(vendorIdentifier.substr(at, candidate.size()), candidate))
                return candidate;
    }
    return u"unknown";
}

std::u16string NumberForm(double value) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (ec != std::errc{}) return {};
    std::string text(buffer, end);
    // Exponent as "E+nn": upper case, a sign, at least two digits.
    if (const auto e = text.find('e'); e != std::string::npos) {
        std::string exponent = text.substr(e + 2);
        while (exponent.size() > 2 && exponent.front() == '0') exponent.erase(0, 1);
        text = text.substr(0, e) + "E" + text[e + 1] + exponent;
    }
    return com::Widen(text);
}

std::u16string WholeNumberForm(double value) {
    const double whole = std::round(value);
    if (whole == 0) return u"0";  // no sign on a zero
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0);
    if (ec != std::errc{}) return {};
    return com::Widen(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

std::u16string_view TrimBlanks(std::u16string_view text) {
    const auto first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) return {};
    const auto last = text.find_last_not_of(u' ');
    return text.substr(first, last - first + 1);
}

}  // namespace cpuinfo
