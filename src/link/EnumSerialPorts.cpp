#include "EnumSerialPorts.h"

#include <QDebug>
#include <QMutex>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <exception>

#include "NetSerialLine.h"

namespace qx {

namespace {

QMutex extraLock;
QStringList extraPaths;

bool TryOpen(const QString& path) {
    if (CNetSerialLine::IsNetworkAddress(path)) {
        return true;  // a named server is kept; whether it answers shows when it is opened
    }
    QSerialPort port;
    port.setPortName(path);
    if (!port.open(QIODevice::ReadWrite)) {
        return false;
    }
    port.close();
    return true;
}

}  // namespace

void SetExtraPortPaths(const QStringList& paths) {
    QMutexLocker guard(&extraLock);
    extraPaths = paths;
}

QStringList ExtraPortPaths() {
    QMutexLocker guard(&extraLock);
    return extraPaths;
}

void TakePortArguments(QStringList& arguments) {
    QStringList paths;
    QStringList rest;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--port") && i + 1 < arguments.size()) {
            paths << arguments[++i];
        } else if (a.startsWith(QLatin1String("--port="))) {
            paths << a.mid(7);
        } else {
            rest << a;
        }
    }
    arguments = rest;
    SetExtraPortPaths(ExtraPortPaths() + paths);
}

void CompletePorts(std::vector<PortInfo>& list, bool testOpen,
                   const std::function<bool(const QString&)>& canOpen) {
    for (std::size_t i = 0; i < list.size();) {
        PortInfo& p = list[i];
        if (testOpen && !canOpen(p.devicePath)) {
            list.erase(list.begin() + static_cast<long>(i));
            continue;  // the record that took its place is next
        }
        if (p.comName.isEmpty()) {
            p.comName = p.portName;
        }
        if (p.description.isEmpty()) {
            p.description = p.comName;
            const int open = p.description.indexOf(QLatin1String(" ("));
            const int close = p.description.indexOf(QLatin1Char(')'));
            if (open > 0 && close == p.description.size() - 1) {
                p.description.truncate(open);
            }
        }
        ++i;
    }
}

bool EnumSerialPorts(std::vector<PortInfo>& list, bool testOpen) {
    list.clear();
    for (const QString& path : ExtraPortPaths()) {
        PortInfo p;
        p.devicePath = path;
        p.portName = path;
        list.push_back(p);
    }
    const std::size_t given = list.size();
    bool ok = true;
    try {
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
            PortInfo p;
            p.devicePath = info.systemLocation();
            p.portName = info.portName();
            p.isUsb = info.hasVendorIdentifier() ||
                      info.systemLocation().contains(QLatin1String("USB")) ||
                      info.systemLocation().contains(QLatin1String("ACM"));
            p.description = info.description();
            list.push_back(p);
        }
    } catch (const std::exception& e) {
        qWarning("serial port listing failed: %s", e.what());
        list.resize(given);
        ok = false;
    } catch (...) {
        qWarning("serial port listing failed");
        list.resize(given);
        ok = false;
    }
    CompletePorts(list, testOpen, TryOpen);
    return ok;
}

}  // namespace qx
