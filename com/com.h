// Component-system types used across the host interfaces.
//
// On Windows these are the platform's own definitions. Elsewhere standin_types.h and
// standin_automation.h define a stand-in with the same binary layout (sizes, offsets, member order
// of every interface), so that a host written against the real definitions works unchanged against
// the plug-ins.
#pragma once

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>
#include <unknwn.h>
#include <windows.h>
// After windows.h: the self-registration statuses.
#include <olectl.h>

#else  // stand-in

#include "com/standin_automation.h"
#include "com/standin_types.h"

#endif  // stand-in
