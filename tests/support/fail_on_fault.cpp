// Linked into every test program that runs the component's own code: a fault
// there (an exception other than a run-time error, caught and reported so the
// member is not stranded) fails the test that caused it.
#include <gtest/gtest.h>

#include <string>

#include "diagnostics/faults.h"

namespace {

const regwiz::diagnostics::FaultWatch failOnFault([](std::string_view what) {
    ADD_FAILURE() << "fault in the component: " << what;
});

} // namespace
