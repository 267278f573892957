#pragma once
// Turns the reply parser's announcements into posted window messages: WM_DEVICE_FOUND to the
// connection logic, the others to the main window when there is one.

#include <QObject>
#include <atomic>

#include "ReplySink.h"

namespace qx {

class CLinkUi;
class CSerialPort;

class CLinkReplySink : public CReplySink {
  public:
    CLinkReplySink(QObject* link, CSerialPort& port);

    void SetMainWindow(QObject* mainWindow) { m_mainWindow = mainWindow; }
    void SetUi(CLinkUi* ui) { m_ui = ui; }

    void DeviceFound() override;
    void SystemReceived() override;
    void ParametersReceived() override;
    void ModesReceived() override;
    void SystemDataReceived(uint8_t pollCommand) override;
    bool TakeMonitorRequest() override;
    void WrongProgramNumber() override;

  private:
    QObject* m_link;
    CSerialPort& m_port;
    std::atomic<QObject*> m_mainWindow{nullptr};
    std::atomic<CLinkUi*> m_ui{nullptr};
};

}  // namespace qx
