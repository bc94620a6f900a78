#pragma once

#include <map>

#include "platform/registry.h"

struct HKEY__;

namespace regwiz::platform::win32 {

// The real registry through the "A" functions. Names are converted to
// Windows-1252 on the way in; status codes are Windows' own. The port's
// 32-bit key numbers stand for the HKEYs opened here.
class Win32Registry final : public Registry {
public:
    Win32Registry() = default;
    ~Win32Registry() override;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;

    long OpenKey(Hive hive, std::string_view subKey, KeyAccess access, KeyHandle& key) override;
    long CreateKey(Hive hive, std::string_view subKey, KeyHandle& key) override;
    long QueryValue(KeyHandle key, std::string_view name, std::uint32_t& type,
                    std::span<std::uint8_t> buffer, std::uint32_t& size) override;
    long SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                  std::span<const std::uint8_t> data) override;
    long CloseKey(KeyHandle key) override;
    long DeleteKey(Hive hive, std::string_view subKey) override;

private:
    KeyHandle Remember(HKEY__* opened);
    HKEY__* Find(KeyHandle key) const;

    std::map<KeyHandle, HKEY__*> opened_;
    KeyHandle next_ = 1;
};

} // namespace regwiz::platform::win32
