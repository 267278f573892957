#pragma once
// Finding the processor and keeping the connection: lists the ports, opens them one after
// another and probes each, reads names, system block and current program once the device
// answered, and drops the connection with one message when the line fails. The editor's
// session and qxctl both drive it; what the user sees goes through CLinkUi, what arrives is
// told through Qt signals on the user-interface thread.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "CommProtocol.h"
#include "LinkReplySink.h"
#include "LinkUi.h"
#include "PortInfo.h"
#include "SerialPort.h"

namespace qx {

class CDeviceLink : public QObject {
    Q_OBJECT
  public:
    explicit CDeviceLink(CLinkUi* ui = nullptr, QObject* parent = nullptr);
    ~CDeviceLink() override;

    void SetUi(CLinkUi* ui);
    // Where candidate ports come from (default: EnumSerialPorts without test-open).
    void SetPortSource(std::function<std::vector<PortInfo>()> source);
    // Picks the processor to edit among the ports that answered the probe: the index in
    // answered, or -1 to stay offline. Called from the event loop, with no lock held.
    using ProcessorChooser = std::function<int(const std::vector<QString>& answered)>;
    // With a chooser, a search probes every candidate port instead of taking the first that
    // answers, and asks the chooser when more than one did; without one (qxctl) the first
    // port that answers is the processor.
    void SetProcessorChooser(ProcessorChooser chooser) { m_chooser = std::move(chooser); }

    // The connect button and the automatic search: disconnects when online, otherwise
    // searches.
    void ConnectDevice();
    // Closes the link without a message.
    void DisconnectDevice();
    // The background search after a lost link: like ConnectDevice but without the lookup
    // form and without a box when nothing answers. False when no port could be opened.
    bool Reconnect();
    // True while a connection is up and the processor answered its probe.
    bool Answered() const { return m_answered; }
    // Once, for the next connection: after the probe is answered, the editor's program goes
    // to the processor instead of the processor's replacing it (the names and the system
    // block are still read).
    void SendProgramOnConnect(bool send) { m_sendProgram = send; }
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

    // The Cancel of the progress form, on this thread: stops the bank read or write the form
    // shows between two of its frames (see CCommProtocol::DropTransfer). The frame on the line
    // finishes and its reply is read; the worker is not waited for. A stopped read or write
    // leaves the stored bank invalid (it is no longer what the processor holds); after a
    // stopped write the names, the system block and the current program are read back, with
    // deviceBusy set until the last of them is answered. Emits transferStopped when frames
    // were dropped. Offline, or with nothing left to drop, it changes nothing.
    TransferStop CancelTransfer();
    // The last stop CancelTransfer made.
    const TransferStop& LastStop() const { return m_lastStop; }

    const QString& CurrentPortName() const { return m_currentPortName; }
    const std::vector<PortInfo>& Candidates() const { return m_candidates; }
    CCommProtocol& Protocol() { return m_protocol; }
    CSerialPort& Port() { return m_port; }

  signals:
    // Every signal is emitted on the user-interface thread.
    // The probe was answered. Emitted before the reads that replace the editor's image are
    // queued: a receiver connected with Qt::DirectConnection still sees the image as it was.
    void deviceFound();
    // After the connection logic handled a failure (1: a probe found nothing on a port).
    void linkFailed(int notifyOnFailure);
    void onlineChanged(bool online);
    // A link that was working (the processor had answered) failed; emitted before linkFailed.
    void connectionLost();
    // A received block was adopted into the image and its sent copy (or, for the bank, into
    // the stored bank); each follows the reply that carried it, in the order they arrived.
    void systemReceived();
    void programReceived();
    void bankReceived();
    // A monitor block arrived (poll command 0x0C or 0x18).
    void monitorReceived(int pollCommand);
    // CancelTransfer stopped a transfer (LastStop says what it left): a read's bank will not
    // arrive.
    void transferStopped();

  private:
    // Runs show on this thread's event loop, after the current call has returned.
    template <class F>
    void ShowLater(F show);
    void OnLinkFailed(int notifyOnFailure);
    void OnDeviceFound();
    bool OpenNextCandidate();
    // tell: 0 nothing, 1 "Unable to Open Device!", 2 "Connection to the processor lost".
    void GoOffline(int tell);
    // The search with a chooser: the next candidate is probed, or, when none is left, the
    // processor is chosen among those that answered.
    void SurveyNext();
    void Choose();

    CCommProtocol m_protocol;
    CSerialPort m_port;
    CLinkReplySink m_sink;
    CLinkUi* m_ui = nullptr;
    CLinkUi m_noUi;
    std::vector<PortInfo> m_candidates;
    QString m_currentPortName;
    bool m_answered = false;     // the processor answered on this connection
    bool m_quiet = false;        // a background search: no forms, no boxes
    bool m_sendProgram = false;  // see SendProgramOnConnect
    std::function<std::vector<PortInfo>()> m_portSource;
    ProcessorChooser m_chooser;
    bool m_surveying = false;              // probing every candidate before choosing
    std::vector<QString> m_answeredPorts;  // the ports a processor answered on so far
    int m_search = 0;                      // counts searches: a choice asked for an old one is void
    TransferStop m_lastStop;
};

}  // namespace qx
