#pragma once
// The one serial port to the processor and its worker thread, which conducts a strict
// stop-and-wait exchange: fetch a frame (queue first, then the synchroniser), write it, wait
// for its reply, hand the bytes to the reply parser, and only then fetch the next one.
//
// The worker is a QThread running a loop of turns. Each turn waits for one of: stop, "write
// TxFrame", "fetch the next frame", received bytes, or a time-out (1000 ms with no reply
// outstanding, else 500 ms, 2000 ms for a slow-reply frame); then acts with ParamLock held
// and pauses 20 ms. Sleeps (the 20 ms pause, the 100 ms quiet polls, the 1000/3000 ms pauses
// after a write) run without ParamLock, so the user-interface thread never waits for them, and
// end at once on a stop request, so closing the port never waits for them either.
// A reply is given up after six empty polls in a row; bytes that advance a frame which can still
// complete start that count afresh, for at most the reply's own line time plus 2 s.
// The times named here are those of LinkTiming::Real(); SetTiming gives the worker others.
// Lock order: ParamLock, then m_portLock.

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "LinkTiming.h"
#include "SerialLine.h"

class QThread;

namespace qx {

class CCommProtocol;
class CLinkUi;

class CSerialPort : public QObject {
    Q_OBJECT
  public:
    explicit CSerialPort(CCommProtocol& protocol, QObject* parent = nullptr);
    ~CSerialPort() override;

    // Closes any earlier port, opens portName (a name like ttyUSB0 or a path) and sets the
    // line up. True when the port opened, even if a setting failed (that failure is shown in
    // an error box).
    bool OpenPort(const QString& portName, int baudRate = 115200, char parity = 'N',
                  int dataBits = 8, int stopBits = 0, int bufferSize = 115200);
    // The same with a line made elsewhere (tests use a scripted line).
    bool OpenLine(std::unique_ptr<CSerialLine> line, int bufferSize = 115200);
    // Starts the worker; its first act is to fetch a frame.
    bool StartWorker();
    // Asks the worker to end and waits for it. Never call it holding ParamLock.
    void StopWorker();
    // StopWorker, then closes the port.
    void Close();
    bool IsOpen() const { return m_line != nullptr; }
    bool WorkerRunning() const { return m_threadAlive.load(); }

    // The "Application Error" box for a failed call, shown on the user-interface thread.
    void ShowPortError(const QString& operation, const QString& errorText);
    // Ends the worker at its next turn and emits linkFailed(TxFrame.notifyOnFailure), once
    // per run of the worker.
    void ReportLinkFailure();
    // From the reply parser on the worker: the "11" box must be shown before the next
    // exchange.
    void RequestWrongProgramBox() { m_wrongProgram = true; }

    void SetUi(CLinkUi* ui) { m_ui = ui; }
    // The worker's pauses and time-outs (default: LinkTiming::Real()). Taken only while no
    // worker runs; false, and nothing changed, otherwise.
    bool SetTiming(const LinkTiming& timing);
    const LinkTiming& Timing() const { return m_timing; }
    // Number printed in error boxes: the digits at the end of the port's name.
    int PortNumber() const { return m_portNumber; }

  signals:
    // Emitted on the serial worker: the line failed or a frame got no reply after its resends.
    // notifyOnFailure is the failed frame's (1: the probe of a connection attempt). Connect
    // with Qt::QueuedConnection; the receiver closes the port, which waits for the worker.
    void linkFailed(int notifyOnFailure);

  private:
    enum class Wake { Stop, Send, AddData, Input, Timeout };

    void WorkerLoop();
    Wake WaitForWork(int timeoutMs);
    void AddDataStep();
    void WriteFrame(std::unique_lock<std::recursive_mutex>& paramLock);
    void ReadInput(std::unique_lock<std::recursive_mutex>& paramLock);
    // True once the reply being received has had its time on the line plus the margin.
    bool ReplyTimeOver() const;
    // The quiet period ended without a reply: resend, or report after the last resend.
    void GiveUpOnReply();
    void ShowWrongProgramAndWait();
    // Sleeps up to ms without any lock held; returns at once on a stop request.
    void Pause(int ms);
    // Runs f on the user-interface thread without waiting.
    template <class F>
    void OnUiThread(F f);

    CCommProtocol& m_protocol;
    CLinkUi* m_ui = nullptr;
    LinkTiming m_timing;
    std::atomic<bool> m_stopFlag{false};
    QThread* m_thread = nullptr;
    std::mutex m_portLock;
    std::atomic<bool> m_threadAlive{false};
    std::atomic<bool> m_stopEvent{false};
    std::unique_ptr<CSerialLine> m_line;
    // Set and reset by the worker only (and by StartWorker before it runs).
    bool m_sendEvent = false;
    bool m_addDataEvent = false;
    // When the first byte after the latest write arrived (worker only).
    bool m_replyStarted = false;
    std::chrono::steady_clock::time_point m_replyStart;
    int m_portNumber = 0;
    int m_bufferSize = 0;
    std::vector<uint8_t> m_writeBuffer;
    std::vector<uint8_t> m_readBuffer;
    std::atomic<bool> m_reported{false};
    std::atomic<bool> m_wrongProgram{false};
    // Wakes the worker from its pauses and from the wait for the "11" box: a stop request, or
    // the box closed.
    std::mutex m_wakeLock;
    std::condition_variable m_wake;
    bool m_boxShown = false;

  protected:
    bool event(QEvent* e) override;
};

}  // namespace qx
