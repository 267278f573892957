#pragma once
// A virtual processor on a pseudo-terminal of its own, starting from the editor's image, and
// the port description the link's search takes for it.

#include <cstring>
#include <string>

#include "ParameterSet.h"
#include "PortInfo.h"
#include "PtyServer.h"
#include "VirtualProcessor.h"

namespace linktest {

struct Sim {
    explicit Sim(const qx::SimOptions& options = {})
        : processor(StartImage(), options), server(processor) {
        std::string error;
        started = server.Start(&error);
    }
    static qx::ParamImage StartImage() {
        qx::ParamImage img;
        std::memcpy(&img, &qx::ParameterSet, sizeof img);
        return img;
    }
    qx::CVirtualProcessor processor;
    qx::CPtyServer server;
    bool started = false;
};

inline qx::PortInfo Port(const std::string& path) {
    qx::PortInfo p;
    p.devicePath = p.portName = p.comName = QString::fromStdString(path);
    return p;
}

}  // namespace linktest
