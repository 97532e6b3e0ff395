#include "host/config/display_settings.h"

#include <charconv>

namespace host {

namespace {

bool ParseNumber(std::string_view text, int low, int high, int* value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() &&
           *value >= low && *value <= high;
}

}  // namespace

bool ParseSize(std::string_view text, int* width, int* height) {
    const auto x = text.find_first_of("xX");
    return x != std::string_view::npos && ParseNumber(text.substr(0, x), 1, 256, width) &&
           ParseNumber(text.substr(x + 1), 1, 64, height);
}

bool ParseEndpoint(std::string_view text, std::string* host, std::string* port,
                   std::string* error) {
    *host = "127.0.0.1";
    std::string_view rest = text;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find("]:");
        if (close == std::string_view::npos)
            return *error = "bad LCDd address '" + std::string(text) + "' (expected [HOST:]PORT)",
                   false;
        *host = text.substr(1, close - 1);
        rest = text.substr(close + 2);
    } else if (const auto colon = text.rfind(':'); colon != std::string_view::npos) {
        *host = text.substr(0, colon);
        rest = text.substr(colon + 1);
    }
    int number = 0;
    if (host->empty() || !ParseNumber(rest, 1, 65535, &number))
        return *error = "bad LCDd address '" + std::string(text) + "' (expected [HOST:]PORT)",
               false;
    *port = rest;
    return true;
}

}  // namespace host
