#pragma once
// Helpers of the pages suite: the link suite's event-pumping wait, a virtual processor on a
// pseudo-terminal, and a main window that records its message boxes instead of showing them
// (the shell serves the pages' tests that need the whole editor).

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QString>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "../link/LinkTestSupport.h"
#include "DeviceLink.h"
#include "EditorSession.h"
#include "LinkState.h"
#include "LinkTiming.h"
#include "MivoDlg.h"
#include "ParameterSet.h"
#include "PtyServer.h"
#include "Show_Dlg.h"
#include "VirtualProcessor.h"

namespace qx::test {

using linktest::Pump;
using linktest::WaitUntil;

// Offsets of the bytes that differ between two images, ascending.
inline std::vector<int> ChangedBytes(const ParamImage& before, const ParamImage& after) {
    const auto* a = reinterpret_cast<const uint8_t*>(&before);
    const auto* b = reinterpret_cast<const uint8_t*>(&after);
    std::vector<int> changed;
    for (std::size_t i = 0; i < sizeof(ParamImage); ++i) {
        if (a[i] != b[i]) {
            changed.push_back(static_cast<int>(i));
        }
    }
    return changed;
}

// A valid bank of 21 copies of the editor's program under the editor's system block, as a
// bank file holds it.
inline std::unique_ptr<BankImage> EditorBank() {
    auto bank = std::make_unique<BankImage>();
    ParamGuard guard(ParamLock);
    std::memcpy(&bank->BankSystemBlock, &ParameterSet.system, sizeof(SystemImage));
    for (ProgramImage& program : bank->programs) {
        std::memcpy(&program, &ParameterSet.program, sizeof(ProgramImage));
    }
    bank->bankValid = 1;
    return bank;
}

// A virtual processor that starts from the editor's image as it is now.
struct Sim {
    Sim() : Sim(Start()) {}
    explicit Sim(const ParamImage& image) : processor(image), server(processor) {
        started = server.Start();
    }
    static ParamImage Start() {
        ParamImage image;
        std::memcpy(&image, &ParameterSet, sizeof image);
        return image;
    }
    // Answers as soon as a request is in, without pacing replies like the real line (the
    // link suite covers that pace): for transfers of whole banks.
    void Unpaced() {
        SimOptions options = processor.Options();
        options.paceLine = false;
        processor.SetOptions(options);
    }
    CVirtualProcessor processor;
    CPtyServer server;
    bool started = false;
};

struct Box {
    QString caption;
    QString text;
};

// A main window whose boxes are recorded and whose ports are the given paths.
class Window {
  public:
    explicit Window(bool autoConnect = false, const QString& musicFolder = QString()) {
        CMivoDlg::Options o;
        o.autoConnect = autoConnect;
        o.smallScreen = 0;
        if (!musicFolder.isEmpty()) {
            o.musicFolder = musicFolder;
        }
        dlg = std::make_unique<CMivoDlg>(o);
        dlg->Progress()->SetBoxReporter([this](const QString& caption, const QString& text) {
            boxes.push_back({caption, text});
        });
        SetPorts({});
        UseTiming(LinkTiming::Fast());
        QObject::connect(dlg.get(), &CMivoDlg::ParametersShown, [this] { ++received; });
    }
    ~Window() {
        dlg.reset();
        linkChannel = 0;
        online = false;
        deviceBusy = false;
    }
    void SetPorts(std::vector<std::string> paths) {
        dlg->Link().SetPortSource([paths] {
            std::vector<PortInfo> list;
            for (const auto& p : paths) {
                PortInfo info;
                info.devicePath = info.portName = info.comName = QString::fromStdString(p);
                list.push_back(info);
            }
            return list;
        });
    }
    // The link's pauses and time-outs: the fast test timing unless a test asks for the real one
    // (before it connects).
    void UseTiming(const LinkTiming& timing) {
        EXPECT_TRUE(dlg->Link().Port().SetTiming(timing)) << "the link is already running";
    }
    // Connects to the virtual processor and waits until the top bar shows its program.
    bool Connect(const Sim& sim) {
        SetPorts({sim.server.Path()});
        dlg->Session().ConnectDevice();
        return WaitUntil(
            [&] {
                return dlg->Progress()->CurrentForm() == CShow_Dlg::kHidden && online &&
                       received > 0;
            },
            15000);
    }
    int CountBoxes(const QString& text) const {
        int n = 0;
        for (const Box& b : boxes) {
            n += b.text == text ? 1 : 0;
        }
        return n;
    }
    CMivoDlg* operator->() { return dlg.get(); }

    std::unique_ptr<CMivoDlg> dlg;
    std::vector<Box> boxes;
    int received = 0;
};

}  // namespace qx::test
