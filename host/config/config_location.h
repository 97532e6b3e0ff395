// Where lcdhost looks for its configuration file when none is named.
#pragma once

#include <string>
#include <string_view>

namespace host {

// The places FindConfigFile looks, for messages and help texts.
inline constexpr std::string_view kConfigSearchText =
    "$XDG_CONFIG_HOME/tessivar/lcdhost.toml, then /etc/tessivar/lcdhost.toml";

// $XDG_CONFIG_HOME/tessivar/lcdhost.toml (~/.config when unset), then
// /etc/tessivar/lcdhost.toml: the first that exists, or empty when neither does.
std::string FindConfigFile();

}  // namespace host
