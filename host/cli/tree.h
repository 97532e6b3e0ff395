// lcdhost tree [PLUGIN...]: the item trees of plug-ins.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace host {

// Writes the item tree of one plug-in: the plug-in name at the root, one level of indentation
// per backslash of the display names, and at each leaf the index and the label.
void PrintTree(const std::string& plugin, const std::vector<std::u16string>& displayNames,
               std::ostream& out);

}  // namespace host
