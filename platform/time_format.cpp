#include "platform/regional_settings.h"

namespace platform {

std::string TimeSeparatorOfFormat(std::string_view format) {
    for (std::size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] != '%') continue;
        char c = format[i + 1];
        std::size_t next = i + 2;
        if ((c == 'E' || c == 'O') && next < format.size()) c = format[next++];  // modifiers
        if (c == 'T' || c == 'R' || c == 'r') return ":";
        if (c == 'H' || c == 'I' || c == 'k' || c == 'l') {
            const std::size_t end = format.find('%', next);
            if (end == std::string_view::npos || end == next) return {};
            return std::string(format.substr(next, end - next));
        }
        ++i;  // skip the conversion letter
    }
    return {};
}

}  // namespace platform
