#include "platform/controls/DateFormat.h"

#include <algorithm>
#include <ctime>

namespace veltrix::platform::controls {

namespace {

const char16_t* const kMonths[] = {u"January", u"February", u"March",     u"April",   u"May",      u"June",
                                   u"July",    u"August",   u"September", u"October", u"November", u"December"};
const char16_t* const kWeekdays[] = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                     u"Thursday", u"Friday", u"Saturday"};

std::u16string number(int value, int digits) {
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value > 0);
    while (static_cast<int>(text.size()) < digits) text.insert(text.begin(), u'0');
    return text;
}

long dayNumber(int year, int month, int day) {
    // Days since a fixed origin, for the proleptic Gregorian calendar.
    int y = year - (month <= 2 ? 1 : 0);
    int era = y / 400;
    int yoe = y - era * 400;
    int mp = (month + 9) % 12;
    int doy = (153 * mp + 2) / 5 + day - 1;
    int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<long>(era) * 146097 + doe;
}

SYSTEMTIME fromDayNumber(long n, const SYSTEMTIME& keep) {
    long era = n / 146097;
    long doe = n - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long y = yoe + era * 400;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long mp = (5 * doy + 2) / 153;
    long d = doy - (153 * mp + 2) / 5 + 1;
    long m = mp < 10 ? mp + 3 : mp - 9;
    SYSTEMTIME out = keep;
    out.wYear = static_cast<WORD>(y + (m <= 2 ? 1 : 0));
    out.wMonth = static_cast<WORD>(m);
    out.wDay = static_cast<WORD>(d);
    out.wDayOfWeek = static_cast<WORD>(dayOfWeek(out.wYear, out.wMonth, out.wDay));
    return out;
}

}  // namespace

std::vector<DateSegment> parseDateFormat(const std::u16string& format) {
    std::vector<DateSegment> segments;
    auto addLiteral = [&](char16_t c) {
        if (segments.empty() || segments.back().field != DateField::Literal) segments.push_back({});
        segments.back().literal += c;
    };
    std::size_t i = 0;
    while (i < format.size()) {
        char16_t c = format[i];
        if (c == u'\'') {
            ++i;
            if (i < format.size() && format[i] == u'\'') {
                addLiteral(u'\'');
                ++i;
                continue;
            }
            while (i < format.size()) {
                if (format[i] == u'\'') {
                    if (i + 1 < format.size() && format[i + 1] == u'\'') {
                        addLiteral(u'\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                addLiteral(format[i++]);
            }
            continue;
        }
        if (c == u'y' || c == u'M' || c == u'd') {
            std::size_t run = i;
            while (run < format.size() && format[run] == c) ++run;
            int width = static_cast<int>(run - i);
            DateSegment s;
            s.width = width;
            if (c == u'y') s.field = DateField::Year;
            if (c == u'M') s.field = DateField::Month;
            if (c == u'd') s.field = width >= 3 ? DateField::Weekday : DateField::Day;
            segments.push_back(s);
            i = run;
            continue;
        }
        addLiteral(c);
        ++i;
    }
    return segments;
}

std::u16string formatSegment(const DateSegment& s, const SYSTEMTIME& date) {
    switch (s.field) {
        case DateField::Literal:
            return s.literal;
        case DateField::Year:
            return s.width == 2 ? number(date.wYear % 100, 2) : number(date.wYear, s.width == 1 ? 1 : 4);
        case DateField::Month:
            if (s.width >= 3) {
                std::u16string name = kMonths[std::clamp<int>(date.wMonth, 1, 12) - 1];
                return s.width == 3 ? name.substr(0, 3) : name;
            }
            return number(date.wMonth, s.width);
        case DateField::Day:
            return number(date.wDay, s.width);
        case DateField::Weekday: {
            std::u16string name = kWeekdays[date.wDayOfWeek % 7];
            return s.width == 3 ? name.substr(0, 3) : name;
        }
    }
    return {};
}

std::u16string formatDate(const std::vector<DateSegment>& segments, const SYSTEMTIME& date) {
    std::u16string text;
    for (const DateSegment& s : segments) text += formatSegment(s, date);
    return text;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

int dayOfWeek(int year, int month, int day) {
    // Day number 0 is 0000-03-01, a Wednesday.
    return static_cast<int>((dayNumber(year, month, day) + 3) % 7);
}

bool isValidDate(const SYSTEMTIME& d) {
    return d.wYear >= 1601 && d.wYear <= 9999 && d.wMonth >= 1 && d.wMonth <= 12 && d.wDay >= 1 &&
           d.wDay <= daysInMonth(d.wYear, d.wMonth);
}

SYSTEMTIME addDays(const SYSTEMTIME& date, int days) {
    long n = dayNumber(date.wYear, date.wMonth, date.wDay) + days;
    n = std::clamp(n, dayNumber(1601, 1, 1), dayNumber(9999, 12, 31));
    return fromDayNumber(n, date);
}

SYSTEMTIME addMonths(const SYSTEMTIME& date, int months) {
    long index = static_cast<long>(date.wYear) * 12 + (date.wMonth - 1) + months;
    index = std::clamp(index, 1601L * 12, 9999L * 12 + 11);
    SYSTEMTIME out = date;
    out.wYear = static_cast<WORD>(index / 12);
    out.wMonth = static_cast<WORD>(index % 12 + 1);
    out.wDay = static_cast<WORD>(std::min<int>(date.wDay, daysInMonth(out.wYear, out.wMonth)));
    out.wDayOfWeek = static_cast<WORD>(dayOfWeek(out.wYear, out.wMonth, out.wDay));
    return out;
}

SYSTEMTIME today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(local.tm_year + 1900);
    t.wMonth = static_cast<WORD>(local.tm_mon + 1);
    t.wDay = static_cast<WORD>(local.tm_mday);
    t.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    t.wHour = static_cast<WORD>(local.tm_hour);
    t.wMinute = static_cast<WORD>(local.tm_min);
    t.wSecond = static_cast<WORD>(local.tm_sec);
    return t;
}

}  // namespace veltrix::platform::controls
