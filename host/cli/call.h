// lcdhost call PLUGIN METHOD [ARG...]: a public method of a plug-in's class interface, by name.
#pragma once

#include <string>
#include <vector>

#include "com/com.h"
#include "host/cli/command.h"

namespace host {

// Calls `method` of `object`, the class interface of the plug-in `plugin`, with `arguments` as
// texts that the method's parameter types convert, and prints what it returns.
int CallMethod(Context& ctx, const std::string& plugin, IDispatch* object,
               const std::string& method, const std::vector<std::string>& arguments);

}  // namespace host
