#pragma once
// A bounded pool of workers for the rooms of a fleet, one serial line each: every room's work
// is a chain of qxctl commands run as child processes (the link's state is one per process),
// at most `workers` rooms at a time. The children run in sessions of their own, so Ctrl+C
// reaches only this process: it starts no new room, and each running room decides (through
// its job) whether to finish the command in hand or stop, so no room is left half written.

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FleetFile.h"

namespace qx {

// What one room does: the pool asks for the next command until the job has none.
class CFleetJob {
  public:
    explicit CFleetJob(FleetRoom room) : m_room(std::move(room)) {}
    virtual ~CFleetJob() = default;

    // The next qxctl command for this room (without --port, which the pool adds); false when
    // the room's work is over. interrupted tells that Ctrl+C came: a job that has not yet
    // started writing should stop.
    virtual bool Next(std::vector<std::string>& args, bool interrupted) = 0;
    // How the command ended: exit code, standard output, and its last "qxctl: ..." line as
    // the reason when it failed.
    virtual void Finished(int exitCode, const std::string& out, const std::string& reason) = 0;

    const FleetRoom& Room() const { return m_room; }
    bool Started() const { return m_started; }
    void MarkStarted() { m_started = true; }
    double Seconds() const { return m_seconds; }
    void SetSeconds(double s) { m_seconds = s; }

  private:
    FleetRoom m_room;
    bool m_started = false;
    double m_seconds = 0;
};

class CFleetPool {
  public:
    // program: the qxctl to start; fastTiming passes the test timing on to the children.
    CFleetPool(int workers, std::string program, bool fastTiming);

    // Runs every job to its end (or to Ctrl+C); done is called as each room finishes.
    void Run(const std::vector<CFleetJob*>& jobs, const std::function<void(CFleetJob&)>& done);
    // True once SIGINT or SIGTERM arrived during Run.
    bool Interrupted() const;

    // The qxctl the pool starts when none is given: QXCTL_PROGRAM, else this program.
    static std::string DefaultProgram();
    // For tests: behave as if Ctrl+C had come (or not).
    static void SimulateInterrupt(bool on);

  private:
    int m_workers;
    std::string m_program;
    bool m_fastTiming;
};

}  // namespace qx
