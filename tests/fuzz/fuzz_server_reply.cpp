// The registration server's reply: whatever comes back, the result is
// consistent, and reading it takes one pass (run with a large -max_len, so a
// quadratic reader shows as a timeout).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "exchange/server_reply.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const regwiz::exchange::ServerReply reply = regwiz::exchange::ParseWebData(text);

    // A member ID is a granted sign-up: never empty, never a failure, and one line.
    if (reply.memberId) {
        FUZZ_CHECK(!reply.failed);
        FUZZ_CHECK(!reply.memberId->empty());
        FUZZ_CHECK(reply.memberId->find("\r\n") == std::string::npos);
    }
    // A reply that was read either granted an ID or failed.
    if (reply.readable)
        FUZZ_CHECK(reply.failed != reply.memberId.has_value());
    // One that could not be read grants nothing and says why.
    if (!reply.readable) {
        FUZZ_CHECK(!reply.memberId);
        FUZZ_CHECK(!reply.failed);
        FUZZ_CHECK(!reply.message.empty());
    }
    return 0;
}
