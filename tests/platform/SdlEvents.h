// Input-method events put on SDL's own queue, as an input method under X
// would deliver them (Xvfb has no input method to drive).
#pragma once

namespace veltrix::test {

// The text being composed (UTF-8) with the caret after `caret` code points.
void pushSdlComposition(const char* utf8, int caret);
// A committed text (UTF-8).
void pushSdlText(const char* utf8);

}  // namespace veltrix::test
