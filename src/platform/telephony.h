#pragma once

#include <string>

namespace regwiz::platform {

// tapiGetLocationInfo: the telephony service's current dialling location.
class Telephony {
public:
    virtual ~Telephony() = default;
    // 0 and the country and city codes, or a non-zero error.
    virtual long GetLocationInfo(std::string& countryCode, std::string& cityCode) = 0;
};

} // namespace regwiz::platform
