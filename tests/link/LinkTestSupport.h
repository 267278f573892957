#pragma once
// Helpers of the link suite: an event-pumping wait, a recorder of the link's signals, a UI
// recorder and a scripted serial line whose timing the tests control.

#include <QCoreApplication>
#include <QObject>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "DeviceLink.h"
#include "FrameEncoder.h"
#include "LinkReplySink.h"
#include "LinkUi.h"
#include "SerialLine.h"
#include "SerialPort.h"

namespace linktest {

using Clock = std::chrono::steady_clock;

// Runs the event loop until pred holds or timeoutMs passed; returns pred().
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (Clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Pumps events for a while.
inline void Pump(int ms) {
    WaitUntil([] { return false; }, ms);
}

// What the link told, in the order it arrived on this (the user-interface) thread.
enum class Notice {
    LinkFailed,
    DeviceFound,
    SystemReceived,
    ProgramReceived,
    BankReceived,
    Monitor
};

struct Told {
    Notice notice;
    int value;  // notifyOnFailure of a failure, the poll command of a monitor block, else 0
};

class NoticeRecorder : public QObject {
  public:
    // The port and the sink emit on the serial worker: recorded from the event loop.
    void Watch(qx::CSerialPort& port) {
        connect(
            &port, &qx::CSerialPort::linkFailed, this,
            [this](int n) {
                told.push_back({Notice::LinkFailed, n});
            },
            Qt::QueuedConnection);
    }
    void Watch(qx::CLinkReplySink& sink) {
        const auto queued = Qt::QueuedConnection;
        connect(
            &sink, &qx::CLinkReplySink::deviceFound, this,
            [this] {
                told.push_back({Notice::DeviceFound, 0});
            },
            queued);
        connect(
            &sink, &qx::CLinkReplySink::systemReceived, this,
            [this] {
                told.push_back({Notice::SystemReceived, 0});
            },
            queued);
        connect(
            &sink, &qx::CLinkReplySink::programReceived, this,
            [this] {
                told.push_back({Notice::ProgramReceived, 0});
            },
            queued);
        connect(
            &sink, &qx::CLinkReplySink::bankReceived, this,
            [this] {
                told.push_back({Notice::BankReceived, 0});
            },
            queued);
        connect(
            &sink, &qx::CLinkReplySink::monitorReceived, this,
            [this](int poll) {
                told.push_back({Notice::Monitor, poll});
            },
            queued);
    }
    // The link emits on this thread, after acting on what the worker told it.
    void Watch(qx::CDeviceLink& link) {
        connect(&link, &qx::CDeviceLink::linkFailed, this, [this](int n) {
            told.push_back({Notice::LinkFailed, n});
        });
        connect(&link, &qx::CDeviceLink::deviceFound, this, [this] {
            told.push_back({Notice::DeviceFound, 0});
        });
        connect(&link, &qx::CDeviceLink::systemReceived, this, [this] {
            told.push_back({Notice::SystemReceived, 0});
        });
        connect(&link, &qx::CDeviceLink::programReceived, this, [this] {
            told.push_back({Notice::ProgramReceived, 0});
        });
        connect(&link, &qx::CDeviceLink::bankReceived, this, [this] {
            told.push_back({Notice::BankReceived, 0});
        });
        connect(&link, &qx::CDeviceLink::monitorReceived, this, [this](int poll) {
            told.push_back({Notice::Monitor, poll});
        });
    }
    int Count(Notice notice) const {
        int n = 0;
        for (const auto& t : told) {
            n += t.notice == notice ? 1 : 0;
        }
        return n;
    }
    std::vector<Told> told;
};

// Records what the user would see.
class UiRecorder : public qx::CLinkUi {
  public:
    void ShowLookup() override { ++lookups; }
    void StartProgress(int total) override { progressTotal = total; }
    void SetProgress(int step) override { steps.push_back(step); }
    void ShowTransfer() override { ++transfers; }
    void HideTransfer() override { ++hides; }
    void ShowUnableToOpen() override { ++unableToOpen; }
    void ShowConnectionLost() override { ++connectionLost; }
    void ShowPortError(const QString& text) override { portErrors.push_back(text); }
    void ShowWrongProgram() override {
        ++wrongProgram;
        if (onWrongProgram) {
            onWrongProgram();
        }
    }
    void ConnectionChanged() override { ++connectionChanges; }
    void CurrentProgramChanged() override { ++programChanges; }
    void SaveBankToFile() override { ++bankSaves; }

    int lookups = 0, progressTotal = 0, transfers = 0, hides = 0, unableToOpen = 0;
    int wrongProgram = 0, connectionChanges = 0, programChanges = 0, bankSaves = 0;
    int connectionLost = 0;
    std::vector<int> steps;
    std::vector<QString> portErrors;
    std::function<void()> onWrongProgram;
};

// A serial line driven by a script: every written frame is recorded with its time, and the
// responder's answer (if any) becomes readable after its delay.
class FakeLine : public qx::CSerialLine {
  public:
    struct Written {
        std::vector<uint8_t> bytes;
        Clock::time_point at;
    };
    struct Answer {
        std::vector<uint8_t> bytes;
        int delayMs = 2;
    };
    using Responder = std::function<Answer(const std::vector<uint8_t>&)>;

    explicit FakeLine(Responder responder) : m_responder(std::move(responder)) {}

    bool Write(const uint8_t* bytes, int count, int) override {
        std::lock_guard<std::mutex> g(m_lock);
        if (m_lost) {
            return false;
        }
        std::vector<uint8_t> frame(bytes, bytes + count);
        m_written.push_back({frame, Clock::now()});
        const Answer a = m_responder ? m_responder(frame) : Answer{};
        if (!a.bytes.empty()) {
            m_future.push_back({a.bytes, Clock::now() + std::chrono::milliseconds(a.delayMs)});
        }
        return true;
    }
    bool WaitForInput(int timeoutMs) override {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (BytesAvailable() > 0) {
                return true;
            }
            if (Clock::now() >= end || Lost()) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    int BytesAvailable() override {
        std::lock_guard<std::mutex> g(m_lock);
        Deliver();
        return static_cast<int>(m_input.size());
    }
    int Read(uint8_t* buffer, int max) override {
        std::lock_guard<std::mutex> g(m_lock);
        Deliver();
        int n = 0;
        while (n < max && !m_input.empty()) {
            buffer[n++] = m_input.front();
            m_input.pop_front();
        }
        return n;
    }
    void Purge() override {
        std::lock_guard<std::mutex> g(m_lock);
        Deliver();
        m_input.clear();
    }
    void ClearError() override {}
    bool Lost() override {
        std::lock_guard<std::mutex> g(m_lock);
        return m_lost;
    }
    QString ErrorText() override { return QStringLiteral("fake"); }

    void SetLost() {
        std::lock_guard<std::mutex> g(m_lock);
        m_lost = true;
    }
    std::vector<Written> WrittenFrames() {
        std::lock_guard<std::mutex> g(m_lock);
        return m_written;
    }
    size_t WriteCount() {
        std::lock_guard<std::mutex> g(m_lock);
        return m_written.size();
    }

  private:
    void Deliver() {
        const auto now = Clock::now();
        while (!m_future.empty() && m_future.front().second <= now) {
            m_input.insert(m_input.end(), m_future.front().first.begin(),
                           m_future.front().first.end());
            m_future.pop_front();
        }
    }

    std::mutex m_lock;
    Responder m_responder;
    bool m_lost = false;
    std::vector<Written> m_written;
    std::deque<std::pair<std::vector<uint8_t>, Clock::time_point>> m_future;
    std::deque<uint8_t> m_input;
};

// A reply frame with FF 55 header and checksum.
using qxtest::EncodeFrame;

// What a well-behaved processor answers to a frame (without data for bulk reads).
inline FakeLine::Answer Acknowledge(const std::vector<uint8_t>& frame) {
    const uint8_t cmd = frame[4];
    if (cmd == 0x0C || cmd == 0x18) {
        return {EncodeFrame(cmd, std::vector<uint8_t>(12, 50)), 2};
    }
    if (cmd == 0x7F) {
        return {EncodeFrame(cmd, {0, 1}), 2};
    }
    return {EncodeFrame(cmd, {0}), 2};
}

}  // namespace linktest
