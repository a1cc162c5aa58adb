// What the player shows cut off: every visible control that lies outside its
// parent, and every text a control paints that is wider than the rectangle it
// is painted into, measured as the control measures it (its own font through
// Graphics::getTextWidth). Used on the headless display and on the SDL one.
#pragma once

#include <string>
#include <vector>

class Orvella;

namespace veltrix::test {

// One line per problem, naming the control's window class and the sizes.
std::vector<std::string> clippedTexts(Orvella& player);

}  // namespace veltrix::test
