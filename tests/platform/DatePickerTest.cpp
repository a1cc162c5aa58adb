// The date picker: its display format, date arithmetic, field editing by
// keys, the calendar drop-down and DTN_DATETIMECHANGE.
#include <gtest/gtest.h>

#include "ControlHost.h"
#include "platform/controls/Controls.h"
#include "platform/controls/DateFormat.h"

using namespace veltrix::test;
using namespace veltrix::platform::controls;
namespace headless = veltrix::platform::headless;
using headless::Button;

namespace {

SYSTEMTIME date(int y, int m, int d) {
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(y);
    t.wMonth = static_cast<WORD>(m);
    t.wDay = static_cast<WORD>(d);
    return t;
}

TEST(DateFormat, FormatsFieldsAndQuotedText) {
    struct Case {
        std::u16string format;
        std::u16string text;
    };
    const Case cases[] = {
        {u"yyy'/'MM'/'dd'", u"2012/05/14"},  // the unclosed quote at the end shows nothing
        {u"yyyy/MM/dd", u"2012/05/14"},
        {u"yy-M-d", u"12-5-14"},
        {u"dddd, MMMM d", u"Monday, May 14"},
        {u"ddd MMM", u"Mon May"},
        {u"'It''s' d", u"It's 14"},
        {u"''d''", u"'14'"},
        {u"", u""},
    };
    for (const Case& c : cases) {
        SYSTEMTIME d = date(2012, 5, 14);
        d.wDayOfWeek = static_cast<WORD>(dayOfWeek(2012, 5, 14));
        EXPECT_EQ(formatDate(parseDateFormat(c.format), d), c.text);
    }
}

TEST(DateFormat, CalendarArithmetic) {
    EXPECT_EQ(dayOfWeek(2012, 5, 14), 1);
    EXPECT_EQ(dayOfWeek(2000, 2, 29), 2);
    EXPECT_EQ(dayOfWeek(1601, 1, 1), 1);
    EXPECT_EQ(daysInMonth(1900, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(daysInMonth(2000, 13), 0);
    struct Case {
        SYSTEMTIME from;
        int days;
        SYSTEMTIME to;
    };
    const Case cases[] = {
        {date(2012, 12, 31), 1, date(2013, 1, 1)},
        {date(2012, 3, 1), -1, date(2012, 2, 29)},
        {date(2012, 1, 31), 30, date(2012, 3, 1)},
        {date(1601, 1, 1), -5, date(1601, 1, 1)},  // clamped to the first day there is
    };
    for (const Case& c : cases) {
        SYSTEMTIME r = addDays(c.from, c.days);
        EXPECT_EQ(r.wYear, c.to.wYear);
        EXPECT_EQ(r.wMonth, c.to.wMonth);
        EXPECT_EQ(r.wDay, c.to.wDay);
    }
    SYSTEMTIME m = addMonths(date(2012, 1, 31), 1);
    EXPECT_EQ(m.wMonth, 2);
    EXPECT_EQ(m.wDay, 29);
    m = addMonths(date(2012, 1, 15), -1);
    EXPECT_EQ(m.wYear, 2011);
    EXPECT_EQ(m.wMonth, 12);
    EXPECT_FALSE(isValidDate(date(2013, 2, 29)));
    EXPECT_FALSE(isValidDate(date(1600, 1, 1)));
    EXPECT_TRUE(isValidDate(date(2012, 2, 29)));
}

struct Picker : ::testing::Test {
    ControlHost host;
    HWND picker = nullptr;
    void SetUp() override {
        // As the toolkit's calendar pane makes it: child, visible, border, long date format.
        picker = host.create(u"SysDateTimePick32", u"", 0x50800004, 20, 20, 140, 24);
        ASSERT_TRUE(picker);
        SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"yyy'/'MM'/'dd'"));
        SYSTEMTIME d = date(2012, 5, 14);
        ASSERT_TRUE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&d)));
        host.notifications().clear();
    }
    std::u16string text() const { return ControlHost::text(picker); }
    std::vector<SYSTEMTIME> changes() {
        std::vector<SYSTEMTIME> out;
        for (const Notification& n : host.notifications())
            if (n.code == static_cast<int>(DTN_DATETIMECHANGE)) out.push_back(n.date);
        return out;
    }
    HWND calendar() const { return reinterpret_cast<HWND>(SendMessageW(picker, DTM_GETMONTHCAL, 0, 0)); }
};

TEST_F(Picker, TextAndSystemTimeRoundTrip) {
    EXPECT_EQ(text(), u"2012/05/14");
    SYSTEMTIME got{};
    EXPECT_EQ(SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got)),
              static_cast<LRESULT>(GDT_VALID));
    EXPECT_EQ(got.wYear, 2012);
    EXPECT_EQ(got.wMonth, 5);
    EXPECT_EQ(got.wDay, 14);
    EXPECT_EQ(got.wDayOfWeek, 1);
    EXPECT_EQ(SendMessageW(picker, DTM_GETSYSTEMTIME, 0, 0), static_cast<LRESULT>(GDT_ERROR));
    // Bad dates are refused and change nothing.
    for (SYSTEMTIME bad : {date(2013, 2, 29), date(2012, 13, 1), date(2012, 0, 1), date(99, 1, 1)})
        EXPECT_FALSE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&bad)));
    EXPECT_FALSE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, 0));
    EXPECT_EQ(text(), u"2012/05/14");
    EXPECT_TRUE(host.notifications().empty());
}

TEST_F(Picker, WithoutAFormatTheStyleChoosesOne) {
    SYSTEMTIME d = date(2012, 5, 14);
    HWND shortDate = host.create(u"SysDateTimePick32", u"", WS_CHILD | WS_VISIBLE, 20, 60, 140, 24, 9);
    SendMessageW(shortDate, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&d));
    EXPECT_EQ(ControlHost::text(shortDate), u"2012/05/14");
    SendMessageW(picker, DTM_SETFORMATW, 0, 0);
    EXPECT_EQ(text(), u"Monday, May 14, 2012");
    // The weekday is a name, not a field: Right skips it.
    SetFocus(picker);
    ControlHost::chord({}, VK_UP);
    EXPECT_EQ(text(), u"Thursday, June 14, 2012");
    ControlHost::chord({}, VK_RIGHT);
    ControlHost::chord({}, VK_UP);
    EXPECT_EQ(text(), u"Friday, June 15, 2012");
}

TEST_F(Picker, ArrowsStepTheCurrentFieldAndReportEachChange) {
    SetFocus(picker);
    ControlHost::chord({}, VK_UP);
    EXPECT_EQ(text(), u"2013/05/14");
    ControlHost::chord({}, VK_RIGHT);
    for (int i = 0; i < 5; ++i) ControlHost::chord({}, VK_DOWN);
    EXPECT_EQ(text(), u"2013/12/14");  // months wrap
    ControlHost::chord({}, VK_RIGHT);
    ControlHost::chord({}, VK_RIGHT);  // stays on the last field
    ControlHost::chord({}, VK_UP);
    EXPECT_EQ(text(), u"2013/12/15");
    std::vector<SYSTEMTIME> c = changes();
    ASSERT_EQ(c.size(), 7u);
    EXPECT_EQ(c[0].wYear, 2013);
    EXPECT_EQ(c.back().wDay, 15);
    EXPECT_EQ(host.notifications()[0].from, picker);
}

TEST_F(Picker, DigitsTypeAFieldAndTheDayFitsTheMonth) {
    SYSTEMTIME d = date(2012, 1, 31);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&d));
    SetFocus(picker);
    ControlHost::chord({}, VK_RIGHT);
    headless::typeText(u"02");
    ControlHost::pump();
    EXPECT_EQ(text(), u"2012/02/29");
    headless::typeText(u"3");  // the day field is current now; 3 cannot start a longer day
    ControlHost::pump();
    EXPECT_EQ(text(), u"2012/02/03");
    ControlHost::chord({}, VK_HOME);
    headless::typeText(u"20");
    ControlHost::pump();
    EXPECT_EQ(text(), u"2012/02/03");  // a year waits for all four digits
    headless::typeText(u"09");
    ControlHost::pump();
    EXPECT_EQ(text(), u"2009/02/03");
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"yy.MM.dd"));
    ControlHost::chord({}, VK_HOME);
    headless::typeText(u"15");
    ControlHost::pump();
    EXPECT_EQ(text(), u"15.02.03");
    SYSTEMTIME got{};
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.wYear, 2015);
}

TEST_F(Picker, TheCalendarOpensChoosesByKeysAndCancels) {
    SetFocus(picker);
    ControlHost::chord({}, VK_F1 + 3);
    HWND cal = calendar();
    ASSERT_TRUE(cal);
    EXPECT_TRUE(IsWindowVisible(cal));
    EXPECT_EQ(GetFocus(), picker);
    ControlHost::chord({}, VK_RIGHT);
    ControlHost::chord({}, VK_DOWN);
    ControlHost::chord({}, VK_RETURN);
    EXPECT_FALSE(IsWindowVisible(cal));
    EXPECT_EQ(text(), u"2012/05/22");
    std::vector<int> codes = host.takeCodes();
    EXPECT_EQ(codes, (std::vector<int>{static_cast<int>(DTN_DROPDOWN), static_cast<int>(DTN_CLOSEUP),
                                       static_cast<int>(DTN_DATETIMECHANGE)}));
    ControlHost::chord({VK_MENU}, VK_DOWN);
    ControlHost::chord({}, VK_NEXT);
    ControlHost::chord({}, VK_ESCAPE);
    EXPECT_EQ(text(), u"2012/05/22");
    EXPECT_EQ(host.takeCodes(), (std::vector<int>{static_cast<int>(DTN_DROPDOWN), static_cast<int>(DTN_CLOSEUP)}));
    EXPECT_EQ(calendar(), nullptr);
}

TEST_F(Picker, TheCalendarChoosesByMouse) {
    RECT r;
    GetClientRect(picker, &r);
    headless::click(Button::Left, ControlHost::screen(picker, r.right - 8, 10));
    ControlHost::pump();
    HWND cal = calendar();
    ASSERT_TRUE(cal);
    // May 2012 starts on a Tuesday: the first row holds 29 and 30 April, then 1 to 5 May.
    RECT c;
    GetClientRect(cal, &c);
    int cellWidth = 32;
    int cellHeight = lineHeightOf(fontOrDefault(nullptr)) + 10;
    int gridTop = c.bottom - 8 - 6 * cellHeight;
    int y = gridTop + cellHeight / 2;
    headless::click(Button::Left, ControlHost::screen(cal, 8 + 2 * cellWidth + 16, y));
    ControlHost::pump();
    EXPECT_FALSE(IsWindowVisible(cal));
    EXPECT_EQ(text(), u"2012/05/01");
    // A click outside closes the calendar and leaves the date.
    headless::click(Button::Left, ControlHost::screen(picker, r.right - 8, 10));
    ControlHost::pump();
    ASSERT_TRUE(calendar());
    headless::click(Button::Left, ControlHost::screen(host.frame(), 400, 280));
    ControlHost::pump();
    EXPECT_EQ(calendar(), nullptr);
    EXPECT_EQ(text(), u"2012/05/01");
}

}  // namespace
