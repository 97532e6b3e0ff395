#include "host/panel/panel_error.h"

namespace host {

namespace {

// " (0 to N)" after an index when the plug-in has items.
std::string Range(const NoSuchItem& item) {
    if (!item.index || item.count <= 0) return "";
    return " (0 to " + std::to_string(item.count - 1) + ")";
}

struct Words {
    bool forFile;
    std::string operator()(const BadTemplate& bad) const { return bad.message; }
    std::string operator()(const PluginUnavailable& missing) const { return missing.message; }
    std::string operator()(const MemberFailure& failure) const { return host::Describe(failure); }
    std::string operator()(const NoSuchItem& item) const {
        if (forFile) return "unknown item '" + item.written + "'" + Range(item);
        if (item.index)
            return item.plugin + " has no item " + std::to_string(*item.index) + Range(item);
        return item.plugin + " has no item '" + item.written + "'";
    }
};

}  // namespace

std::string Describe(const PanelError& error) {
    return std::visit(Words{false}, error);
}

std::string DescribeForFile(const PanelError& error) {
    return std::visit(Words{true}, error);
}

}  // namespace host
