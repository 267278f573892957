#pragma once
// What a number box accepts as typed or pasted text. A frequency may carry a "k" multiplier
// ("1k", "1.2kHz") and a unit; a gain may carry "dB" or be "OFF"; a Q is a plain number.
// Anything else (letters, exponents, a second number, an empty box, a negative frequency or
// Q) is not a value, so the box keeps what it had instead of sending a guess.

#include <QString>
#include <QValidator>
#include <optional>

namespace qx {

// The number the text stands for in the box's mode (CNumEdit::kMode*), in hertz, dB or Q;
// empty when the text is not a whole, well-formed value. Range checks are the caller's.
std::optional<double> ParseTypedValue(const QString& text, int mode);

// Refuses edits (typed, pasted, inserted) that cannot be the start of a value in the mode, so
// a paste of "7e1 garbage" is turned away as a whole rather than cut down to its first number.
class CNumEditValidator : public QValidator {
    Q_OBJECT
  public:
    CNumEditValidator(int mode, QObject* parent) : QValidator(parent), m_mode(mode) {}
    void SetMode(int mode) { m_mode = mode; }
    State validate(QString& input, int& pos) const override;

  private:
    int m_mode;
};

}  // namespace qx
