// A host built against an installed RegWizard alone: it creates the RegEngine,
// lets the wizard load hidden, cancels it and releases the object, checking
// that the component raised RegCanceled to it.
#include <regwizard/reg_engine.h>

#include <iostream>

namespace {

class Events final : public regwizard::RegEngineEvents {
public:
    void IsLoaded() override { ++loaded; }
    void RegCanceled() override { ++canceled; }
    int loaded = 0;
    int canceled = 0;
};

} // namespace

int main()
{
    Events events;
    {
        regwizard::RegEngine engine(&events);
        engine.CancelRegistration();
    }
    if (events.loaded != 0 || events.canceled != 1) {
        std::cerr << "install-host: IsLoaded " << events.loaded << " times, RegCanceled "
                  << events.canceled << " times; expected 0 and 1\n";
        return 1;
    }
    std::cout << "install-host: created and released a RegEngine\n";
    return 0;
}
