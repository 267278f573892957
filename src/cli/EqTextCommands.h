#pragma once
// qxctl eq-import and eq-export: an equaliser of a program file or of the processor, in and out
// as the filter text room-measurement programs write.

#include "CommandArgs.h"

namespace qx {

class CQxctl;

class CEqTextCommands {
  public:
    static int Import(CQxctl& cli, const CCommandArgs& args);
    static int Export(CQxctl& cli, const CCommandArgs& args);
};

}  // namespace qx
