// The system window classes that the native layer provides (the common
// controls). Each is registered on first use, so a program can create one
// without an explicit initialisation, as it can on Windows.
#pragma once

#include "platform/api/Types.h"

namespace veltrix::platform {

// Registers the class when className names a system class that is not
// registered yet; does nothing otherwise (also for atoms).
void ensureSystemClass(LPCWSTR className);

// The registration of each control.
void registerTooltipClass();

}  // namespace veltrix::platform
