#include "SimulateCommand.h"

#include <csignal>
#include <ostream>

#include <unistd.h>

#include "CommandArgs.h"
#include "ParameterSet.h"
#include "PtyServer.h"
#include "Qxctl.h"
#include "VirtualProcessor.h"

namespace qx {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
    stopRequested = 1;
}

bool ParseCount(const std::string& text, int& value) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::stoi(text);
    return true;
}

}  // namespace

int CSimulateCommand::Run(CQxctl& cli, const std::vector<std::string>& args) {
    CCommandArgs a;
    std::string error;
    const std::vector<std::string> counts = {"--reject",    "--corrupt",    "--chunk",
                                             "--chunk-gap", "--processing", "--store-permission"};
    std::vector<std::string> valueOptions = counts;
    valueOptions.push_back("--bank");
    if (!a.Parse(args, valueOptions, {"--silent", "--alt-header"}, error)) {
        return cli.Fail("simulate", error + " (see qxctl simulate --help)", 2);
    }
    if (a.Has("--help")) {
        cli.Out() << "Usage: qxctl simulate [options]\n\n"
                     "Runs a virtual processor on a pseudo-terminal and prints its path; stop it\n"
                     "with Ctrl+C.\n\n"
                     "  --bank FILE        start from an all-programs file (.dat)\n"
                     "  --silent           never answer\n"
                     "  --reject N         answer every Nth parameter frame with status 2\n"
                     "  --corrupt N        spoil the checksum of every Nth reply\n"
                     "  --alt-header       start replies with 03 CC\n"
                     "  --chunk N          write replies in chunks of N bytes\n"
                     "  --chunk-gap MS     pause between chunks (default 2)\n"
                     "  --processing MS    the processor's own answer time (default 3)\n"
                     "  --store-permission B  store permission of the probe's answer (default 1)\n";
        return 0;
    }
    if (!a.Positional().empty()) {
        return cli.Fail("simulate", "unexpected argument '" + a.Positional()[0] + "'", 2);
    }
    SimOptions options;
    int* targets[] = {&options.rejectEvery, &options.corruptEvery, &options.chunkSize,
                      &options.chunkGapMs,  &options.processingMs, &options.storePermission};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (a.Has(counts[i]) && !ParseCount(a.Value(counts[i]), *targets[i])) {
            return cli.Fail("simulate", counts[i] + " needs a whole number", 2);
        }
    }
    options.silent = a.Has("--silent");
    options.altHeader = a.Has("--alt-header");

    ResetParameters();
    CVirtualProcessor processor(ParameterSet, options);
    if (a.Has("--bank") && !processor.LoadBankFile(a.Value("--bank"), &error)) {
        return cli.Fail("simulate", error);
    }
    CPtyServer server(processor);
    if (!server.Start(&error)) {
        return cli.Fail("simulate", error);
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    cli.Out() << server.Path() << std::endl;
    while (stopRequested == 0) {
        pause();
    }
    server.Stop();
    return 0;
}

}  // namespace qx
