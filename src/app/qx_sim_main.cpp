// qx-sim: a virtual processor on a pseudo-terminal. Prints the terminal's path and answers the
// editor's frames until it is stopped (Ctrl+C).

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "ParameterSet.h"
#include "PtyServer.h"
#include "VirtualProcessor.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
    stopRequested = 1;
}

void Usage() {
    std::fprintf(stderr,
                 "usage: qx-sim [options]\n"
                 "  --bank FILE        start from a bank file (.dat, 57019 bytes)\n"
                 "  --silent           never answer\n"
                 "  --reject N         answer every Nth parameter frame with status 2\n"
                 "  --corrupt N        spoil the checksum of every Nth reply\n"
                 "  --alt-header       start replies with 03 CC\n"
                 "  --chunk N          write replies in chunks of N bytes\n"
                 "  --chunk-gap MS     extra pause between chunks (default 0)\n"
                 "  --processing MS    the processor's own answer time (default 3)\n"
                 "  --store-permission B  data byte of the probe's answer (default 1)\n");
}

}  // namespace

int main(int argc, char** argv) {
    using namespace qx;
    SimOptions options;
    std::string bank;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--bank") {
            bank = value();
        } else if (a == "--silent") {
            options.silent = true;
        } else if (a == "--reject") {
            options.rejectEvery = std::atoi(value());
        } else if (a == "--corrupt") {
            options.corruptEvery = std::atoi(value());
        } else if (a == "--alt-header") {
            options.altHeader = true;
        } else if (a == "--chunk") {
            options.chunkSize = std::atoi(value());
        } else if (a == "--chunk-gap") {
            options.chunkGapMs = std::atoi(value());
        } else if (a == "--processing") {
            options.processingMs = std::atoi(value());
        } else if (a == "--store-permission") {
            options.storePermission = std::atoi(value());
        } else {
            Usage();
            return a == "--help" || a == "-h" ? 0 : 2;
        }
    }

    // The processor starts from the editor's start-up defaults, copied into its own image.
    ResetParameters();
    CVirtualProcessor processor(ParameterSet, options);
    if (!bank.empty()) {
        std::string error;
        if (!processor.LoadBankFile(bank, &error)) {
            std::fprintf(stderr, "qx-sim: %s\n", error.c_str());
            return 1;
        }
    }
    CPtyServer server(processor);
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "qx-sim: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::printf("%s\n", server.Path().c_str());
    std::fflush(stdout);
    while (stopRequested == 0) {
        pause();
    }
    server.Stop();
    return 0;
}
