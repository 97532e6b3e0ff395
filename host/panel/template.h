// A line template of the panel: literal text with items written {Plugin:index} or
// {Plugin\path\label}.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com/com.h"

namespace host {

// One piece of a line template: literal text, or a reference to an item, written
// {Plugin:index} or {Plugin\path\label} (the item's DisplayName).
struct TemplatePiece {
    bool isItem = false;
    std::u16string literal;     // literal text (isItem false)
    std::string plugin;         // the plug-in as written
    std::optional<LONG> index;  // {Plugin:index}
    std::u16string path;        // {Plugin\path\label}: everything between the braces

    // The item as the template writes it: "Wendrikai:99" or "Wendrikai\path\label".
    std::string Written() const;
};

// Parses a line template; a brace that stands for itself is doubled ("{{", "}}"). On failure
// returns false and sets `error` to one line.
bool ParseTemplate(std::string_view text, std::vector<TemplatePiece>* pieces, std::string* error);

}  // namespace host
