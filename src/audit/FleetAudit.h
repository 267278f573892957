#pragma once
// Fleet steps in the audit log, callable from any thread (one worker per room): a room's
// whole rollout field by field, or one line for a step (AuditFleet in AuditLog.h).
//
//     AuditFleetChanges("A01", "socket://dsp-a01:4001", 3, before, after, "small.dia", ok);

#include <string>

#include "AuditLog.h"
#include "ProgramImage.h"

namespace qx {

// Names the file once ("rollout"), then logs every field that differs between the room's
// image before and after, with the cause fleet; ok false marks them as not taken by the room.
// Passwords show only that they changed.
void AuditFleetChanges(const std::string& room, const std::string& port, int program,
                       const ParamImage& before, const ParamImage& after, const std::string& file,
                       bool ok, CAuditLog& log = CAuditLog::Shared());

}  // namespace qx
