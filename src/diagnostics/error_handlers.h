#pragma once

#include "platform/ports.h"

namespace regwiz::diagnostics {

// The standard report of a condition the member cannot get past alone: asks
// him to call technical support and quote `errorNumber`. Resets the screen's
// mouse pointer first; blocks until the box is closed.
void TerminalError(platform::Ports& ports, long errorNumber);

} // namespace regwiz::diagnostics
