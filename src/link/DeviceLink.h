#pragma once
// Finding the processor and keeping the connection: lists the ports, opens them one after
// another and probes each, reads names, system block and current program once the device
// answered, and drops the connection with one message when the line fails. The main window
// and qxctl both drive it; what the user sees goes through CLinkUi.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "CommProtocol.h"
#include "LinkReplySink.h"
#include "LinkUi.h"
#include "Messages.h"
#include "PortInfo.h"
#include "SerialPort.h"

namespace qx {

class CMessageMap;

class CDeviceLink : public QObject {
    Q_OBJECT
  public:
    explicit CDeviceLink(CLinkUi* ui = nullptr, QObject* parent = nullptr);
    ~CDeviceLink() override;

    // Receives WM_SYSTEM_RECEIVED, WM_PARAMETERS_RECEIVED, WM_MODES_RECEIVED and
    // WM_SYSTEM_DATA_RECEIVED; without one those are not posted.
    void SetMainWindow(QObject* mainWindow);
    void SetUi(CLinkUi* ui);
    // Where candidate ports come from (default: EnumSerialPorts without test-open).
    void SetPortSource(std::function<std::vector<PortInfo>()> source);

    // The connect button and WM_AUTO_CONNECT: disconnects when online, otherwise searches.
    void ConnectDevice();
    // Closes the link without a message.
    void DisconnectDevice();
    // Fills the candidate list; true when it holds a port.
    bool CollectPorts();
    // Opens currentPortName.
    bool OpenCandidatePort();
    void QueueProbe();
    // After the device answered: 22 names, the system block and the current program.
    void ReadDevice();

    // The only way pages send bulk commands. Online: queue (and track the current program,
    // show the wait form while the processor is busy). Offline: act on the stored bank.
    // Callers may hold ParamLock (several commands queued as a whole); what the user sees
    // (the wait and progress forms, the top bar, the bank's save dialog) is therefore shown
    // from the event loop, once the caller has let go of the lock: no form is up and nothing
    // waits for the user while the worker may need ParamLock.
    void SendDeviceCommand(uint8_t command, uint8_t argument);
    // Numbers the queued frames 1..n and shows the progress form with range 0..n (from the
    // event loop, as above).
    void StartQueueProgress();

    const QString& CurrentPortName() const { return m_currentPortName; }
    const std::vector<PortInfo>& Candidates() const { return m_candidates; }
    CCommProtocol& Protocol() { return m_protocol; }
    CSerialPort& Port() { return m_port; }

  signals:
    // After the connection logic handled WM_DEVICE_FOUND / WM_LINK_FAILED.
    void deviceFound();
    void linkFailed(int notifyOnFailure);
    void onlineChanged(bool online);

  private:
    // Runs show on this thread's event loop, after the current call has returned.
    template <class F>
    void ShowLater(F show);
    void OnLinkFailed(LParam notifyOnFailure);
    void OnDeviceFound();
    bool OpenNextCandidate();
    void GoOffline(bool tell);

    CCommProtocol m_protocol;
    CSerialPort m_port;
    CLinkReplySink m_sink;
    CLinkUi* m_ui = nullptr;
    CLinkUi m_noUi;
    CMessageMap* m_messages = nullptr;
    std::vector<PortInfo> m_candidates;
    QString m_currentPortName;
    std::function<std::vector<PortInfo>()> m_portSource;
};

}  // namespace qx
