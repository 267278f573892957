#include "SimCommandLine.h"

#include <csignal>
#include <ostream>

#include <pthread.h>

#include "ParameterSet.h"
#include "PtyServer.h"
#include "VirtualProcessor.h"

namespace qx {

namespace {

// A whole-number option and the values it accepts.
struct CountOption {
    const char* name;
    int SimOptions::*target;
    int minimum;
    int maximum;
    const char* meaning;
};

constexpr int kMaxEvery = 1000000;
constexpr int kMaxFrame = 4230;
constexpr int kMaxMs = 60000;

const CountOption kCounts[] = {
    {"--reject", &SimOptions::rejectEvery, 0, kMaxEvery, "a count (0 = never)"},
    {"--corrupt", &SimOptions::corruptEvery, 0, kMaxEvery, "a count (0 = never)"},
    {"--chunk", &SimOptions::chunkSize, 1, kMaxFrame, "a size in bytes"},
    {"--chunk-gap", &SimOptions::chunkGapMs, 0, kMaxMs, "milliseconds"},
    {"--processing", &SimOptions::processingMs, 0, kMaxMs, "milliseconds"},
    {"--store-permission", &SimOptions::storePermission, 0, 255, "a byte"},
};

bool ParseWhole(const std::string& text, int minimum, int maximum, int& value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const long v = std::stol(text);
    if (v < minimum || v > maximum) {
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

}  // namespace

CSimCommandLine::Action CSimCommandLine::Parse(const std::vector<std::string>& args,
                                               std::string& error) {
    m_options = SimOptions{};
    m_bank.clear();
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool inlineValue = false;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        if (name == "--help" || name == "-h") {
            return Action::Help;
        }
        if (name == "--version") {
            return Action::Version;
        }
        if (name == "--silent" || name == "--alt-header") {
            if (inlineValue) {
                error = "option " + name + " takes no value";
                return Action::Usage;
            }
            (name == "--silent" ? m_options.silent : m_options.altHeader) = true;
            continue;
        }
        const CountOption* count = nullptr;
        for (const CountOption& c : kCounts) {
            if (name == c.name) {
                count = &c;
            }
        }
        if (count == nullptr && name != "--bank") {
            error = name.rfind("-", 0) == 0 ? "unknown option " + name
                                            : "unexpected argument '" + name + "'";
            return Action::Usage;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                error = "option " + name + " needs a value";
                return Action::Usage;
            }
            value = args[++i];
        }
        if (count == nullptr) {
            if (value.empty()) {
                error = "--bank needs a file name";
                return Action::Usage;
            }
            m_bank = value;
        } else if (!ParseWhole(value, count->minimum, count->maximum, m_options.*count->target)) {
            error = name + " takes " + count->meaning + " from " + std::to_string(count->minimum) +
                    " to " + std::to_string(count->maximum) + ", not '" + value + "'";
            return Action::Usage;
        }
    }
    return Action::Serve;
}

std::string CSimCommandLine::HelpText(const std::string& command) {
    const SimOptions d;
    return "Usage: " + command +
           " [options]\n\n"
           "Runs a virtual processor on a pseudo-terminal and prints its path; stop it\n"
           "with Ctrl+C.\n\n"
           "  --bank FILE           start from an all-programs file (.dat, 57019 bytes)\n"
           "  --silent              never answer\n"
           "  --reject N            answer every Nth parameter frame with status 2\n"
           "  --corrupt N           spoil the checksum of every Nth reply\n"
           "  --alt-header          start replies with 03 CC\n"
           "  --chunk N             write replies in chunks of N bytes (1.." +
           std::to_string(kMaxFrame) +
           ")\n"
           "  --chunk-gap MS        extra pause between chunks (default " +
           std::to_string(d.chunkGapMs) +
           ")\n"
           "  --processing MS       the processor's own answer time (default " +
           std::to_string(d.processingMs) +
           ")\n"
           "  --store-permission B  data byte of the probe's answer, 0..255 (default " +
           std::to_string(d.storePermission) +
           ")\n"
           "  --version             print the version\n";
}

int CSimCommandLine::Serve(std::ostream& out, std::ostream& err, const std::string& who) const {
    // The processor starts from the editor's start-up defaults, copied into its own image.
    ResetParameters();
    CVirtualProcessor processor(ParameterSet, m_options);
    std::string error;
    if (!m_bank.empty() && !processor.LoadBankFile(m_bank, &error)) {
        err << who << ": " << error << "\n";
        return 1;
    }
    // The stop signals are blocked before the serving thread starts (it inherits the mask)
    // and taken with sigwait, so one that arrives at any moment is never missed.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &stops, &previous);
    int code = 0;
    {
        CPtyServer server(processor);
        if (!server.Start(&error)) {
            err << who << ": " << error << "\n";
            code = 1;
        } else {
            out << server.Path() << std::endl;
            int signal = 0;
            while (sigwait(&stops, &signal) != 0) {
            }
            server.Stop();
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return code;
}

}  // namespace qx
