// regwizard-regsvr: registers or unregisters an in-process COM server, as
// regsvr32 does on Windows, by calling its DllRegisterServer or
// DllUnregisterServer. The registry is the one in $QUORVALE_REGISTRY.
//
//   regwizard-regsvr [/u] [/s] LIBRARY.so
//
// Exit codes: 0 done, 1 wrong arguments, 3 the library cannot be loaded,
// 4 it lacks the entry point, 5 the entry point failed.
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "regwizard/com/create_instance.h"

namespace {

constexpr int kDone = 0;
constexpr int kUsage = 1;
constexpr int kCannotLoad = 3;
constexpr int kNoEntryPoint = 4;
constexpr int kCallFailed = 5;

struct Options {
    bool unregister = false;
    bool silent = false;
    std::string library;
};

bool IsSwitch(std::string_view arg, char letter)
{
    return arg.size() == 2 && (arg[0] == '/' || arg[0] == '-')
           && (arg[1] == letter || arg[1] == letter - 'a' + 'A');
}

bool Parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (IsSwitch(arg, 'u'))
            options.unregister = true;
        else if (IsSwitch(arg, 's'))
            options.silent = true;
        else if (options.library.empty() && !arg.empty())
            options.library = arg; // may start with "/": switches are only the two above
        else
            return false;
    }
    return !options.library.empty();
}

std::string Hex(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

// Failures are reported even with /s: a script needs to know why it stopped.
int Report(const Options& options, const char* entry, const regwizard::com::EntryCall& call)
{
    using Outcome = regwizard::com::EntryCall::Outcome;
    const std::string& library = options.library;
    switch (call.outcome) {
    case Outcome::CannotLoad:
        std::cerr << "regwizard-regsvr: cannot load " << library << ": " << call.error << '\n';
        return kCannotLoad;
    case Outcome::NoEntryPoint:
        std::cerr << "regwizard-regsvr: " << library << " has no entry point " << entry
                  << "; it is not a self-registering server\n";
        return kNoEntryPoint;
    case Outcome::Called:
        break;
    }
    if (FAILED(call.result)) {
        std::cerr << "regwizard-regsvr: " << entry << " in " << library << " failed with "
                  << Hex(call.result) << '\n';
        return kCallFailed;
    }
    if (!options.silent)
        std::cout << "regwizard-regsvr: " << entry << " in " << library << " succeeded\n";
    return kDone;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!Parse(argc, argv, options)) {
        std::cerr << "usage: regwizard-regsvr [/u] [/s] LIBRARY.so\n"
                     "  /u  unregister instead of register\n"
                     "  /s  silent: no message when it succeeds\n";
        return kUsage;
    }
    const char* entry = options.unregister ? "DllUnregisterServer" : "DllRegisterServer";
    return Report(options, entry, regwizard::com::CallServerEntry(options.library, entry));
}
