#include "EqTitle.h"

#include <array>

#include "EqTextImport.h"
#include "ParameterSet.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr std::array<TextPair, kEqNumberCount> kTitles{{
    {"音乐左", "Music Left"},
    {"音乐右", "Music Right"},
    {"话筒1", "Mic 1"},
    {"话筒2", "Mic 2"},
    {"回声A", "Echo A"},
    {"回声B", "Echo B"},
    {"混响", "Reverb"},
    {"混响（副本）", "Reverb (copy)"},
    {"输出 主左", "Output Main L"},
    {"输出 主右", "Output Main R"},
    {"输出 中置", "Output Center"},
    {"输出 超低音", "Output SUB"},
    {"输出 后左", "Output Rear L"},
    {"输出 后右", "Output Rear R"},
    {"输出 环绕左", "Output Surround L"},
    {"输出 环绕右", "Output Surround R"},
    {"动态EQ 左", "Dynamic EQ left"},
    {"动态EQ 右", "Dynamic EQ right"},
}};

}  // namespace

std::string EqTitle(int eqNumber) {
    if (eqNumber >= 0 && eqNumber < static_cast<int>(kTitles.size())) {
        return kTitles[static_cast<std::size_t>(eqNumber)].Get();
    }
    return EqName(eqNumber);
}

}  // namespace qx
