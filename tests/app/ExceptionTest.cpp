#include <gtest/gtest.h>

#include "app/Exception.h"

TEST(Exception, DisplayTextLayout) {
    EXPECT_EQ(Exception(u"Orvella::openFile", 120, u"").displayText(),
              u"Function: Orvella::openFile\nLine:     120\nException:\n");
    EXPECT_EQ(Exception(u"f", 7, u"開けません", 2).displayText(),
              u"Function: f\nLine:     7\nException:\n開けません\nErrorCode: 0x2\n"
              u"The system cannot find the file specified.\r\n");
    EXPECT_EQ(Exception(u"f", 7, u"m", 0x80004005).displayText(),
              u"Function: f\nLine:     7\nException:\nm\nErrorCode: 0x80004005\nUnexpected HRESULT");
}
