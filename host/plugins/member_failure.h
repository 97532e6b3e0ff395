// A member of a plug-in that answered a failing status, as data: which plug-in, which member,
// which item. Describe words it, in the one form every reader shows.
#pragma once

#include <optional>
#include <string>

#include "com/com.h"

namespace host {

struct MemberFailure {
    std::string plugin;        // the plug-in's own name
    std::string member;        // "Count", "PollData", "Value", ...
    std::optional<LONG> item;  // the item asked for
    HRESULT status = S_OK;

    bool operator==(const MemberFailure&) const = default;
};

// "Wendrikai: Count failed with unspecified error (0x80004005)", or for an item
// "Wendrikai:3: Value failed with ...".
std::string Describe(const MemberFailure& failure);

}  // namespace host
