#include "platform/posix/regional_settings.h"

#include <langinfo.h>
#include <locale.h>
#include <string>

namespace regwiz::platform::posix {
namespace {

// The categories of one locale, released when done.
class Locale {
public:
    Locale(int mask, const char* name, bool fallBackToC)
        : locale_(newlocale(mask, name, static_cast<locale_t>(nullptr)))
    {
        if (locale_ == static_cast<locale_t>(nullptr) && fallBackToC)
            locale_ = newlocale(mask, "C", static_cast<locale_t>(nullptr));
    }
    ~Locale()
    {
        if (Known())
            freelocale(locale_);
    }
    Locale(const Locale&) = delete;
    Locale& operator=(const Locale&) = delete;

    bool Known() const { return locale_ != static_cast<locale_t>(nullptr); }
    std::string Item(nl_item item) const { return nl_langinfo_l(item, locale_); }

private:
    locale_t locale_;
};

// The time-related categories of one locale.
class TimeLocale {
public:
    explicit TimeLocale(const char* name) : locale_(LC_TIME_MASK, name, true) {}

    std::string Item(nl_item item) const { return locale_.Item(item); }

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
    Locale locale_;
};

// "05": at least two digits.
std::string TwoDigits(int value)
{
    return (value < 10 ? "0" : "") + std::to_string(value);
}

} // namespace

std::string LocaleSettings::LongTime(const LocalTime& t) const
{
    TimeLocale names(locale_.c_str());
    if (!names.UsesTwelveHours())
        return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
    const int hour = t.hour % 12 == 0 ? 12 : t.hour % 12; // "h:mm:ss tt"
    return std::to_string(hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second) + " "
           + names.Item(t.hour < 12 ? AM_STR : PM_STR);
}

std::string LocaleSettings::LongDate(const LocalTime& t) const
{
    TimeLocale names(locale_.c_str());
    const std::string weekday = names.Item(static_cast<nl_item>(DAY_1 + t.weekday % 7));
    const std::string month = names.Item(static_cast<nl_item>(MON_1 + (t.month + 11) % 12));
    if (names.MonthFirst()) // "dddd, MMMM dd, yyyy"
        return weekday + ", " + month + " " + TwoDigits(t.day) + ", " + std::to_string(t.year);
    return weekday + " " + std::to_string(t.day) + " " + month + " " + std::to_string(t.year);
}

// An unknown locale names no marks, so the wizard keeps its own defaults.
std::string LocaleSettings::NumericItem(int item) const
{
    const Locale numeric(LC_NUMERIC_MASK, locale_.c_str(), false);
    return numeric.Known() ? numeric.Item(static_cast<nl_item>(item)) : std::string();
}

std::string LocaleSettings::DecimalSeparator() const
{
    return NumericItem(RADIXCHAR);
}

std::string LocaleSettings::ThousandsSeparator() const
{
    return NumericItem(THOUSEP);
}

} // namespace regwiz::platform::posix
