// A small demonstration window: child windows painting English and Japanese
// text, saved as PNG (build/tests/platform/demonstration.png) to look at.
#include <gtest/gtest.h>

#include "DemonstrationWindow.h"
#include "platform/display/Headless.h"

namespace headless = veltrix::platform::headless;

namespace {

TEST(Demonstration, ChildWindowsPaintEnglishAndJapaneseText) {
    HWND children[3];
    HWND frame = veltrix::test::createDemonstrationWindow(children);
    ShowWindow(frame, SW_SHOW);
    headless::pumpMessages();
    EXPECT_EQ(headless::pixel(frame, 5, 5), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(headless::pixel(children[1], 150, 150), RGB(235, 245, 255));
    EXPECT_TRUE(headless::savePicture(frame, "demonstration.png"));
    DestroyWindow(frame);
    headless::pumpMessages();
}

}  // namespace
