#pragma once
// Turns the reply parser's announcements into Qt signals. They are emitted on the serial
// worker; receivers on the user-interface thread connect with Qt::QueuedConnection, so each
// notice arrives after the image it announces was adopted, in the order the replies came.

#include <QObject>
#include <atomic>

#include "ReplySink.h"

namespace qx {

class CLinkUi;
class CSerialPort;

class CLinkReplySink : public QObject, public CReplySink {
    Q_OBJECT
  public:
    explicit CLinkReplySink(CSerialPort& port, QObject* parent = nullptr);

    void SetUi(CLinkUi* ui) { m_ui = ui; }

    void DeviceFound() override;
    void SystemReceived() override;
    void ParametersReceived() override;
    void ModesReceived() override;
    void SystemDataReceived(uint8_t pollCommand) override;
    bool TakeMonitorRequest() override;
    void WrongProgramNumber() override;

  signals:
    // The probe was answered: a processor is on this port.
    void deviceFound();
    // The system block was received and adopted.
    void systemReceived();
    // The current program was received and adopted.
    void programReceived();
    // The last program of a bank read was stored in the bank.
    void bankReceived();
    // A monitor block arrived (poll command 0x0C or 0x18).
    void monitorReceived(int pollCommand);

  private:
    CSerialPort& m_port;
    std::atomic<CLinkUi*> m_ui{nullptr};
};

}  // namespace qx
