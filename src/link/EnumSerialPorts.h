#pragma once
// Lists the serial ports of the machine as PortInfo records, the paths given on the command
// line (--port PATH) first: port listing does not show pseudo-terminals or unusual adapters.

#include <QStringList>
#include <functional>
#include <vector>

#include "PortInfo.h"

namespace qx {

// Paths listed ahead of the system's ports, in the order given.
void SetExtraPortPaths(const QStringList& paths);
QStringList ExtraPortPaths();
// Takes every "--port PATH" (and "--port=PATH") out of the arguments into the extra paths.
void TakePortArguments(QStringList& arguments);

// Empties list and fills it. With testOpen, ports that cannot be opened now (in use or
// absent) are left out. An enumeration error leaves an empty list, logs the reason and
// returns false.
bool EnumSerialPorts(std::vector<PortInfo>& list, bool testOpen);

// The completion applied to every record: the optional test-open (canOpen given the
// devicePath), a comName from portName, and a description from comName with a trailing
// " (...)" cut off.
void CompletePorts(std::vector<PortInfo>& list, bool testOpen,
                   const std::function<bool(const QString&)>& canOpen);

}  // namespace qx
