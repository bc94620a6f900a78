// regwizard-run: plays scenario files against the registration wizard.
#include <cstring>
#include <iostream>

#include "regwizard-run/run_platform.h"
#include "regwizard-run/runner.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#ifdef REGWIZ_RUNNER_GUI
#include <QApplication>
#include <memory>
#endif

namespace {

int Usage()
{
    std::cerr << "usage: regwizard-run [--gui] [--shots DIR] [--home DIR] SCENARIO...\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // The transcript's lines end in LF alone, as on Linux, so tools that read
    // it (expect-error.sh, the fault loop) read both alike.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    regwiz::runner::RunOptions options;
    std::vector<std::filesystem::path> scenarios;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--gui") {
            options.gui = true;
        } else if ((arg == "--shots" || arg == "--home") && i + 1 < argc) {
            (arg == "--shots" ? options.shots : options.home) = argv[++i];
        } else if (arg.starts_with("--")) {
            return Usage();
        } else {
            scenarios.emplace_back(arg);
        }
    }
    if (scenarios.empty())
        return Usage();
#ifdef REGWIZ_RUNNER_GUI
    std::unique_ptr<QApplication> app;
    if (options.gui) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
#elif !defined(REGWIZ_RUNNER_WIN32_GUI)
    if (options.gui) {
        std::cerr << "regwizard-run: this build has no window (--gui needs the Qt build)\n";
        return 2;
    }
#endif

    int worst = 0;
    int passed = 0;
    for (const auto& scenario : scenarios) {
        const auto outcome = regwiz::runner::RunScenario(scenario, options, std::cout);
        worst = std::max(worst, static_cast<int>(outcome));
        passed += outcome == regwiz::runner::Outcome::Passed ? 1 : 0;
    }
    regwiz::runner::ReportFileReplacements();
    std::cout << "scenarios: " << passed << " passed, " << scenarios.size() - passed << " failed\n";
    return worst;
}
