#include "com/server_support.h"

#include <atomic>

namespace regwiz::com {
namespace {

std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

} // namespace

void ObjectCreated()
{
    ++liveObjects;
}

void ObjectDestroyed()
{
    --liveObjects;
}

void AddServerLock()
{
    ++serverLocks;
}

void RemoveServerLock()
{
    long locks = serverLocks.load();
    while (locks > 0 && !serverLocks.compare_exchange_weak(locks, locks - 1)) {
    }
}

bool ServerInUse()
{
    return liveObjects.load() > 0 || serverLocks.load() > 0;
}

} // namespace regwiz::com
