#include "FleetPool.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <cstdlib>

#include <unistd.h>

namespace qx {

namespace {

std::atomic<bool> interruptFlag{false};
std::atomic<bool> simulatedInterrupt{false};

extern "C" void OnInterrupt(int) {
    interruptFlag.store(true);
}

// Installs the Ctrl+C handler for the pool's run and puts the old one back afterwards.
class CInterruptScope {
  public:
    CInterruptScope() {
        interruptFlag = false;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_oldInt);
        sigaction(SIGTERM, &action, &m_oldTerm);
    }
    ~CInterruptScope() {
        sigaction(SIGINT, &m_oldInt, nullptr);
        sigaction(SIGTERM, &m_oldTerm, nullptr);
    }
    CInterruptScope(const CInterruptScope&) = delete;
    CInterruptScope& operator=(const CInterruptScope&) = delete;

  private:
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
};

// The last "qxctl: ..." line of a child's errors, without the prefix and command.
std::string Reason(const std::string& err, int exitCode) {
    std::string last;
    std::size_t start = 0;
    while (start < err.size()) {
        std::size_t end = err.find('\n', start);
        if (end == std::string::npos) {
            end = err.size();
        }
        const std::string line = err.substr(start, end - start);
        if (line.rfind("qxctl: ", 0) == 0) {
            last = line.substr(7);
        }
        start = end + 1;
    }
    // "bank-pull: reason" -> "reason"
    const std::size_t colon = last.find(": ");
    if (colon != std::string::npos && last.find(' ') > colon) {
        last = last.substr(colon + 2);
    }
    if (last.empty() && exitCode != 0) {
        last = "qxctl ended with status " + std::to_string(exitCode);
    }
    return last;
}

struct Running {
    CFleetJob* job = nullptr;
    std::unique_ptr<QProcess> process;
    std::string out;
    std::string err;
    QElapsedTimer clock;
};

}  // namespace

CFleetPool::CFleetPool(int workers, std::string program, bool fastTiming)
    : m_workers(workers < 1 ? 1 : workers),
      m_program(std::move(program)),
      m_fastTiming(fastTiming) {}

bool CFleetPool::Interrupted() const {
    return interruptFlag.load() || simulatedInterrupt.load();
}

void CFleetPool::SimulateInterrupt(bool on) {
    simulatedInterrupt = on;
}

std::string CFleetPool::DefaultProgram() {
    if (const char* given = std::getenv("QXCTL_PROGRAM"); given != nullptr && *given != 0) {
        return given;
    }
    return QCoreApplication::applicationFilePath().toStdString();
}

void CFleetPool::Run(const std::vector<CFleetJob*>& jobs,
                     const std::function<void(CFleetJob&)>& done) {
    CInterruptScope scope;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (m_fastTiming) {
        environment.insert(QStringLiteral("QX_LINK_TIMING"), QStringLiteral("fast"));
    }
    std::size_t nextJob = 0;
    std::vector<std::unique_ptr<Running>> running;
    // Starts the room's next command; false when the room has none left.
    const auto startNext = [&](Running& r) {
        std::vector<std::string> args;
        if (!r.job->Next(args, Interrupted())) {
            return false;
        }
        args.push_back("--port");
        args.push_back(r.job->Room().port);
        QStringList list;
        for (const std::string& a : args) {
            list << QString::fromStdString(a);
        }
        r.out.clear();
        r.err.clear();
        r.process = std::make_unique<QProcess>();
        // The room's own qxctl logs what it sends under the room's name, as a fleet step.
        QProcessEnvironment roomEnvironment = environment;
        roomEnvironment.insert(QStringLiteral("QX_AUDIT_ROOM"),
                               QString::fromStdString(r.job->Room().name));
        roomEnvironment.insert(QStringLiteral("QX_AUDIT_CAUSE"), QStringLiteral("fleet"));
        r.process->setProcessEnvironment(roomEnvironment);
        // Ctrl+C at the terminal goes to the foreground process group: not to the rooms.
        r.process->setChildProcessModifier([] { ::setsid(); });
        r.process->start(QString::fromStdString(m_program), list);
        return true;
    };
    const auto finishJob = [&](Running& r) {
        r.job->SetSeconds(static_cast<double>(r.clock.elapsed()) / 1000.0);
        done(*r.job);
    };
    while (true) {
        while (static_cast<int>(running.size()) < m_workers && nextJob < jobs.size() &&
               !Interrupted()) {
            auto r = std::make_unique<Running>();
            r->job = jobs[nextJob++];
            r->job->MarkStarted();
            r->clock.start();
            if (startNext(*r)) {
                running.push_back(std::move(r));
            } else {
                finishJob(*r);
            }
        }
        if (running.empty()) {
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        bool progressed = false;
        for (auto it = running.begin(); it != running.end();) {
            Running& r = **it;
            r.out += r.process->readAllStandardOutput().toStdString();
            r.err += r.process->readAllStandardError().toStdString();
            if (r.process->state() != QProcess::NotRunning) {
                ++it;
                continue;
            }
            progressed = true;
            r.out += r.process->readAllStandardOutput().toStdString();
            r.err += r.process->readAllStandardError().toStdString();
            const bool crashed = r.process->exitStatus() != QProcess::NormalExit ||
                                 r.process->error() == QProcess::FailedToStart;
            const int code = crashed ? 1 : r.process->exitCode();
            std::string reason = Reason(r.err, code);
            if (r.process->error() == QProcess::FailedToStart) {
                reason = m_program + ": " + r.process->errorString().toStdString();
            }
            r.job->Finished(code, r.out, reason);
            if (!startNext(r)) {
                finishJob(r);
                it = running.erase(it);
            } else {
                ++it;
            }
        }
        if (!progressed) {
            ::usleep(5000);
        }
    }
}

}  // namespace qx
