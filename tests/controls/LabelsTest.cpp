#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "ControlsTestSupport.h"
#include "Edit_Static.h"
#include "EnglishEdit.h"
#include "FontStatic.h"

namespace qx {
namespace {

TEST(EditStatic, RulesUnitsAndMinimum) {
    CEdit_Static label;
    label.SetRange(0, 60);
    label.SetRule(LabelRule::L47);
    label.SetIntegerScale(1, 30, QStringLiteral("dB"));
    label.SetValue(0);
    EXPECT_EQ(label.Text(), "OFF");
    label.SetValue(10);
    EXPECT_EQ(label.Text(), "-20dB");
    label.SetValue(90);  // the maximum does not limit the value
    EXPECT_EQ(label.Text(), "60dB");

    label.SetRange(20, 60);
    label.SetRule(LabelRule::L20);
    label.SetValue(5);
    EXPECT_EQ(label.GetValue(), 20);
    EXPECT_EQ(label.Text(), "-10dB");

    label.SetRange(0, 0);
    label.SetRule(LabelRule::L14);
    label.SetDecimalScale(0.2, 24, QStringLiteral("dB"));
    label.SetValue(135);
    EXPECT_EQ(label.Text(), "3.0dB");

    CEdit_Static distance;
    distance.SetRule(LabelRule::D48);
    distance.SetValue(100);  // maximum never set
    EXPECT_EQ(distance.Text(), "3.400m");
}

TEST(EditStatic, TextTablesNeverReadPastTheirEnd) {
    CEdit_Static label;
    label.SetRule(LabelRule::T5);
    label.SetIntegerScale(1, 0, QStringLiteral("ms"));
    label.SetValue(kAttackCodes - 1);
    const QString last = label.Text();
    EXPECT_TRUE(last.endsWith("ms"));
    label.SetValue(100000);
    EXPECT_EQ(label.Text(), last);
    label.SetRule(LabelRule::T6);
    label.SetIntegerScale(1, 0);
    label.SetValue(kReleaseCodes + 5);
    EXPECT_EQ(label.Text(), QString::fromLatin1(kReleaseTexts.back()));
    label.SetRule(LabelRule::T12);
    label.SetValue(255);
    EXPECT_EQ(label.Text(), QString::fromLatin1(kRatioTexts.back()));
}

// Counts the queued calls the label makes to itself (its redraw).
class RedrawCounter : public QObject {
  public:
    int count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::MetaCall ? 1 : 0;
        return false;
    }
};

TEST(EditStatic, PostsItsRedrawAndPaintsInTheStateColour) {
    test::CSignalRecorder parent;
    auto* label = new CEdit_Static(&parent, 3501);
    label->setGeometry(0, 0, 60, 20);
    RedrawCounter counter;
    label->installEventFilter(&counter);
    label->SetValue(3);
    EXPECT_EQ(counter.count, 0);  // posted, not sent
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(counter.count, 1);

    label->SetTextColors(QColor(255, 255, 255), QColor(255, 0, 0));
    label->SetText(QStringLiteral("████"));
    auto hasColour = [](const QImage& image, const QColor& colour) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_TRUE(hasColour(test::Render(label), QColor(255, 255, 255)));
    label->setEnabled(false);
    const QImage disabled = test::Render(label);
    EXPECT_TRUE(hasColour(disabled, QColor(255, 0, 0)));
    EXPECT_FALSE(hasColour(disabled, QColor(255, 255, 255)));
}

TEST(EnglishEdit, SingleByteCharactersOnlyAndOneChangePerCharacter) {
    CEnglishEdit edit(nullptr, 2600);
    QSignalSpy changes(&edit, &CEnglishEdit::Changed);
    QTest::keyClicks(&edit, "ab1");
    EXPECT_EQ(edit.text(), "ab1");
    ASSERT_EQ(changes.count(), 3);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 2600);
    QKeyEvent chinese(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("中"));
    QApplication::sendEvent(&edit, &chinese);
    QKeyEvent accented(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("é"));
    QApplication::sendEvent(&edit, &accented);
    EXPECT_EQ(edit.text(), "ab1");
    EXPECT_EQ(changes.count(), 3);
    edit.setText(QStringLiteral("set by the page"));
    EXPECT_EQ(changes.count(), 3);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(changes.count(), 4);
}

TEST(FontStatic, ReportsAFontThatCannotBeMade) {
    QString reported;
    CFontStatic::SetFailureReporter([&reported](const QString& message) { reported = message; });
    CFontStatic label;
    label.resize(80, 20);
    label.SetText(QStringLiteral("x"));
    label.SetFontHeight(0);
    test::Render(&label);
    EXPECT_EQ(reported, QStringLiteral("字体不能创建!"));
    reported.clear();
    label.SetFontHeight(14);
    test::Render(&label);
    EXPECT_TRUE(reported.isEmpty());
    CFontStatic::SetFailureReporter([](const QString&) {});
}

}  // namespace
}  // namespace qx
