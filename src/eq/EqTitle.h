#pragma once
// The name of an equaliser as a person reads it in the language in force ("音乐左" or
// "Music Left"); files and qxctl keep the fixed English names of EqName.

#include <string>

namespace qx {

std::string EqTitle(int eqNumber);

}  // namespace qx
