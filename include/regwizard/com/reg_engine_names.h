#pragma once

// The names and numbers of the component's COM contract that do not depend on
// how a platform spells COM's types: the class's ProgID, the type library's
// version, the GUIDs as the registry writes them, and the dispatch ids of the
// members and events. The COM layer of every platform, and its tests, read
// them from here; RegWizard.idl states the same identities for the type
// library (the Windows build checks that the two agree).

#include <cstdint>

namespace regwizard::com {

inline constexpr char kRegEngineProgId[] = "RegWizard.RegEngine";
inline constexpr char kRegEngineClassName[] = "RegEngine";
inline constexpr char kTypeLibName[] = "RegWizard";

// Type library RegWizard 1.1, locale 1033.
inline constexpr std::uint16_t kLibMajor = 1;
inline constexpr std::uint16_t kLibMinor = 1;
inline constexpr std::uint32_t kLibLcid = 1033;
inline constexpr char kLibVersionText[] = "1.1";

// As StringFromGUID2 writes them.
inline constexpr char kLibIdText[] = "{D4E6CBD2-016B-11D3-AF9D-00A0245356AA}";
inline constexpr char kRegEngineClsidText[] = "{D4E6CBD4-016B-11D3-AF9D-00A0245356AA}";
inline constexpr char kRegEngineIidText[] = "{63A712EB-11F1-11D3-8739-00104B7930FA}";
inline constexpr char kRegEngineEventsIidText[] = "{63A712EC-11F1-11D3-8739-00104B7930FA}";

// A member of _RegEngine or an event of __RegEngine, as hosts find it by name.
struct NamedDispId {
    const char* name;
    std::int32_t id;
};

inline constexpr std::int32_t kDispIdUnloadSplash = 0x60030002;
inline constexpr std::int32_t kDispIdCancelRegistration = 0x60030003;
inline constexpr std::int32_t kDispIdLogEvents = 0x40030004;

inline constexpr NamedDispId kRegEngineMembers[] = {
    {"UnloadSplash", kDispIdUnloadSplash},
    {"CancelRegistration", kDispIdCancelRegistration},
    {"m_boolLogEvents", kDispIdLogEvents},
};

// Neither event has arguments.
inline constexpr std::int32_t kDispIdIsLoaded = 1;
inline constexpr std::int32_t kDispIdRegCanceled = 2;

inline constexpr NamedDispId kRegEngineEvents[] = {
    {"IsLoaded", kDispIdIsLoaded},
    {"RegCanceled", kDispIdRegCanceled},
};

} // namespace regwizard::com
