#pragma once

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/files.h"
#include "platform/help.h"
#include "platform/inet.h"
#include "platform/message_box.h"
#include "platform/mouse_pointer.h"
#include "platform/profile_files.h"
#include "platform/ras_access.h"
#include "platform/regional_settings.h"
#include "platform/registry.h"
#include "platform/screen.h"
#include "platform/system_folders.h"
#include "platform/telephony.h"
#include "platform/volume.h"

namespace regwiz::platform {

// The platform services the component runs on, supplied by its host (or by a
// test) and shared by every part of the core.
struct Ports {
    Registry& registry;
    ProfileFiles& profiles;
    Files& files;
    MessageBoxes& boxes;
    MousePointer& pointer;
    Clock& clock;
    RegionalSettings& regional;
    SystemFolders& folders;
    EventLoop& loop;
    Help& help;
    VolumeInfo& volume;
    Screen& screen;
    Telephony& telephony;
    RasAccessFactory rasFactory;
    InetFactory inetFactory;
};

} // namespace regwiz::platform
