#include "NumEditText.h"

#include "NumEdit.h"

namespace qx {

namespace {

constexpr int kLongestText = 16;

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The characters a value of the mode may contain at all.
bool Allowed(QChar c, int mode) {
    if (IsDigit(c) || c == u'.' || c == u'-' || c == u'+' || c == u' ') {
        return true;
    }
    const QChar l = c.toLower();
    switch (mode) {
        case CNumEdit::kModeFrequency:
            return l == u'k' || l == u'h' || l == u'z';
        case CNumEdit::kModeGain:
            return l == u'd' || l == u'b' || l == u'o' || l == u'f';
        default:
            return false;
    }
}

}  // namespace

std::optional<double> ParseTypedValue(const QString& text, int mode) {
    QString t = text.trimmed();
    if (mode == CNumEdit::kModeGain && t.compare(QStringLiteral("OFF"), Qt::CaseInsensitive) == 0) {
        return -120.0;
    }
    // The unit, if any, ends the text.
    const QString unit = mode == CNumEdit::kModeFrequency ? QStringLiteral("hz")
                         : mode == CNumEdit::kModeGain    ? QStringLiteral("db")
                                                          : QString();
    if (!unit.isEmpty() && t.endsWith(unit, Qt::CaseInsensitive)) {
        t.chop(unit.size());
        t = t.trimmed();
    }
    double multiplier = 1.0;
    if (mode == CNumEdit::kModeFrequency && t.endsWith(u'k', Qt::CaseInsensitive)) {
        multiplier = 1000.0;
        t.chop(1);
        t = t.trimmed();
    }
    // A sign, digits with at most one point, nothing else.
    int i = 0;
    const int n = static_cast<int>(t.size());
    if (i < n && (t[i] == u'-' || t[i] == u'+')) {
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < n; ++i) {
        if (IsDigit(t[i])) {
            digits = true;
        } else if (t[i] == u'.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = t.toDouble(&ok) * multiplier;
    if (!ok) {
        return std::nullopt;
    }
    // Frequencies and Q are positive quantities; a minus there is a slip, not a request for the
    // lowest value.
    if ((mode == CNumEdit::kModeFrequency || mode == CNumEdit::kModeQ) && value < 0.0) {
        return std::nullopt;
    }
    return value;
}

QValidator::State CNumEditValidator::validate(QString& input, int&) const {
    if (input.size() > kLongestText) {
        return Invalid;
    }
    for (const QChar c : input) {
        if (!Allowed(c, m_mode)) {
            return Invalid;
        }
    }
    return ParseTypedValue(input, m_mode) ? Acceptable : Intermediate;
}

}  // namespace qx
