#include "EqFitCommand.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>

#include "CurveSets.h"
#include "DataConver.h"
#include "DeviceSession.h"
#include "EqTextImport.h"
#include "MeasurementReader.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "Qxctl.h"
#include "RoomFitImage.h"
#include "SceneSelector.h"

namespace qx {

namespace {

constexpr const char* kName = "eq-fit";

std::string Fixed(const char* format, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

bool ParseNumber(const std::string& text, double low, double high, double& v) {
    char* end = nullptr;
    v = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && std::isfinite(v) && v >= low &&
           v <= high;
}

// "20-500" in hertz, rising, within the equaliser's frequencies.
bool ParseRange(const std::string& text, double& low, double& high) {
    const auto dash = text.find('-', 1);
    return dash != std::string::npos && ParseNumber(text.substr(0, dash), 10.0, 24000.0, low) &&
           ParseNumber(text.substr(dash + 1), 10.0, 24000.0, high) && high > low;
}

// "pk,ls,hs" in any order and case.
bool ParseTypes(std::string text, FitOptions& o) {
    o.allowPeaking = o.allowLowShelf = o.allowHighShelf = false;
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const auto comma = text.find(',', pos);
        const std::string word =
            text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        if (word == "pk") {
            o.allowPeaking = true;
        } else if (word == "ls") {
            o.allowLowShelf = true;
        } else if (word == "hs") {
            o.allowHighShelf = true;
        } else {
            return false;
        }
        if (comma == std::string::npos) {
            break;
        }
        pos = comma + 1;
    }
    return true;
}

struct FitRequest {
    int eq = 0;
    int scene = 0;
    int smoothing = 0;
    std::string file;
    bool device = false;
    FitOptions options;
    GridCurve measurement{};
    GridCurve target{};
    int failure = 2;  // bad usage, or 1 for a file that cannot be read
};

// Reads every option; false after the usage error was reported.
bool ParseRequest(CQxctl& cli, const CCommandArgs& a, FitRequest& r) {
    auto usage = [&cli](const std::string& message) {
        cli.Fail(kName, message + " (see qxctl eq-fit --help)", 2);
        return false;
    };
    if (!a.Has("--eq") || !CCommandArgs::ParseInt(a.Value("--eq"), 0, kEqNumberCount - 1, r.eq)) {
        return usage("--eq N is needed, N from 0 to 17");
    }
    if (a.Has("--scene") && !CCommandArgs::ParseInt(a.Value("--scene"), 1, kSceneCount, r.scene)) {
        return usage("--scene is 1 (Sing), 2 (Disco) or 3 (Decode)");
    }
    r.device = a.Has("--port");
    const auto& words = a.Positional();
    if (words.size() != (r.device ? 1u : 2u)) {
        return usage(r.device && words.size() > 1 ? "give a program file or --port, not both"
                                                  : "expected MEASUREMENT and a program file "
                                                    "FILE.dia or --port PATH");
    }
    if (!r.device) {
        r.file = words[1];
    }
    if (a.Has("--range") && !ParseRange(a.Value("--range"), r.options.lowHz, r.options.highHz)) {
        return usage("--range is LOW-HIGH in Hz, e.g. 20-500");
    }
    if (a.Has("--bands") &&
        !CCommandArgs::ParseInt(a.Value("--bands"), 1, 25, r.options.maxBands)) {
        return usage("--bands is 1 to 25");
    }
    if (a.Has("--max-boost") &&
        !ParseNumber(a.Value("--max-boost"), 0.0, 24.0, r.options.maxBoostDb)) {
        return usage("--max-boost is 0 (cuts only) to 24 dB");
    }
    if (a.Has("--cuts-only")) {
        r.options.maxBoostDb = 0.0;
    }
    if (a.Has("--types") && !ParseTypes(a.Value("--types"), r.options)) {
        return usage("--types is a list of pk, ls and hs, e.g. pk,ls");
    }
    r.options.keepBands = a.Has("--keep");
    if (a.Has("--smooth")) {
        std::string s = a.Value("--smooth");
        if (s.rfind("1/", 0) == 0) {
            s = s.substr(2);
        }
        bool known = false;
        if (CCommandArgs::ParseInt(s, 0, 48, r.smoothing)) {
            for (int n : kSmoothingChoices) {
                known = known || n == r.smoothing;
            }
        }
        if (!known) {
            return usage("--smooth is 0 (none) or 1/N octave for N of 1, 2, 3, 6, 12, 24, 48");
        }
    }
    r.failure = 1;
    const MeasurementResult m = CMeasurementReader::ReadFile(words[0]);
    if (!m.Ok()) {
        cli.Fail(kName,
                 (m.error.line > 0 ? words[0] + " line " + std::to_string(m.error.line) + ": "
                                   : std::string()) +
                     m.error.reason);
        return false;
    }
    r.measurement = CRoomCurve::FromMeasurement(m.data, r.smoothing);
    RoomTarget target;
    const std::string t = a.Value("--target", "flat");
    if (t != "flat") {
        const MeasurementResult h = CMeasurementReader::ReadFile(t);
        if (!h.Ok()) {
            cli.Fail(kName, (h.error.line > 0 ? t + " line " + std::to_string(h.error.line) + ": "
                                              : std::string()) +
                                h.error.reason);
            return false;
        }
        target.kind = RoomTarget::Kind::House;
        target.house = h.data;
    }
    r.target = target.OnGrid();
    return true;
}

void Report(CQxctl& cli, const FitRequest& r, const FitResult& f) {
    std::ostream& out = cli.Out();
    out << EqName(r.eq) << " (equaliser " << r.eq << "), fitted over "
        << Fixed("%g", r.options.lowHz) << "-" << Fixed("%g", r.options.highHz) << " Hz:\n";
    for (std::size_t b = 0; b < f.bands.size(); ++b) {
        out << "  band " << b + 1 << (b + 1 < 10 ? "   " : "  ") << CRoomFit::Describe(f.bands[b])
            << (f.fitted[b]                      ? ""
                : f.bands[b].type != kTypeBypass ? "  (kept)"
                                                 : "")
            << "\n";
    }
    auto line = [&out](const char* what, const FitError& e) {
        out << what << Fixed("%.2f", e.rmsDb) << " dB RMS, worst " << Fixed("%+.2f", e.worstDb)
            << " dB at " << Fixed(e.worstHz < 101.0 ? "%.1f" : "%.0f", e.worstHz) << " Hz\n";
    };
    line("deviation before: ", f.before);
    line("deviation after:  ", f.after);
    out << "free optimum before rounding to codes: " << Fixed("%.2f", f.continuousRmsDb)
        << " dB RMS\n";
}

int FitDevice(CQxctl& cli, const CCommandArgs& a, const FitRequest& r) {
    CDeviceSession s(cli, kName, a);
    if (!s.Connect()) {
        return 1;
    }
    FitResult f;
    int scene = 0;
    {
        ParamGuard guard(ParamLock);
        scene = SceneInForce();
        if (r.eq >= kEqOutputFirst && r.eq <= kEqOutputLast && r.scene != 0 && r.scene != scene) {
            return cli.Fail(kName,
                            "only the output scene in force (" + std::to_string(scene) +
                                ") is sent band by band; fit a program file and push it",
                            2);
        }
        f = CRoomFit::Run(
            CRoomFitImage::Input(ParameterSet.program, r.eq, scene, r.measurement, r.target),
            r.options);
        if (!f.Ok()) {
            return cli.Fail(kName, f.error);
        }
        Report(cli, r, f);
        if (a.Has("--dry-run")) {
            cli.Out() << "dry run: the processor was not changed\n";
            return 0;
        }
        CRoomFitImage::Apply(f, ParameterSet.program, r.eq, scene);
    }
    if (!s.Settle(kSettleMs)) {
        s.Failed("the processor did not acknowledge every band");
        return 1;
    }
    // An equaliser the link does not send band by band would hold the bands only here.
    ParamGuard guard(ParamLock);
    const EqElements now = EqElementsOf(ParameterSet.program, r.eq, scene);
    const EqElements sent = EqElementsOf(SentImage.program, r.eq, scene);
    for (int b = 0; b < now.count; ++b) {
        if (!AtomicEqual(now.Band(b), sent.Band(b), sizeof(EqBand))) {
            return cli.Fail(kName, EqName(r.eq) +
                                       " is not sent band by band; fit a program file "
                                       "and push it");
        }
    }
    return 0;
}

}  // namespace

const char* CEqFitCommand::Usage() {
    return "eq-fit MEASUREMENT --eq N (FILE.dia | --port PATH) [--target FILE|flat] "
           "[--range 20-500] [--bands K] [--max-boost DB] [--dry-run]";
}

const char* CEqFitCommand::Help() {
    return "  MEASUREMENT  frequency and level (dB) per line, as measurement programs export\n"
           "               them; comment lines first; commas, tabs, spaces or semicolons\n"
           "  --target     a house curve file (frequency and dB per line) or flat (default)\n"
           "  --range      the frequencies to fit, in Hz (default 20-500)\n"
           "  --bands K    use at most K bands (default: all the fit may use)\n"
           "  --max-boost  the most a band may lift, in dB (default 24; 0 or --cuts-only:\n"
           "               cuts only)\n"
           "  --types      the band types allowed, e.g. pk,ls,hs (default all three)\n"
           "  --keep       keep the bands already set; fit only the bypassed ones\n"
           "  --smooth 1/N smooth the measurement to 1/N octave first (N 1..48; default none)\n"
           "  N, --scene S as for curve; --dry-run prints the fit and changes nothing\n"
           "  The deviation is the RMS difference from the target over the range, the target's\n"
           "  level matched to the result.\n";
}

int CEqFitCommand::Run(CQxctl& cli, const CCommandArgs& a) {
    FitRequest r;
    if (!ParseRequest(cli, a, r)) {
        return r.failure;
    }
    if (r.device) {
        return FitDevice(cli, a, r);
    }
    auto image = std::make_unique<ParamImage>();
    const FileResult read = CProgramFile::ReadProgram(r.file, *image);
    if (!read.ok) {
        return cli.Fail(kName, read.error);
    }
    int scene = r.scene;
    if (scene == 0) {
        const int mode = image->program.OutputMode;
        scene = mode >= 1 && mode <= kSceneCount ? mode : 1;
    }
    const FitResult f = CRoomFit::Run(
        CRoomFitImage::Input(image->program, r.eq, scene, r.measurement, r.target), r.options);
    if (!f.Ok()) {
        return cli.Fail(kName, f.error);
    }
    Report(cli, r, f);
    if (a.Has("--dry-run")) {
        cli.Out() << "dry run: " << r.file << " was not changed\n";
        return 0;
    }
    CRoomFitImage::Apply(f, image->program, r.eq, scene);
    const FileResult w = CProgramFile::WriteProgram(r.file, *image);
    return w.ok ? 0 : cli.Fail(kName, w.error);
}

}  // namespace qx
