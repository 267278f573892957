#include <gtest/gtest.h>

#include <QClipboard>
#include <QFocusEvent>
#include <QTest>

#include "BitmapSlider.h"
#include "ControlsTestSupport.h"
#include "NumEdit.h"
#include "NumEditText.h"

namespace qx {
namespace {

using test::CSignalRecorder;
using test::Wheel;

constexpr int kId = 3508;

struct Edit {
    CSignalRecorder parent;
    CNumEdit* edit = new CNumEdit(&parent, kId);
    Edit() { parent.Watch(edit); }

    void Type(const QString& text) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    void LeaveField() {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit, &out);
    }
    int Notifications() { return parent.Count(test::Report::Committed); }
};

void Frequency(Edit& e) {
    e.edit->SetRange(0, 361);
    e.edit->SetKind(CNumEdit::kModeFrequency, QStringLiteral("Hz"));
}

void DynamicGain(Edit& e) {
    e.edit->SetScale(0.2);
    e.edit->SetOffset(24);
    e.edit->SetRange(60, 180);
    e.edit->SetKind(CNumEdit::kModeGain);
}

TEST(NumEdit, FrequencyCommitLimitsToTheTableAndNotifies) {
    Edit e;
    Frequency(e);
    e.edit->SetValue(85);
    EXPECT_EQ(e.edit->text(), "101Hz");
    e.edit->SetValue(84);
    EXPECT_EQ(e.edit->text(), "99.0Hz");

    e.Type("25000");
    e.LeaveField();
    EXPECT_EQ(e.edit->GetValue(), 361);
    EXPECT_EQ(e.edit->text(), "20600Hz");
    auto messages = e.parent.Take();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].report, test::Report::Committed);
    EXPECT_EQ(messages[0].id, kId);

    e.Type("5");
    e.LeaveField();
    EXPECT_EQ(e.edit->GetValue(), 0);
    EXPECT_EQ(e.edit->text(), "19.7Hz");
    EXPECT_EQ(e.Notifications(), 1);
    e.parent.Take();

    // Leaving without typing reports nothing and keeps the value.
    e.LeaveField();
    EXPECT_EQ(e.Notifications(), 0);
    EXPECT_EQ(e.edit->GetValue(), 0);
}

TEST(NumEdit, GetValueParsesTypedTextButIgnoresValuesOutsideTheTable) {
    Edit e;
    Frequency(e);
    e.edit->SetValue(200);
    e.Type("30000");
    EXPECT_EQ(e.edit->GetValue(), 200);
    e.Type("1000");
    EXPECT_EQ(e.edit->GetValue(), e.edit->GetValue());
    EXPECT_NE(e.edit->GetValue(), 200);
    EXPECT_EQ(e.Notifications(), 0);  // reading never notifies
}

TEST(NumEdit, GainCommitClampsToTheRangeAndTakesOff) {
    Edit e;
    DynamicGain(e);
    e.edit->SetValue(120);
    EXPECT_EQ(e.edit->text(), "0.0");
    e.Type("-20");
    e.LeaveField();
    EXPECT_EQ(e.edit->GetValue(), 60);
    EXPECT_EQ(e.edit->text(), "-12.0");
    e.Type("3.1");
    e.LeaveField();
    EXPECT_EQ(e.edit->GetValue(), 135);
    EXPECT_EQ(e.edit->text(), "3.0");
    // "OFF" cannot be typed through the character filter but can be pasted.
    e.edit->selectAll();
    e.edit->insert(QStringLiteral("OFF"));
    ASSERT_EQ(e.edit->text(), "OFF");
    e.LeaveField();
    EXPECT_EQ(e.edit->GetValue(), 60);
    EXPECT_EQ(e.Notifications(), 3);

    // Values exact in decimal keep their code: -23.8 dB is code 1 of the full range.
    Edit full;
    full.edit->SetScale(0.2);
    full.edit->SetOffset(24);
    full.edit->SetRange(0, 180);
    full.edit->SetKind(CNumEdit::kModeGain);
    full.Type("-23.8");
    full.LeaveField();
    EXPECT_EQ(full.edit->GetValue(), 1);
    full.Type("11.6");
    full.LeaveField();
    EXPECT_EQ(full.edit->GetValue(), 178);
}

TEST(NumEdit, QCommitLimitsToTheTable) {
    Edit e;
    e.edit->SetRange(0, 100);
    e.edit->SetKind(CNumEdit::kModeQ);
    e.edit->SetValue(50);
    e.Type("200");
    e.LeaveField();
    EXPECT_EQ(e.edit->GetValue(), 100);
    EXPECT_EQ(e.edit->text(), "128.000");
    e.Type("0.1");
    e.LeaveField();
    EXPECT_EQ(e.edit->GetValue(), 0);
    EXPECT_EQ(e.edit->text(), "0.400");
    EXPECT_EQ(e.Notifications(), 2);
}

TEST(NumEdit, TypedCharactersAreFilteredAndEnterDoesNotCommit) {
    Edit e;
    Frequency(e);
    e.edit->clear();
    QTest::keyClicks(e.edit, "a1b2.5-x");
    EXPECT_EQ(e.edit->text(), "12.5-");
    QKeyEvent chinese(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("中"));
    QApplication::sendEvent(e.edit, &chinese);
    EXPECT_EQ(e.edit->text(), "12.5-");
    QTest::keyClick(e.edit, Qt::Key_Backspace);
    EXPECT_EQ(e.edit->text(), "12.5");
    QTest::keyClick(e.edit, Qt::Key_Return);
    EXPECT_EQ(e.edit->text(), "12.5");
    EXPECT_EQ(e.Notifications(), 0);
}

TEST(NumEdit, ArrowsStopAtTheEndsWithoutNotifying) {
    Edit e;
    e.edit->SetRange(0, 100);
    e.edit->SetKind(CNumEdit::kModeQ);
    e.edit->SetValue(99);
    QTest::keyClick(e.edit, Qt::Key_Up);
    EXPECT_EQ(e.edit->GetValue(), 100);
    EXPECT_EQ(e.Notifications(), 1);
    e.parent.Take();
    QTest::keyClick(e.edit, Qt::Key_Up);
    EXPECT_EQ(e.edit->GetValue(), 100);
    EXPECT_EQ(e.Notifications(), 0);
    e.edit->SetValue(0);
    QTest::keyClick(e.edit, Qt::Key_Down);
    EXPECT_EQ(e.edit->GetValue(), 0);
    EXPECT_EQ(e.Notifications(), 0);
    QTest::keyClick(e.edit, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(e.edit->GetValue(), 0);
}

TEST(NumEdit, EveryWheelMessageNotifies) {
    Edit e;
    e.edit->SetRange(0, 100);
    e.edit->SetKind(CNumEdit::kModeQ);
    e.edit->SetValue(10);
    Wheel(e.edit, 60);
    EXPECT_EQ(e.edit->GetValue(), 10);
    EXPECT_EQ(e.Notifications(), 1);
    Wheel(e.edit, 60);
    EXPECT_EQ(e.edit->GetValue(), 11);
    Wheel(e.edit, -120);
    EXPECT_EQ(e.edit->GetValue(), 10);
    EXPECT_EQ(e.Notifications(), 3);
    // At the maximum the wheel changes nothing but still notifies.
    e.edit->SetValue(100);
    Wheel(e.edit, 120);
    EXPECT_EQ(e.edit->GetValue(), 100);
    EXPECT_EQ(e.Notifications(), 4);
}

TEST(NumEdit, CompanionSliderLooksActiveWhileTheEditHasFocus) {
    Edit e;
    CBitmapSlider slider(&e.parent);
    DynamicGain(e);
    e.edit->SetCompanion(&slider);
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(e.edit, &in);
    EXPECT_TRUE(slider.GetFocusLook());
    e.LeaveField();
    EXPECT_FALSE(slider.GetFocusLook());
}

TEST(NumEdit, SetValueOutsideTheRangeIsIgnored) {
    Edit e;
    Frequency(e);
    e.edit->SetValue(100);
    e.edit->SetValue(362);
    e.edit->SetValue(-1);
    EXPECT_EQ(e.edit->GetValue(), 100);
    EXPECT_EQ(CNumEdit::ReadNumber("  -12.5dB"), -12.5);
    EXPECT_EQ(CNumEdit::ReadNumber("Hz"), 0.0);
    EXPECT_EQ(CNumEdit::ReadNumber(".5"), 0.5);
}

TEST(NumEdit, TextThatIsNotAValueChangesNothingAndRestoresTheDisplay) {
    Edit freq;
    Frequency(freq);
    freq.edit->SetValue(200);
    const QString shown = freq.edit->text();
    // Empty, a negative frequency, a lone sign or point: none is a frequency.
    for (const QString& typed : {QString(), QStringLiteral("-100"), QStringLiteral("-"),
                                 QStringLiteral("."), QStringLiteral("1.2.3")}) {
        freq.edit->selectAll();
        freq.edit->del();
        QTest::keyClicks(freq.edit, typed);
        freq.LeaveField();
        EXPECT_EQ(freq.edit->GetValue(), 200) << typed.toStdString();
        EXPECT_EQ(freq.edit->text(), shown) << typed.toStdString();
    }
    EXPECT_EQ(freq.Notifications(), 0);

    Edit q;
    q.edit->SetRange(0, 100);
    q.edit->SetKind(CNumEdit::kModeQ);
    q.edit->SetValue(40);
    const QString qShown = q.edit->text();
    q.edit->selectAll();
    q.edit->del();
    q.LeaveField();
    EXPECT_EQ(q.edit->GetValue(), 40);
    EXPECT_EQ(q.edit->text(), qShown);
    EXPECT_EQ(q.Notifications(), 0);

    // After a refusal the next real value still goes through.
    freq.Type("1000");
    freq.LeaveField();
    EXPECT_EQ(freq.Notifications(), 1);
    EXPECT_EQ(freq.edit->text(), "1000Hz");
}

TEST(NumEdit, FrequencyTakesAKiloMultiplierAndItsUnit) {
    Edit e;
    Frequency(e);
    e.Type("1000");
    e.LeaveField();
    const int thousand = e.edit->GetValue();
    e.edit->SetValue(10);
    e.Type("1k");
    e.LeaveField();
    EXPECT_EQ(e.edit->GetValue(), thousand);
    e.Type("1.2k");
    e.LeaveField();
    EXPECT_GT(e.edit->GetValue(), thousand);
    EXPECT_EQ(e.edit->GetValue(), [] {
        Edit plain;
        Frequency(plain);
        plain.Type("1200");
        plain.LeaveField();
        return plain.edit->GetValue();
    }());
    EXPECT_EQ(e.Notifications(), 3);

    EXPECT_EQ(ParseTypedValue(QStringLiteral(" 1.2 kHz "), CNumEdit::kModeFrequency), 1200.0);
    EXPECT_EQ(ParseTypedValue(QStringLiteral("99.0Hz"), CNumEdit::kModeFrequency), 99.0);
    EXPECT_EQ(ParseTypedValue(QStringLiteral("-3.5dB"), CNumEdit::kModeGain), -3.5);
    EXPECT_EQ(ParseTypedValue(QStringLiteral("off"), CNumEdit::kModeGain), -120.0);
    // A multiplier belongs to frequencies only; an exponent or a trailing word is no value.
    EXPECT_FALSE(ParseTypedValue(QStringLiteral("1k"), CNumEdit::kModeGain));
    EXPECT_FALSE(ParseTypedValue(QStringLiteral("1k"), CNumEdit::kModeQ));
    EXPECT_FALSE(ParseTypedValue(QStringLiteral("7e1"), CNumEdit::kModeQ));
    EXPECT_FALSE(ParseTypedValue(QStringLiteral("12 34"), CNumEdit::kModeFrequency));
    EXPECT_FALSE(ParseTypedValue(QStringLiteral("kHz"), CNumEdit::kModeFrequency));
}

TEST(NumEdit, PastedTextPassesTheSameCheckAsTypedText) {
    Edit e;
    Frequency(e);
    e.edit->SetValue(200);
    const QString shown = e.edit->text();
    // Through the clipboard keys, which are also what the context menu's Paste does.
    QApplication::clipboard()->setText(QStringLiteral("7e1 garbage 漢字"));
    e.edit->selectAll();
    QTest::keyClick(e.edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.edit->text(), shown);
    e.edit->selectAll();
    QTest::keyClick(e.edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(e.edit->text(), shown);
    e.edit->selectAll();
    e.edit->paste();
    EXPECT_EQ(e.edit->text(), shown);
    e.LeaveField();
    EXPECT_EQ(e.edit->GetValue(), 200);
    EXPECT_EQ(e.Notifications(), 0);

    // A pasted value is taken like a typed one.
    QApplication::clipboard()->setText(QStringLiteral("2.5k"));
    e.edit->selectAll();
    QTest::keyClick(e.edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.edit->text(), "2.5k");
    e.LeaveField();
    EXPECT_EQ(e.Notifications(), 1);
    Edit typed;
    Frequency(typed);
    typed.Type("2500");
    typed.LeaveField();
    EXPECT_EQ(e.edit->GetValue(), typed.edit->GetValue());
}

TEST(NumEdit, WidestValueFitsTheBox) {
    // A Q box as narrow as the curve strip's keeps its width and shows "128.000" whole.
    Edit e;
    e.edit->SetRange(0, 100);
    e.edit->SetKind(CNumEdit::kModeQ);
    e.edit->SetValue(100);
    e.parent.show();
    e.edit->resize(48, 20);
    ASSERT_EQ(e.edit->text(), "128.000");
    EXPECT_EQ(e.edit->width(), 48);
    const QFontMetrics metrics(e.edit->font());
    EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("128.000")) + 6, e.edit->width());
    // A wide box keeps the usual font.
    e.edit->resize(200, 20);
    EXPECT_EQ(e.edit->font().pixelSize(), 13);
}

}  // namespace
}  // namespace qx
