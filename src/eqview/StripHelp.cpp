#include "StripHelp.h"

#include "DataConver.h"
#include "EqTitle.h"
#include "LabelRules.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr TextPair kBand{"%1 频段%2 %3", "%1 band %2 %3"};
constexpr TextPair kSettings[] = {
    {"类型", "type"}, {"增益", "gain"}, {"频率", "frequency"}, {"Q值", "Q"}};
constexpr TextPair kRange{"范围", "Range"};
constexpr TextPair kNow{"当前值", "Now"};

QString Text(const TextPair& pair) {
    return QString::fromUtf8(pair.Get());
}

}  // namespace

QString CStripHelp::Name(int eqNumber, int band, Setting setting) {
    return QString::fromStdString(
        Tr(kBand, {EqTitle(eqNumber), std::to_string(band + 1), kSettings[setting].Get()}));
}

QString CStripHelp::Value(Setting setting, int code) {
    switch (setting) {
        case kGain:
            return QString::asprintf("%+0.1f dB", CodeToGain(code));
        case kFrequency:
            return QString::fromStdString(FormatFrequency(CodeToFreq(code))) +
                   QStringLiteral(" Hz");
        case kQ:
            return QString::asprintf("%0.3f", CodeToQ(code));
        case kType:
            break;
    }
    static const char* const kTypes[] = {"BY", "P", "LS", "HS"};
    return code >= 0 && code < 4 ? QString::fromLatin1(kTypes[code]) : QString::number(code);
}

QString CStripHelp::Tip(int eqNumber, int band, Setting setting, int lowest, int highest,
                        int code) {
    return Name(eqNumber, band, setting) + QStringLiteral("\n") + Text(kRange) +
           QStringLiteral(": ") + Value(setting, lowest) + QStringLiteral(" … ") +
           Value(setting, highest) + QStringLiteral("\n") + Text(kNow) + QStringLiteral(": ") +
           Value(setting, code);
}

}  // namespace qx
