// The display settings that the command line and the configuration file both take: the panel's
// size, "WxH", and the LCDd server's address, "[HOST:]PORT".
#pragma once

#include <string>
#include <string_view>

namespace host {

// "WxH", 1 to 256 columns and 1 to 64 rows (the x in either case).
bool ParseSize(std::string_view text, int* width, int* height);

// Splits "[HOST:]PORT" ("13666", "localhost:13666", "[::1]:13666"); the host defaults to
// 127.0.0.1. On failure returns false and sets `error` to one line.
bool ParseEndpoint(std::string_view text, std::string* host, std::string* port, std::string* error);

}  // namespace host
