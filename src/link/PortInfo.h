#pragma once
// One serial port found on the machine.

#include <QString>

namespace qx {

struct PortInfo {
    QString devicePath;   // path for opening the port
    QString portName;     // name from the system (ttyUSB0), or the path given by the user
    QString comName;      // the name the connection search opens
    bool isUsb = false;   // the port belongs to a USB adapter
    QString description;  // what the system calls the device, or a shortened comName
};

}  // namespace qx
