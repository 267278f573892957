#pragma once
// The editor's link to one virtual processor on a pseudo-terminal, at the processor's own
// timing, for the benchmarks that time what reaches the processor; and the event pump they
// wait with.

#include <QCoreApplication>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "DeviceLink.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "PtyServer.h"
#include "VirtualProcessor.h"

namespace qx::bench {

// Runs the event loop until `until` holds; false after timeoutMs.
inline bool Pump(const std::function<bool()>& until, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!until()) {
        if (Clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

struct LinkRig {
    LinkRig() : processor(Start(), {}), server(processor) {
        server.Start();
        QObject::connect(&link, &CDeviceLink::programReceived, [this] { ++programs; });
        link.SetPortSource([this] {
            PortInfo p;
            p.devicePath = p.portName = p.comName = QString::fromStdString(server.Path());
            return std::vector<PortInfo>{p};
        });
    }
    // The editor's state from its defaults; the processor starts equal to it.
    static ParamImage Start() {
        ResetParameters();
        return ParameterSet;
    }
    // Connects and waits for the program to be read and the link to be free.
    bool Connect() {
        const int before = programs;
        link.ConnectDevice();
        return Pump([&] { return programs > before; }, 20000) &&
               Pump([] { return !deviceBusy.load(); }, 10000);
    }

    CVirtualProcessor processor;
    CPtyServer server;
    int programs = 0;  // programs the link has read
    CDeviceLink link;
};

}  // namespace qx::bench
