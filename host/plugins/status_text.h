// How lcdhost names a status that a plug-in or the component system answered.
#pragma once

#include <string>
#include <string_view>

#include "com/com.h"

namespace host {

// "0x800A0005"
std::string StatusCode(HRESULT hr);

// The words for a status lcdhost knows ("invalid use of null"); empty for any other.
std::string_view StatusWords(HRESULT hr);

// A failing status as lcdhost reports it: its words, then its code ("invalid use of null
// (0x800A005E)"); on Windows the words are the system's message where it has one. A status
// without words is its code alone.
std::string StatusText(HRESULT hr);

}  // namespace host
