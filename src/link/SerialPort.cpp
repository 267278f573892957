#include "SerialPort.h"

#include <QCoreApplication>
#include <QEvent>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "ChangeSync.h"
#include "CommProtocol.h"
#include "FrameRecord.h"
#include "LinkState.h"
#include "LinkUi.h"
#include "NetSerialLine.h"
#include "ParameterSet.h"
#include "QtSerialLine.h"
#include "ThreadHandOff.h"

namespace qx {

namespace {

constexpr int kRetryLimit = 2;    // resends before the link counts as failed
constexpr int kWaitSliceMs = 20;  // how soon a waiting worker notices a stop request

// How far the receiver has got with a frame that can still complete; 0 while it searches for a
// header or after it gave a frame up.
int FrameProgress() {
    return RxFrame.inFrame != 0 && RxFrame.replyError == 0 ? static_cast<int>(RxFrame.rxIndex) : 0;
}

int TrailingNumber(const QString& name) {
    static const QRegularExpression digits(QStringLiteral("(\\d+)$"));
    const auto m = digits.match(name);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

}  // namespace

CSerialPort::CSerialPort(CCommProtocol& protocol, QObject* parent)
    : QObject(parent), m_protocol(protocol) {}

bool CSerialPort::SetTiming(const LinkTiming& timing) {
    // The worker reads the record without a lock: it changes only while no worker runs.
    if (m_thread != nullptr) {
        return false;
    }
    m_timing = timing;
    return true;
}

CSerialPort::~CSerialPort() {
    Close();
}

namespace {

// A call the worker leaves for the user-interface thread.
class CCallEvent : public QEvent {
  public:
    static QEvent::Type Kind() {
        static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kind;
    }
    explicit CCallEvent(std::function<void()> call) : QEvent(Kind()), m_call(std::move(call)) {}
    void Run() { m_call(); }

  private:
    std::function<void()> m_call;
};

}  // namespace

template <class F>
void CSerialPort::OnUiThread(F f) {
    auto* call = new CCallEvent(std::function<void()>(std::move(f)));
    HandOff(call);
    QCoreApplication::postEvent(this, call);
}

bool CSerialPort::event(QEvent* e) {
    TakeOver(e);  // before the first look at the event: it may come from the worker
    if (e->type() == CCallEvent::Kind()) {
        static_cast<CCallEvent*>(e)->Run();
        return true;
    }
    return QObject::event(e);
}

bool CSerialPort::OpenPort(const QString& portName, int baudRate, char parity, int dataBits,
                           int stopBits, int bufferSize) {
    Close();
    if (CNetSerialLine::IsNetworkAddress(portName)) {
        // A serial device server: the server sets the line (RFC 2217) or already has it set.
        auto net = std::make_unique<CNetSerialLine>();
        if (!net->Open(portName, baudRate)) {
            return false;
        }
        m_portNumber = 0;
        return OpenLine(std::move(net), bufferSize);
    }
    auto line = std::make_unique<CQtSerialLine>();
    std::unique_lock<std::mutex> portGuard(m_portLock);
    if (!line->Open(portName)) {
        return false;
    }
    QSerialPort& p = line->Port();
    QSerialPort::StopBits stop = QSerialPort::OneStop;
    if (stopBits == 1) {
        stop = QSerialPort::OneAndHalfStop;
    } else if (stopBits == 2) {
        stop = QSerialPort::TwoStop;
    }
    QSerialPort::Parity par = QSerialPort::NoParity;
    switch (QChar::toUpper(static_cast<char16_t>(parity))) {
        case 'E':
            par = QSerialPort::EvenParity;
            break;
        case 'M':
            par = QSerialPort::MarkParity;
            break;
        case 'O':
            par = QSerialPort::OddParity;
            break;
        case 'S':
            par = QSerialPort::SpaceParity;
            break;
        default:
            break;
    }
    m_portNumber = TrailingNumber(portName);
    const bool configured =
        p.setBaudRate(baudRate) && p.setDataBits(static_cast<QSerialPort::DataBits>(dataBits)) &&
        p.setParity(par) && p.setStopBits(stop) && p.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        ShowPortError(QStringLiteral("SetCommState()"), p.errorString());
        p.clearError();
    }
    // Pseudo-terminals have no modem lines and refuse RTS; that is no fault of the link.
    if (!p.setRequestToSend(true)) {
        p.clearError();
    }
    line->Purge();
    portGuard.unlock();
    return OpenLine(std::move(line), bufferSize);
}

bool CSerialPort::OpenLine(std::unique_ptr<CSerialLine> line, int bufferSize) {
    if (m_line != nullptr) {
        Close();
    }
    std::lock_guard<std::mutex> portGuard(m_portLock);
    m_bufferSize = bufferSize;
    m_writeBuffer.assign(static_cast<std::size_t>(bufferSize), 0);
    m_readBuffer.assign(static_cast<std::size_t>(bufferSize), 0);
    m_line = std::move(line);
    return true;
}

bool CSerialPort::StartWorker() {
    if (m_line == nullptr || m_thread != nullptr) {
        return false;
    }
    m_reported = false;
    m_stopFlag = false;
    m_stopEvent = false;
    m_wrongProgram = false;
    m_sendEvent = false;
    m_addDataEvent = true;
    m_threadAlive = true;
    m_thread = QThread::create([this] {
        WorkerLoop();
        m_line->ReturnFromWorker();
        m_threadAlive = false;
    });
    if (m_thread == nullptr) {
        m_threadAlive = false;
        return false;
    }
    m_line->MoveToWorker(m_thread);
    m_thread->start();
    return true;
}

void CSerialPort::StopWorker() {
    if (m_thread == nullptr) {
        return;
    }
    {
        // Set under the wake lock: a worker between its predicate check and its wait (a pause,
        // or the "11" box) would otherwise miss this wake-up and finish the wait first.
        std::lock_guard<std::mutex> guard(m_wakeLock);
        m_stopEvent = true;
    }
    m_wake.notify_all();
    m_thread->wait();
    // The worker's last act is clearing m_threadAlive; waiting for it also orders everything
    // the worker did before what follows (Qt's own join is invisible to ThreadSanitizer).
    while (m_threadAlive.load()) {
        std::this_thread::yield();
    }
    delete m_thread;
    m_thread = nullptr;
}

void CSerialPort::Close() {
    StopWorker();
    std::lock_guard<std::mutex> portGuard(m_portLock);
    m_line.reset();
}

void CSerialPort::ShowPortError(const QString& operation, const QString& errorText) {
    const QString text =
        QStringLiteral("WARNING:  %1 Failed with the following error: \n%2\nPort: %3\n")
            .arg(operation, errorText)
            .arg(m_portNumber);
    OnUiThread([this, text] {
        if (m_ui != nullptr) {
            m_ui->ShowPortError(text);
        }
    });
}

void CSerialPort::ReportLinkFailure() {
    if (m_reported.exchange(true)) {
        return;
    }
    m_stopFlag = true;
    emit linkFailed(TxFrame.notifyOnFailure);
}

CSerialPort::Wake CSerialPort::WaitForWork(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (m_stopEvent) {
            return Wake::Stop;
        }
        if (m_sendEvent) {
            return Wake::Send;
        }
        if (m_addDataEvent) {
            return Wake::AddData;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return Wake::Timeout;
        }
        bool input = false;
        bool lost = false;
        {
            std::lock_guard<std::mutex> portGuard(m_portLock);
            input = m_line->WaitForInput(static_cast<int>(std::min<long>(left, kWaitSliceMs)));
            lost = m_line->Lost();
        }
        if (lost) {
            ReportLinkFailure();
            return Wake::Stop;
        }
        if (input) {
            return Wake::Input;
        }
    }
}

void CSerialPort::WorkerLoop() {
    {
        std::lock_guard<std::mutex> portGuard(m_portLock);
        m_line->Purge();
    }
    for (;;) {
        if (m_stopFlag) {
            return;
        }
        const int timeoutMs = TxFrame.written == 0     ? m_timing.idleWaitMs
                              : TxFrame.slowReply != 0 ? m_timing.slowReplyWaitMs
                                                       : m_timing.replyWaitMs;
        const Wake wake = WaitForWork(timeoutMs);
        if (wake == Wake::Stop || m_stopFlag) {
            return;
        }
        {
            std::unique_lock<std::recursive_mutex> paramLock(ParamLock);
            switch (wake) {
                case Wake::Send:
                    WriteFrame(paramLock);
                    break;
                case Wake::AddData:
                    AddDataStep();
                    break;
                case Wake::Timeout: {
                    std::lock_guard<std::mutex> portGuard(m_portLock);
                    m_line->ClearError();
                }
                    [[fallthrough]];
                case Wake::Input:
                    ReadInput(paramLock);
                    break;
                case Wake::Stop:
                    break;
            }
        }
        if (m_wrongProgram.exchange(false)) {
            ShowWrongProgramAndWait();
        }
        Pause(m_timing.turnPauseMs);
    }
}

void CSerialPort::AddDataStep() {
    // Queued frames first; otherwise the synchroniser always builds one (a difference or the
    // idle poll), so every turn has a frame to send.
    if (!m_protocol.PopFrame(TxFrame)) {
        NextParameterFrame();
    }
    m_addDataEvent = false;
    m_sendEvent = true;
}

void CSerialPort::WriteFrame(std::unique_lock<std::recursive_mutex>& paramLock) {
    m_sendEvent = false;
    {
        std::lock_guard<std::mutex> portGuard(m_portLock);
        m_line->Purge();
        const int length = std::min({TxFrame.Length(), kFrameArea, m_bufferSize});
        std::memcpy(m_writeBuffer.data(), TxFrame.bytes, static_cast<std::size_t>(length));
        if (!m_line->Write(m_writeBuffer.data(), length, m_timing.writeTimeoutMs)) {
            if (m_line->Lost()) {
                ReportLinkFailure();
                return;
            }
            ShowPortError(QStringLiteral("GetOverlappedResults() in WriteFile()"),
                          m_line->ErrorText());
        }
        // Bytes that arrived before or during the write belong to no reply of this frame.
        // (Only the input: on this system a finished write may still sit in the driver's
        // queue, and clearing that would take the frame off the line.)
        m_line->PurgeInput();
    }
    if (TxFrame.progressStep != 0) {
        const int step = TxFrame.progressStep;
        OnUiThread([this, step] {
            if (m_ui != nullptr) {
                m_ui->SetProgress(step);
            }
        });
    }
    TxFrame.written = 1;
    m_replyStarted = false;
    const bool slow = TxFrame.slowReply != 0;
    const bool store = TxFrame.storeDelay != 0;
    if (slow || store) {
        // The processor stores; nobody else needs to wait for it.
        paramLock.unlock();
        Pause((slow ? m_timing.slowReplyPauseMs : 0) + (store ? m_timing.storePauseMs : 0));
        paramLock.lock();
    }
}

void CSerialPort::ReadInput(std::unique_lock<std::recursive_mutex>& paramLock) {
    for (;;) {
        if (m_stopEvent) {
            return;
        }
        int waiting = 0;
        bool lost = false;
        {
            std::lock_guard<std::mutex> portGuard(m_portLock);
            m_line->ClearError();
            waiting = m_line->BytesAvailable();
            lost = m_line->Lost();
        }
        if (lost) {
            ReportLinkFailure();
            return;
        }
        if (waiting == 0) {
            ++RxFrame.idlePolls;
            if (RxFrame.idlePolls > m_timing.quietPolls) {
                GiveUpOnReply();
                return;
            }
            paramLock.unlock();
            Pause(m_timing.quietPollMs);
            paramLock.lock();
            continue;
        }
        std::lock_guard<std::mutex> portGuard(m_portLock);
        if (!m_replyStarted) {
            m_replyStarted = true;
            m_replyStart = std::chrono::steady_clock::now();
        }
        const int progressBefore = FrameProgress();
        const int n = m_line->Read(m_readBuffer.data(), std::min(waiting, m_bufferSize));
        if (n < 0) {
            const uint8_t retries = static_cast<uint8_t>(RxFrame.retries + 1);
            if (retries > 1 || m_line->Lost()) {
                ReportLinkFailure();
            } else {
                std::memset(&RxFrame, 0, sizeof RxFrame);
                RxFrame.retries = retries;
                m_sendEvent = true;
            }
            return;
        }
        if (m_protocol.FeedBytes(linkChannel, m_readBuffer.data(), n)) {
            m_line->ClearError();
            m_addDataEvent = true;
            m_line->PurgeInput();
            return;
        }
        // A reply still arriving is not silence: bytes that advance a frame which can still
        // complete start the count of empty polls afresh, within the reply's own allowance.
        // Bytes the receiver drops do not, and past the allowance the reply counts as lost
        // even while bytes keep coming.
        if (ReplyTimeOver()) {
            GiveUpOnReply();
            return;
        }
        if (FrameProgress() > progressBefore) {
            RxFrame.idlePolls = 0;
        }
    }
}

bool CSerialPort::ReplyTimeOver() const {
    const int bytes =
        FrameProgress() >= 4 ? static_cast<int>(RxFrame.rxCount) + 4 : static_cast<int>(kFrameArea);
    const auto allowance =
        std::chrono::milliseconds(m_timing.LineTimeMs(bytes) + m_timing.replyMarginMs);
    return std::chrono::steady_clock::now() - m_replyStart > allowance;
}

void CSerialPort::GiveUpOnReply() {
    const uint8_t retries = static_cast<uint8_t>(RxFrame.retries + 1);
    if (retries > kRetryLimit) {
        ReportLinkFailure();
        m_protocol.ClearFrames(1, true);
        return;
    }
    std::memset(&RxFrame, 0, sizeof RxFrame);
    RxFrame.retries = retries;
    m_sendEvent = true;  // the same TxFrame goes out again
}

void CSerialPort::Pause(int ms) {
    // A stop request ends every pause at once; a processor that is storing finishes on its
    // own, and closing the port never waits for it.
    std::unique_lock<std::mutex> guard(m_wakeLock);
    m_wake.wait_for(guard, std::chrono::milliseconds(ms), [this] { return m_stopEvent.load(); });
}

void CSerialPort::ShowWrongProgramAndWait() {
    if (m_ui == nullptr) {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(m_wakeLock);
        m_boxShown = false;
    }
    OnUiThread([this] {
        m_ui->ShowWrongProgram();
        std::lock_guard<std::mutex> guard(m_wakeLock);
        m_boxShown = true;
        m_wake.notify_all();
    });
    std::unique_lock<std::mutex> guard(m_wakeLock);
    m_wake.wait(guard, [this] { return m_boxShown || m_stopEvent.load(); });
}

}  // namespace qx
