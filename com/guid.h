// Class and interface identifiers in their registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include <string>
#include <string_view>

#include "com/com.h"

namespace com {

std::string GuidToString(const GUID& guid);
bool ParseGuid(std::string_view text, GUID* guid);

}  // namespace com
