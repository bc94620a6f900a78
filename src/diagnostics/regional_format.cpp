#include "diagnostics/regional_format.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace regwiz::diagnostics {
namespace {

// The time-related categories of one locale, released when done.
class TimeLocale {
public:
    explicit TimeLocale(const char* name)
        : locale_(newlocale(LC_TIME_MASK, name, static_cast<locale_t>(nullptr)))
    {
        if (locale_ == static_cast<locale_t>(nullptr))
            locale_ = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    }
    ~TimeLocale() { freelocale(locale_); }
    TimeLocale(const TimeLocale&) = delete;
    TimeLocale& operator=(const TimeLocale&) = delete;

    std::string Item(nl_item item) const { return nl_langinfo_l(item, locale_); }

    // A 12-hour clock with AM / PM: locales whose time form says so, and those
    // that write the month first, as the United States (and the C locale) do.
    bool UsesTwelveHours() const
    {
        const std::string format = Item(T_FMT);
        const bool twelve = format.find("%r") != std::string::npos
                            || format.find("%I") != std::string::npos
                            || format.find("%l") != std::string::npos;
        return (twelve || MonthFirst()) && !Item(AM_STR).empty();
    }

    // Month before day in the short date form, as in the United States.
    bool MonthFirst() const
    {
        const std::string format = Item(D_FMT);
        auto month = format.find("%m");
        auto day = format.find("%d");
        return month != std::string::npos && (day == std::string::npos || month < day);
    }

private:
    locale_t locale_;
};

// printf into a short text; the compiler checks every call's pattern.
[[gnu::format(printf, 1, 2)]] std::string Format(const char* pattern, ...)
{
    char buffer[32];
    std::va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(buffer, sizeof buffer, pattern, arguments);
    va_end(arguments);
    return buffer;
}

} // namespace

std::string LongTime(const platform::LocalTime& t, const char* locale)
{
    TimeLocale names(locale);
    if (!names.UsesTwelveHours())
        return Format("%02d:%02d:%02d", t.hour, t.minute, t.second);
    const int hour = t.hour % 12 == 0 ? 12 : t.hour % 12; // "h:mm:ss tt"
    return Format("%d:%02d:%02d", hour, t.minute, t.second) + " "
           + names.Item(t.hour < 12 ? AM_STR : PM_STR);
}

std::string LongDate(const platform::LocalTime& t, const char* locale)
{
    TimeLocale names(locale);
    const std::string weekday = names.Item(static_cast<nl_item>(DAY_1 + t.weekday % 7));
    const std::string month = names.Item(static_cast<nl_item>(MON_1 + (t.month + 11) % 12));
    if (names.MonthFirst()) // "dddd, MMMM dd, yyyy"
        return weekday + ", " + month + " " + Format("%02d, %d", t.day, t.year);
    return weekday + " " + Format("%d ", t.day) + month + " " + Format("%d", t.year);
}

std::string LongTime(const platform::LocalTime& t)
{
    return LongTime(t, "");
}

std::string LongDate(const platform::LocalTime& t)
{
    return LongDate(t, "");
}

} // namespace regwiz::diagnostics
