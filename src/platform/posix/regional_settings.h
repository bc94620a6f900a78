#pragma once

#include <string>

#include "platform/regional_settings.h"

namespace regwiz::platform::posix {

// The regional settings of a POSIX locale: its LC_TIME names and forms and its
// LC_NUMERIC marks. The environment's locale is read anew on every call.
class LocaleSettings final : public RegionalSettings {
public:
    // "" names the environment's locale; an unknown name means the C locale.
    explicit LocaleSettings(std::string locale = "") : locale_(std::move(locale)) {}

    std::string LongTime(const LocalTime& t) const override;
    std::string LongDate(const LocalTime& t) const override;
    std::string DecimalSeparator() const override;
    std::string ThousandsSeparator() const override;

private:
    std::string NumericItem(int item) const;

    std::string locale_;
};

} // namespace regwiz::platform::posix
