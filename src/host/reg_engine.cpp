// The component's public face for host programs.
#include "regwizard/reg_engine.h"

#include <optional>
#include <stdexcept>

#include "host/reg_engine_object.h"

#ifdef REGWIZ_DEFAULT_PLATFORM
#include "platform/default_platform.h"
#endif

namespace regwizard {
namespace {

// The one component of this process, made with the platform the host chose.
std::optional<regwiz::platform::Ports>& ChosenPlatform()
{
    static std::optional<regwiz::platform::Ports> ports;
    return ports;
}

#ifdef REGWIZ_DEFAULT_PLATFORM
// Without a platform of the host's choosing: this computer's, with its window.
regwiz::host::Component& DefaultComponent()
{
    regwiz::platform::DefaultPlatform& platform = regwiz::platform::TheDefaultPlatform();
    static regwiz::host::Component component(platform.ThePorts());
    component.viewFactory = platform.ViewFactory();
    return component;
}
#endif

regwiz::host::Component& TheComponent()
{
    if (!ChosenPlatform()) {
#ifdef REGWIZ_DEFAULT_PLATFORM
        return DefaultComponent();
#else
        throw std::logic_error("regwizard::UsePlatform must be called before creating a RegEngine");
#endif
    }
    static regwiz::host::Component component(*ChosenPlatform());
    return component;
}

} // namespace

struct RegEngine::Impl {
    explicit Impl(RegEngineEvents* events) : object(TheComponent(), events) {}
    regwiz::host::RegEngineObject object;
};

RegEngine::RegEngine(RegEngineEvents* events) : impl_(std::make_unique<Impl>(events)) {}

RegEngine::~RegEngine() = default;

void RegEngine::UnloadSplash()
{
    impl_->object.UnloadSplash();
}

void RegEngine::CancelRegistration()
{
    impl_->object.CancelRegistration();
}

bool RegEngine::m_boolLogEvents() const
{
    return impl_->object.m_boolLogEvents;
}

void RegEngine::m_boolLogEvents(bool on)
{
    impl_->object.m_boolLogEvents = on;
}

void UsePlatform(const regwiz::platform::Ports& ports)
{
    ChosenPlatform().emplace(ports);
}

} // namespace regwizard
