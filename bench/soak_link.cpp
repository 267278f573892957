// A long run of the real link against the virtual processor over a pseudo-terminal: random
// single-field edits (made without the lock, as the pages make them), recalls of stored
// programs and whole-program pushes from program files, for as long as asked. During each
// recall and push a second thread keeps editing fields without pause ("storm"), as dragged
// controls do, so an edit lost while a whole image is taken over shows. At every quiet point
// (queue empty, nothing left to synchronise, no frame but an idle poll awaiting its reply,
// processor not busy) the processor's image must equal the editor's.
//
//   soak_link [--seconds N] [--seed S] [--no-recalls] [--no-pushes] [--no-storm]
//             [--chunk N] [--chunk-gap MS] [--reject N] [--corrupt N]
// The last four make the virtual processor misbehave as qx-sim's options of the same names do.
//
// Prints the exchanges the processor answered, the quiet points checked, every mismatching
// field, and the resident memory at the start and at the end. Exits 1 on any mismatch, any
// link failure, or a quiet point that never came.

#include <QCoreApplication>
#include <QObject>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ChangeSync.h"
#include "CommProtocol.h"
#include "DeviceLink.h"
#include "DeviceModes.h"
#include "FrameRecord.h"
#include "LinkState.h"
#include "ParamCatalogue.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "PtyServer.h"
#include "SceneSelector.h"
#include "SimOptions.h"
#include "VirtualProcessor.h"

using namespace qx;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kQuietTimeoutMs = 30000;
constexpr int kMaxReportedFields = 8;

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

void Pump(int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    } while (Clock::now() < end);
}

// The bits of each byte of an item that its frame carries.
uint8_t CarriedBits(const SyncItem& item) {
    switch (item.kind) {
        case SyncKind::LowNibble:
            return 0x0F;
        case SyncKind::HighNibble:
            return 0xF0;
        case SyncKind::Plain:
            break;
    }
    return 0xFF;
}

// The fields the synchroniser carries when `scene` is in force, as the pages edit them: every
// bit of the field is sent by some parameter frame. Filter kinds and the output mode stay as
// they are (no page changes a filter's kind; the output mode moves the scene in force).
std::vector<const ParamField*> EditableFields(int scene) {
    std::vector<uint8_t> carried(sizeof(ParamImage), 0);
    for (const SyncItem& item : SyncItems()) {
        const int at = SyncItemOffset(item, scene);
        for (int i = 0; i < item.length; ++i) {
            carried[static_cast<std::size_t>(at + i)] |= CarriedBits(item);
        }
    }
    std::vector<const ParamField*> fields;
    for (const ParamField& f : CParamCatalogue::Fields()) {
        if (f.IsBytes() || f.kind == FieldKind::FilterKind || f.kind == FieldKind::OutputMode) {
            continue;
        }
        const uint8_t need = f.mask != 0 ? f.mask : 0xFF;
        bool sent = true;
        for (int i = 0; i < f.width; ++i) {
            sent = sent && (carried[static_cast<std::size_t>(f.offset + i)] & need) == need;
        }
        if (sent) {
            fields.push_back(&f);
        }
    }
    return fields;
}

class Soak {
  public:
    Soak(unsigned seed, bool recalls, bool pushes, bool storm, const SimOptions& processor)
        : m_withRecalls(recalls),
          m_withStorm(storm),
          m_withPushes(pushes),
          m_rng(seed),
          m_processor(StartImage(), processor),
          m_server(m_processor) {
        QObject::connect(&m_link, &CDeviceLink::programReceived, [this] { ++m_received; });
        QObject::connect(&m_link, &CDeviceLink::linkFailed, [this](int) { ++m_linkFailures; });
        m_modes = std::make_unique<CDeviceModes>(
            DeviceModeHooks{[this](uint8_t command, uint8_t argument) {
                                m_link.SendDeviceCommand(command, argument);
                            },
                            {},
                            {}});
        char folder[] = "/tmp/qx-soak-XXXXXX";
        if (mkdtemp(folder) != nullptr) {
            m_folder = folder;
        }
    }
    ~Soak() {
        EndStorm();
        m_link.DisconnectDevice();
        if (!m_folder.empty()) {
            std::remove((m_folder + "/push.dia").c_str());
            std::remove(m_folder.c_str());
        }
    }

    bool Start() {
        std::string error;
        if (m_folder.empty() || !m_server.Start(&error)) {
            std::fprintf(stderr, "soak: cannot start the virtual processor: %s\n", error.c_str());
            return false;
        }
        m_link.SetPortSource([this] {
            PortInfo p;
            p.devicePath = p.portName = p.comName = QString::fromStdString(m_server.Path());
            return std::vector<PortInfo>{p};
        });
        // Stored programs that differ from each other, so a recall that goes wrong shows.
        m_editable = EditableFields(SceneInForce());
        m_processor.Modify([this](ParamImage&, BankImage& bank) {
            for (ProgramImage& program : bank.programs) {
                ParamImage image{};
                image.program = program;
                Scramble(image, 60);
                program = image.program;
            }
        });
        m_link.ConnectDevice();
        const auto end = Clock::now() + std::chrono::seconds(30);
        while (m_received == 0 && Clock::now() < end) {
            Pump(5);
        }
        if (m_received == 0 || !online) {
            std::fprintf(stderr, "soak: the editor did not connect to %s (%ld link failures)\n",
                         m_server.Path().c_str(), m_linkFailures);
            return false;
        }
        return true;
    }

    // One burst of work, then the check at the quiet point that follows it.
    void Round() {
        const int action = static_cast<int>(m_rng() % 100);
        const int edits = static_cast<int>(m_rng() % 40);
        const int at = edits > 0 ? static_cast<int>(m_rng() % static_cast<unsigned>(edits)) : 0;
        for (int i = 0; i < edits; ++i) {
            if (i == at) {
                Bulk(action);
            }
            Edit();
            Pump(static_cast<int>(m_rng() % 25));
        }
        if (edits == 0) {
            Bulk(action);
        }
        Check();
    }

    void Report(double seconds) {
        std::printf(
            "soak: %.0f s, %ld exchanges, %ld edits (%ld in storms), %ld recalls, %ld pushes, %ld "
            "quiet points, "
            "%ld mismatches, %ld never quiet, %ld link failures, VmRSS %ld kB\n",
            seconds, m_exchanges, m_edits + m_stormEdits.load(), m_stormEdits.load(), m_recalls,
            m_pushes, m_quietPoints, m_mismatches, m_neverQuiet, m_linkFailures, ResidentKb());
        std::fflush(stdout);
    }

    bool Passed() const {
        return m_mismatches == 0 && m_linkFailures == 0 && m_neverQuiet == 0 && m_quietPoints > 0 &&
               online;
    }

  private:
    static ParamImage StartImage() {
        ResetParameters();
        return ParameterSet;
    }

    static void SetRandom(uint8_t* image, const ParamField& f, std::mt19937& rng) {
        const auto span = static_cast<unsigned>(f.maximum - f.minimum + 1);
        ParsedValue v;
        v.code = static_cast<uint32_t>(f.minimum) + rng() % span;
        CParamCatalogue::Apply(image, f, v);
    }

    void Scramble(ParamImage& image, int changes) {
        for (int i = 0; i < changes; ++i) {
            const ParamField& f = *m_editable[m_rng() % m_editable.size()];
            if (!f.IsSystem()) {
                SetRandom(CParamCatalogue::Bytes(image), f, m_rng);
            }
        }
    }

    // A page's edit: one field, no lock.
    void Edit() {
        SetRandom(CParamCatalogue::Bytes(ParameterSet), *m_editable[m_rng() % m_editable.size()],
                  m_rng);
        ++m_edits;
    }

    // Controls dragged without pause while a recall's image arrives or a pushed program is
    // taken over, from a thread of their own: an edit every microsecond or so, each on one of
    // 30 fields. Once the editor's program name turns into `arriving` (the name comes first, so
    // the new image has begun to replace the editor's), one last edit on each field, as fast as
    // they go, lands while the rest is taken over; an edit lost there is the last on its field
    // and shows at the quiet point. The storm also ends when the recall's reply has been
    // handled (the processor is no longer busy), when told, or after three seconds.
    void StartStorm(bool untilNotBusy, const std::array<uint8_t, kNameLength>& arriving) {
        if (!m_withStorm) {
            return;
        }
        std::vector<const ParamField*> fields;
        for (int i = 0; i < 30; ++i) {
            fields.push_back(m_editable[m_rng() % m_editable.size()]);
        }
        m_stopStorm = false;
        m_storm = std::thread([fields, untilNotBusy, arriving, seed = m_rng(), this] {
            std::mt19937 rng(seed);
            auto arrived = [&arriving] {
                for (int i = 0; i < kNameLength; ++i) {
                    if (LoadByte(ParameterSet.program.name[i].raw) != arriving[i]) {
                        return false;
                    }
                }
                return true;
            };
            uint8_t* image = CParamCatalogue::Bytes(ParameterSet);
            const auto end = Clock::now() + std::chrono::seconds(3);
            while (Clock::now() < end && !m_stopStorm && !(untilNotBusy && !deviceBusy)) {
                if (arrived()) {
                    for (const ParamField* f : fields) {
                        SetRandom(image, *f, rng);
                    }
                    m_stormEdits.fetch_add(static_cast<long>(fields.size()));
                    return;
                }
                SetRandom(image, *fields[rng() % fields.size()], rng);
                m_stormEdits.fetch_add(1, std::memory_order_relaxed);
                std::this_thread::yield();
            }
        });
    }

    void EndStorm() {
        m_stopStorm = true;
        if (m_storm.joinable()) {
            m_storm.join();
        }
    }

    void Bulk(int action) {
        const bool recall = action < 8 && m_withRecalls;
        const bool push = action >= 8 && action < 16 && m_withPushes;
        m_lastBulk = recall ? "a recall" : push ? "a push" : "edits only";
        std::array<uint8_t, kNameLength> arriving{};
        if (recall) {
            const int program = static_cast<int>(1 + m_rng() % kProgramCount);
            const ProgramImage stored = m_processor.StoredProgram(program);
            std::memcpy(arriving.data(), stored.name, kNameLength);
            m_link.SendDeviceCommand(kCmdRecall, static_cast<uint8_t>(program));
            StartStorm(true, arriving);
            ++m_recalls;
        } else if (push) {
            auto image = std::make_unique<ParamImage>();
            {
                ParamGuard guard(ParamLock);
                AtomicCopy(image.get(), &ParameterSet, sizeof(ParamImage));
            }
            Scramble(*image, 80);
            // A name of its own, so the storm sees the pushed program arrive.
            std::snprintf(reinterpret_cast<char*>(arriving.data()), arriving.size(), "PUSH %06ld",
                          m_pushes);
            std::replace(arriving.begin(), arriving.end(), uint8_t{0}, uint8_t{' '});
            std::memcpy(image->program.name, arriving.data(), kNameLength);
            const std::string path = m_folder + "/push.dia";
            const FileResult written = CProgramFile::WriteProgram(path, *image);
            StartStorm(false, arriving);
            const ModeResult pushed = m_modes->ImportProgram(path);
            EndStorm();
            if (!written.ok || pushed.status != ModeResult::kQueued) {
                std::fprintf(stderr, "soak: push refused: %s%s\n", written.error.c_str(),
                             pushed.message.c_str());
            }
            ++m_pushes;
        }
    }

    // Nothing queued, nothing awaited but an idle poll, and no item the synchroniser compares
    // differs from its sent copy.
    bool Quiet() {
        ParamGuard guard(ParamLock);
        const uint8_t awaited = TxFrame.bytes[4];
        if (m_link.Protocol().HasFrames() || deviceBusy ||
            (awaited != 0 && awaited != kPollA && awaited != kPollB)) {
            return false;
        }
        const int scene = SceneInForce();
        const uint8_t* current = BytesOf(ParameterSet);
        const uint8_t* sent = BytesOf(SentImage);
        for (const SyncItem& item : SyncItems()) {
            const int at = SyncItemOffset(item, scene);
            const uint8_t mask = CarriedBits(item);
            for (int i = 0; i < item.length; ++i) {
                if (((LoadByte(current[at + i]) ^ LoadByte(sent[at + i])) & mask) != 0) {
                    return false;
                }
            }
        }
        return true;
    }

    void Check() {
        EndStorm();
        const auto end = Clock::now() + std::chrono::milliseconds(kQuietTimeoutMs);
        while (!Quiet()) {
            if (Clock::now() > end || !online) {
                std::printf("soak: no quiet point within %d ms (online %d)\n", kQuietTimeoutMs,
                            online ? 1 : 0);
                ++m_neverQuiet;
                return;
            }
            Pump(2);
        }
        auto editor = std::make_unique<ParamImage>();
        {
            ParamGuard guard(ParamLock);
            AtomicCopy(editor.get(), &ParameterSet, sizeof(ParamImage));
        }
        const auto device = std::make_unique<ParamImage>(m_processor.Image());
        m_exchanges += static_cast<long>(m_processor.Requests().size());
        m_processor.ClearRequests();
        ++m_quietPoints;
        if (std::memcmp(editor.get(), device.get(), sizeof(ParamImage)) == 0) {
            return;
        }
        ++m_mismatches;
        // Count each loss once: what the processor holds is what it was sent, so the
        // synchroniser sends the editor's values again before the next quiet point.
        {
            ParamGuard guard(ParamLock);
            AtomicCopy(&SentImage, device.get(), sizeof(ParamImage));
        }
        int shown = 0;
        for (const ParamField& f : CParamCatalogue::Fields()) {
            const uint8_t* e = CParamCatalogue::Bytes(*editor);
            const uint8_t* d = CParamCatalogue::Bytes(*device);
            if (CParamCatalogue::RawText(e, f) != CParamCatalogue::RawText(d, f) &&
                shown++ < kMaxReportedFields) {
                std::printf(
                    "soak: mismatch at quiet point %ld (after %s): %s editor %s, processor %s\n",
                    m_quietPoints, m_lastBulk, f.name.c_str(),
                    CParamCatalogue::RawText(e, f).c_str(), CParamCatalogue::RawText(d, f).c_str());
            }
        }
    }

    bool m_withRecalls;
    bool m_withStorm;
    bool m_withPushes;
    std::mt19937 m_rng;
    CVirtualProcessor m_processor;
    CPtyServer m_server;
    CDeviceLink m_link;
    std::unique_ptr<CDeviceModes> m_modes;
    std::string m_folder;
    std::vector<const ParamField*> m_editable;
    int m_received = 0;
    const char* m_lastBulk = "edits only";
    std::thread m_storm;
    std::atomic<bool> m_stopStorm{false};
    std::atomic<long> m_stormEdits{0};
    long m_exchanges = 0, m_edits = 0, m_recalls = 0, m_pushes = 0;
    long m_quietPoints = 0, m_mismatches = 0, m_neverQuiet = 0, m_linkFailures = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    long seconds = 60;
    unsigned seed = 1;
    bool recalls = true;
    bool pushes = true;
    bool storm = true;
    SimOptions processor;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool valued = i + 1 < argc;
        auto number = [&] { return std::strtol(argv[++i], nullptr, 10); };
        if (option == "--seconds" && valued) {
            seconds = number();
        } else if (option == "--seed" && valued) {
            seed = static_cast<unsigned>(number());
        } else if (option == "--no-recalls") {
            recalls = false;
        } else if (option == "--no-pushes") {
            pushes = false;
        } else if (option == "--no-storm") {
            storm = false;
        } else if (option == "--chunk" && valued) {
            processor.chunkSize = static_cast<int>(number());
        } else if (option == "--chunk-gap" && valued) {
            processor.chunkGapMs = static_cast<int>(number());
        } else if (option == "--reject" && valued) {
            processor.rejectEvery = static_cast<int>(number());
        } else if (option == "--corrupt" && valued) {
            processor.corruptEvery = static_cast<int>(number());
        } else {
            std::fprintf(stderr,
                         "usage: soak_link [--seconds N] [--seed S] [--no-recalls] [--no-pushes] "
                         "[--no-storm]\n"
                         "                 [--chunk N] [--chunk-gap MS] [--reject N] "
                         "[--corrupt N]\n");
            return 2;
        }
    }
    Soak soak(seed, recalls, pushes, storm, processor);
    if (!soak.Start()) {
        return 1;
    }
    const long startKb = ResidentKb();
    const auto start = Clock::now();
    auto nextReport = start + std::chrono::minutes(1);
    auto elapsed = [&start] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    while (elapsed() < static_cast<double>(seconds) && online) {
        soak.Round();
        if (Clock::now() >= nextReport && elapsed() < static_cast<double>(seconds)) {
            soak.Report(elapsed());
            nextReport += std::chrono::minutes(1);
        }
    }
    soak.Report(elapsed());
    std::printf("soak: VmRSS start %ld kB, end %ld kB; seed %u\n", startKb, ResidentKb(), seed);
    const bool passed = soak.Passed();
    std::printf("soak: %s\n", passed ? "passed" : "FAILED");
    return passed ? 0 : 1;
}
