#include "core/clock.h"

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace hosted {
namespace {

std::atomic<std::int64_t> g_now{0};
std::int64_t g_baseMs = 0; // local time at g_now == 0, in ms since 1970-01-01

std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int* y, unsigned* m, unsigned* d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (*m <= 2));
}

std::int64_t ToMs(const SYSTEMTIME& t) {
    std::int64_t days = DaysFromCivil(t.wYear, t.wMonth, t.wDay);
    return ((days * 24 + t.wHour) * 60 + t.wMinute) * 60000 + t.wSecond * 1000 + t.wMilliseconds;
}

// Rounds toward minus infinity, so that a time before 1970 falls into the
// day it belongs to instead of a negative time of day.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// What SYSTEMTIME can hold: 1601-01-01 00:00:00.000 to 30827-12-31 23:59:59.999.
const std::int64_t kFirstMs = ToMs(SYSTEMTIME{1601, 1, 0, 1, 0, 0, 0, 0});
const std::int64_t kLastMs = ToMs(SYSTEMTIME{30827, 12, 0, 31, 23, 59, 59, 999});

// Exactly `min` to `max` decimal digits, nothing else: no sign, no blanks.
bool Digits(const char*& text, int min, int max, unsigned* value) {
    int count = 0;
    *value = 0;
    while (count < max && std::isdigit(static_cast<unsigned char>(text[count]))) {
        *value = *value * 10 + static_cast<unsigned>(text[count] - '0');
        ++count;
    }
    text += count;
    return count >= min;
}

bool Literal(const char*& text, char c) {
    if (*text != c)
        return false;
    ++text;
    return true;
}

struct DefaultBase {
    DefaultBase() {
        SYSTEMTIME base{};
        ParseLocalTime("2026-12-07 05:58:09.000", &base);
        SetLocalTimeBase(base);
    }
} g_defaultBase;

} // namespace

std::int64_t VirtualNow() {
    return g_now;
}

void SetVirtualNow(std::int64_t now) {
    g_now = now;
}

void SetLocalTimeBase(const SYSTEMTIME& base) {
    g_baseMs = ToMs(base) - g_now;
}

SYSTEMTIME LocalTimeAt(std::int64_t now) {
    std::int64_t ms = g_baseMs + now;
    std::int64_t days = FloorDiv(ms, 86400000);
    std::int64_t rest = ms - days * 86400000;
    SYSTEMTIME t{};
    int year;
    unsigned month, day;
    CivilFromDays(days, &year, &month, &day);
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wDayOfWeek =
        static_cast<WORD>(days + 4 - FloorDiv(days + 4, 7) * 7); // 1970-01-01 was a Thursday
    t.wHour = static_cast<WORD>(rest / 3600000);
    t.wMinute = static_cast<WORD>(rest / 60000 % 60);
    t.wSecond = static_cast<WORD>(rest / 1000 % 60);
    t.wMilliseconds = static_cast<WORD>(rest % 1000);
    return t;
}

bool LocalTimeFits(std::int64_t now) {
    std::int64_t ms = g_baseMs + now;
    return ms >= kFirstMs && ms <= kLastMs;
}

bool ParseLocalTime(const char* text, SYSTEMTIME* time) {
    unsigned y, mo, d, h, mi, s, ms;
    if (!Digits(text, 4, 5, &y) || !Literal(text, '-') || !Digits(text, 2, 2, &mo) ||
        !Literal(text, '-') || !Digits(text, 2, 2, &d) || !Literal(text, ' ') ||
        !Digits(text, 2, 2, &h) || !Literal(text, ':') || !Digits(text, 2, 2, &mi) ||
        !Literal(text, ':') || !Digits(text, 2, 2, &s) || !Literal(text, '.') ||
        !Digits(text, 3, 3, &ms) || *text != '\0')
        return false;
    static const unsigned kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (y < 1601 || y > 30827 || mo < 1 || mo > 12 || d < 1 || d > kDays[mo - 1] ||
        (mo == 2 && d == 29 && !leap) || h > 23 || mi > 59 || s > 59)
        return false;
    *time = SYSTEMTIME{static_cast<WORD>(y), static_cast<WORD>(mo), 0,
                       static_cast<WORD>(d), static_cast<WORD>(h),  static_cast<WORD>(mi),
                       static_cast<WORD>(s), static_cast<WORD>(ms)};
    return true;
}

} // namespace hosted
