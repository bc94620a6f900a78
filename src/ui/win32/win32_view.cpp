#include "platform/win32/win32_platform_parts.h"

namespace regwiz::platform::win32 {

// The wizard runs on its form model alone until it has a window of standard
// controls here: a form loaded without a view has no window, as in a
// scenario's model mode.
wizard::FormViewFactory MakeWin32ViewFactory()
{
    return {};
}

} // namespace regwiz::platform::win32
