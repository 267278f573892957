#include "DeviceLink.h"

#include "EnumSerialPorts.h"
#include "LinkState.h"
#include "ParameterSet.h"

namespace qx {

CDeviceLink::CDeviceLink(CLinkUi* ui, QObject* parent)
    : QObject(parent), m_port(m_protocol), m_sink(m_port) {
    SetUi(ui);
    m_protocol.SetReplySink(&m_sink);
    // The port and the sink emit on the serial worker: every connection here is queued, so
    // this object acts on the user-interface thread, after the worker adopted what it tells.
    // A queued call to a deleted link is dropped.
    connect(&m_port, &CSerialPort::linkFailed, this, &CDeviceLink::OnLinkFailed,
            Qt::QueuedConnection);
    connect(&m_sink, &CLinkReplySink::deviceFound, this, &CDeviceLink::OnDeviceFound,
            Qt::QueuedConnection);
    connect(&m_sink, &CLinkReplySink::systemReceived, this, &CDeviceLink::systemReceived,
            Qt::QueuedConnection);
    connect(&m_sink, &CLinkReplySink::programReceived, this, &CDeviceLink::programReceived,
            Qt::QueuedConnection);
    connect(&m_sink, &CLinkReplySink::bankReceived, this, &CDeviceLink::bankReceived,
            Qt::QueuedConnection);
    connect(&m_sink, &CLinkReplySink::monitorReceived, this, &CDeviceLink::monitorReceived,
            Qt::QueuedConnection);
}

CDeviceLink::~CDeviceLink() {
    m_port.Close();
    m_protocol.SetReplySink(nullptr);
    linkChannel = 0;
    online = false;
}

void CDeviceLink::SetUi(CLinkUi* ui) {
    m_ui = ui != nullptr ? ui : &m_noUi;
    m_port.SetUi(m_ui);
    m_sink.SetUi(m_ui);
}

void CDeviceLink::SetPortSource(std::function<std::vector<PortInfo>()> source) {
    m_portSource = std::move(source);
}

bool CDeviceLink::CollectPorts() {
    m_candidates.clear();
    if (m_portSource) {
        m_candidates = m_portSource();
    } else {
        EnumSerialPorts(m_candidates, false);
    }
    std::erase_if(m_candidates, [](const PortInfo& p) { return p.comName.isEmpty(); });
    if (m_candidates.empty()) {
        return false;
    }
    portsPending = true;
    return true;
}

bool CDeviceLink::OpenCandidatePort() {
    const bool opened = m_port.OpenPort(m_currentPortName, 115200, 'N', 8, 0, 115200);
    if (opened) {
        linkChannel = 1;
        online = true;
        m_protocol.ClearQueue();
        // Nothing half-received or half-retried from an earlier port counts on this one.
        m_protocol.ClearFrames(1, true);
    }
    return opened;
}

bool CDeviceLink::OpenNextCandidate() {
    while (!m_candidates.empty()) {
        m_currentPortName = m_candidates.front().comName;
        m_candidates.erase(m_candidates.begin());
        if (OpenCandidatePort()) {
            return true;
        }
    }
    return false;
}

void CDeviceLink::QueueProbe() {
    m_protocol.QueueCommand(kCmdProbe, 0);
}

void CDeviceLink::ConnectDevice() {
    if (online) {
        DisconnectDevice();
        return;
    }
    CollectPorts();
    ++m_search;
    m_answeredPorts.clear();
    m_surveying = m_chooser && m_candidates.size() > 1;
    if (OpenNextCandidate()) {
        portsPending = true;
        m_ui->ShowLookup();
        m_ui->ShowPortProbed(m_currentPortName);
        AdoptAsSent(true);
        QueueProbe();
        m_port.StartWorker();
        emit onlineChanged(true);
        return;
    }
    portsPending = false;
    m_ui->ShowUnableToOpen();
}

bool CDeviceLink::Reconnect() {
    if (online) {
        return true;
    }
    CollectPorts();
    if (!OpenNextCandidate()) {
        portsPending = false;
        return false;
    }
    m_quiet = true;
    portsPending = true;
    AdoptAsSent(true);
    QueueProbe();
    m_port.StartWorker();
    emit onlineChanged(true);
    return true;
}

void CDeviceLink::GoOffline(int tell) {
    m_surveying = false;
    ++m_search;
    m_port.Close();
    linkChannel = 0;
    online = false;
    deviceBusy = false;
    m_answered = false;
    m_ui->HideTransfer();
    m_ui->ConnectionChanged();
    if (tell == 1 && !m_quiet) {
        m_ui->ShowUnableToOpen();
    } else if (tell == 2) {
        m_ui->ShowConnectionLost();
    }
    m_quiet = false;
    emit onlineChanged(false);
}

void CDeviceLink::DisconnectDevice() {
    GoOffline(0);
}

void CDeviceLink::OnLinkFailed(int notifyOnFailure) {
    if (notifyOnFailure != 0 && m_surveying) {
        m_port.Close();
        SurveyNext();
    } else if (notifyOnFailure != 0) {
        // The probe found nothing on this port: try the next one.
        m_port.Close();
        if (OpenNextCandidate()) {
            if (!m_quiet) {
                m_ui->ShowPortProbed(m_currentPortName);
            }
            QueueProbe();
            m_port.StartWorker();
        } else {
            portsPending = false;
            GoOffline(1);
        }
    } else if (online && m_answered) {
        // The processor had answered: this is a lost connection, not a failed search.
        emit connectionLost();
        GoOffline(2);
    } else if (online) {
        GoOffline(1);
    }
    emit linkFailed(notifyOnFailure);
}

void CDeviceLink::OnDeviceFound() {
    if (m_surveying) {
        // Noted, and the search goes on: nothing is read before the choice.
        m_answeredPorts.push_back(m_currentPortName);
        m_port.Close();
        SurveyNext();
        return;
    }
    // First the receivers (the session keeps offline work), then the reads that replace the
    // image are queued.
    m_answered = true;
    m_quiet = false;
    emit deviceFound();
    ReadDevice();
}

void CDeviceLink::SurveyNext() {
    if (OpenNextCandidate()) {
        QueueProbe();
        m_port.StartWorker();
        return;
    }
    m_surveying = false;
    if (m_answeredPorts.empty()) {
        portsPending = false;
        GoOffline(1);
    } else if (m_answeredPorts.size() == 1) {
        Choose();
    } else {
        // Asked from the event loop: the handler of the last reply returns first.
        const int search = m_search;
        ShowLater([this, search] {
            if (search == m_search) {
                Choose();
            }
        });
    }
}

void CDeviceLink::Choose() {
    int chosen = 0;
    if (m_answeredPorts.size() > 1) {
        chosen = m_chooser ? m_chooser(m_answeredPorts) : 0;
    }
    if (chosen < 0 || chosen >= static_cast<int>(m_answeredPorts.size())) {
        // The person chose none: offline, without the message of a failed search.
        portsPending = false;
        GoOffline(0);
        return;
    }
    // The chosen port is probed again, and connected as the one processor found.
    PortInfo port;
    port.devicePath = port.portName = port.comName =
        m_answeredPorts[static_cast<std::size_t>(chosen)];
    m_candidates = {port};
    m_answeredPorts.clear();
    if (OpenNextCandidate()) {
        QueueProbe();
        m_port.StartWorker();
    } else {
        portsPending = false;
        GoOffline(1);
    }
}

void CDeviceLink::ReadDevice() {
    const bool send = m_sendProgram;
    m_sendProgram = false;
    ParamGuard guard(ParamLock);
    m_protocol.QueueCommand(kCmdReadName, 0);
    SendDeviceCommand(kCmdReadSystem, 0);
    // The editor's program goes out whole; its sent copy follows when the frame is answered.
    SendDeviceCommand(send ? kCmdWriteProgram : kCmdReadProgram, 0);
    StartQueueProgress();
}

template <class F>
void CDeviceLink::ShowLater(F show) {
    QMetaObject::invokeMethod(this, std::move(show), Qt::QueuedConnection);
}

void CDeviceLink::StartQueueProgress() {
    const int total = m_protocol.NumberQueuedFrames();
    const bool stoppable = m_protocol.QueuedTransfer() != TransferKind::kNone;
    ShowLater([this, total, stoppable] {
        m_ui->OfferCancel(stoppable);
        m_ui->StartProgress(total);
    });
}

void CDeviceLink::SendDeviceCommand(uint8_t command, uint8_t argument) {
    SystemBlock& system = ParameterSet.system.block;
    if (online) {
        ParamGuard guard(ParamLock);
        m_protocol.QueueCommand(command, argument);
        if (command == kCmdReadProgram && argument != 0) {
            StartQueueProgress();
        } else if (command == kCmdRecall) {
            system.currentProgram = argument;
        } else if (command == kCmdStore && argument != 0) {
            system.currentProgram = argument;
            ShowLater([this] { m_ui->CurrentProgramChanged(); });
        }
        if (deviceBusy) {
            ShowLater([this] { m_ui->ShowTransfer(); });
        }
        return;
    }
    // Offline: the command acts on the stored bank only.
    ParamGuard guard(ParamLock);
    const bool bankValid = ProgramBank.bankValid != 0;
    if (command == kCmdRecall && bankValid && argument >= 1 && argument <= kProgramCount) {
        AdoptProgram(&ProgramBank.programs[argument - 1]);
        system.currentProgram = argument;
    } else if (command == kCmdReadProgram && argument != 0 && bankValid) {
        AtomicCopy(&ProgramBank.BankSystemBlock, &ParameterSet.system, sizeof(SystemImage));
        ShowLater([this] { m_ui->SaveBankToFile(); });
    }
}

}  // namespace qx
