#pragma once
// qxctl fleet: probe, back up, compare and roll out over every room of a fleet file, a bounded
// number of rooms at a time, each room's line served by a qxctl of its own (CFleetPool).
//   probe FLEET                          a table of the rooms and what answers there
//   backup FLEET DIR                     DIR/<room>-YYYYMMDD-HHMMSS.dat for every room
//   diff FLEET REFERENCE [--fields P]    per room, the fields that differ from REFERENCE
//   rollout FLEET FILE (--program N | --current) [--keep P ...] [--dry-run]
// Exit status: 0 when every room succeeded (diff: and matched), 1 otherwise, 2 bad usage.

#include <functional>
#include <string>
#include <vector>

#include "FleetFile.h"

namespace qx {

class CQxctl;
class CCommandArgs;
class CFleetJob;

class CFleetCommand {
  public:
    static int Run(CQxctl& cli, const std::vector<std::string>& args);

    // Called once per room's write with the room, its address and what was done; the audit
    // log attaches here. Null by default.
    using WriteHook = std::function<void(const FleetRoom& room, const std::string& action,
                                         const std::string& detail)>;
    static void SetWriteHook(WriteHook hook);
    static void NotifyWrite(const FleetRoom& room, const std::string& action,
                            const std::string& detail);

    // Shared by the subcommands: loads the fleet file, keeps the rooms with --tag, and runs
    // the jobs with --jobs workers, printing a progress line per finished room.
    static bool LoadRooms(CQxctl& cli, const std::string& command, const CCommandArgs& a,
                          std::vector<FleetRoom>& rooms);
    static void RunJobs(CQxctl& cli, const CCommandArgs& a, const std::vector<CFleetJob*>& jobs,
                        const std::function<std::string(CFleetJob&)>& line);
    static bool Interrupted();

  private:
    static int Probe(CQxctl& cli, const CCommandArgs& a);
    static int Backup(CQxctl& cli, const CCommandArgs& a);
    static int Diff(CQxctl& cli, const CCommandArgs& a);
};

// qxctl fleet rollout (FleetRollout.cpp).
int FleetRollout(CQxctl& cli, const CCommandArgs& a);

}  // namespace qx
