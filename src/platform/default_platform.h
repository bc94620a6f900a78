#pragma once

#include "platform/ports.h"
#include "wizard/form_view.h"

namespace regwiz::platform {

// Every service the component needs on the computer it runs on, with the
// wizard's own window: what a host gets that chose no platform of its own.
// Each platform's assembly (linux_platform.cpp, windows_platform.cpp) says
// which adapters make it up.
class DefaultPlatform {
public:
    virtual ~DefaultPlatform() = default;
    virtual Ports& ThePorts() = 0;
    virtual wizard::FormViewFactory ViewFactory() const = 0;
};

// The one default platform of the process, made on first use on the host's
// user-interface thread; it also installs the platform's code page.
DefaultPlatform& TheDefaultPlatform();

} // namespace regwiz::platform
