#pragma once
// What the reply parser tells the rest of the program. The link implements it by posting
// window messages to the main window; tests implement it by recording the calls. Every call
// comes from the serial worker while it holds ParamLock.

#include <cstdint>

namespace qx {

class CReplySink {
  public:
    virtual ~CReplySink() = default;

    // 0x7F answered: a device is on this port.
    virtual void DeviceFound() = 0;
    // System block stored.
    virtual void SystemReceived() = 0;
    // Current program image stored.
    virtual void ParametersReceived() = 0;
    // Last stored program of a bank read stored.
    virtual void ModesReceived() = 0;
    // Monitor block of poll command 0x0C or 0x18 stored.
    virtual void SystemDataReceived(uint8_t pollCommand) = 0;
    // True when the System page shows and asked for monitor levels; clears the request.
    virtual bool TakeMonitorRequest() = 0;
    // A program reply carried another number than the one requested: the "11" box. The
    // exchange must not go on until the user dismissed it.
    virtual void WrongProgramNumber() = 0;
};

}  // namespace qx
