// Dates as the date picker shows them: its display format, parsed into
// fields and literal text, and the calendar arithmetic it needs.
//
// Format letters: "y" runs give the year ("yy" its last two digits, any other
// run the full year), "M" the month ("MM" two digits, "MMM" and "MMMM" its
// English name), "d" the day ("dd" two digits, "ddd" and "dddd" the weekday's
// English name). Text in single quotes is literal ("''" is a quote); an
// unclosed quote runs to the end. Every other character is literal.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

namespace veltrix::platform::controls {

enum class DateField { Literal, Year, Month, Day, Weekday };

struct DateSegment {
    DateField field = DateField::Literal;
    int width = 0;           // the letter count
    std::u16string literal;  // Literal only
};

std::vector<DateSegment> parseDateFormat(const std::u16string& format);
std::u16string formatSegment(const DateSegment& segment, const SYSTEMTIME& date);
std::u16string formatDate(const std::vector<DateSegment>& segments, const SYSTEMTIME& date);

bool isLeapYear(int year);
int daysInMonth(int year, int month);
// 0 Sunday to 6 Saturday (proleptic Gregorian).
int dayOfWeek(int year, int month, int day);
// A date of years 1601 to 9999 with a real day of its month.
bool isValidDate(const SYSTEMTIME& date);
// Moves by days (any sign), crossing months and years; stays within 1601 to 9999.
SYSTEMTIME addDays(const SYSTEMTIME& date, int days);
// Moves by months, the day cut to the new month's length.
SYSTEMTIME addMonths(const SYSTEMTIME& date, int months);
SYSTEMTIME today();

}  // namespace veltrix::platform::controls
