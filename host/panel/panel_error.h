// Why a panel cannot be made, as data: the template, the plug-in, a member of the plug-in or the
// item that failed. The words are written here, once for the panel (`show`) and once for the
// configuration file, which names an item as its line writes it.
#pragma once

#include <optional>
#include <string>
#include <variant>

#include "com/com.h"
#include "host/plugins/member_failure.h"

namespace host {

// A line template that does not parse; `message` is ParseTemplate's line.
struct BadTemplate {
    std::string message;
};

// A plug-in that cannot be had; `message` is the catalog's line.
struct PluginUnavailable {
    std::string message;
};

// An item its plug-in lacks: an index outside 0 to count-1, or a label no display name matches.
struct NoSuchItem {
    std::string plugin;         // the plug-in's own name
    std::string written;        // the item as the template writes it
    std::optional<LONG> index;  // {Plugin:index}; none for {Plugin\path\label}
    LONG count = 0;             // the plug-in's items
};

using PanelError = std::variant<BadTemplate, PluginUnavailable, MemberFailure, NoSuchItem>;

// As the panel reports it: "Wendrikai has no item 99 (0 to 25)".
std::string Describe(const PanelError& error);

// As a check of the configuration file reports it: an item named as written,
// "unknown item 'Wendrikai:99' (0 to 25)"; any other error as Describe words it.
std::string DescribeForFile(const PanelError& error);

}  // namespace host
