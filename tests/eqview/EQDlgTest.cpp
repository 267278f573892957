// A band strip on a page with its curve view: what its controls write, what they report and
// how the strip and the curve follow each other.

#include <gtest/gtest.h>

#include <QTest>

#include "BitComboBox.h"
#include "BitmapSlider.h"
#include "CurveSets.h"
#include "DataConver.h"
#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "EqViewTestSupport.h"
#include "FontStatic.h"
#include "KTVEQ.h"
#include "NumEdit.h"
#include "ParameterSet.h"
#include "TextPair.h"

namespace qx {
namespace {

using test::CentreOf;
using test::ChangedOffsets;
using test::DragFromTo;
using test::OffsetOf;
using test::Snapshot;

class BandStripTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        page.resize(test::kViewWidth, 600);
        view = new CEQCurveStatic(&page);
        view->setGeometry(0, 280, test::kViewWidth, test::kViewHeight);
        view->InitPlot();
        view->SetOwner(&page);
        view->SizeCurveSets(0);
        view->ShowEq(kEqMusicLeft);
        strip = new CEQDlg(&page);
        strip->move(100, 10);
        strip->SetCurveView(view);
        strip->SetEq(kEqMusicLeft, 0);
        Band().SetType(kTypePeaking);
        Band().SetGainCode(150);
        Band().SetQCode(40);
        strip->SetBand(3);
        QObject::connect(strip, &CEQDlg::BandChanged, [this](int i) { reports.push_back(i); });
    }

    // Shows the page as the active window, for tests that need the keyboard focus.
    void ShowPage() {
        page.show();
        page.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    }
    CFilter& Band(int i = 3) { return *view->CurveSet()->GetAt(i); }
    EqBand& Record(int i = 3) { return ParameterSet.program.MusicLeft.bands[i]; }
    std::vector<int> Reports() {
        // The slider's report is queued, and the strip's own report is queued from it.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
        std::vector<int> out;
        out.swap(reports);
        return out;
    }
    void Type(CNumEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    QWidget page;
    CEQCurveStatic* view = nullptr;
    CEQDlg* strip = nullptr;
    std::vector<int> reports;
};

TEST_F(BandStripTest, BindingNumbersTheCaptionAndLoadsEveryControlFromTheRecord) {
    EXPECT_EQ(strip->Caption()->Text(), QStringLiteral("4"));
    EXPECT_EQ(strip->TypeList()->currentIndex(), kTypePeaking);
    EXPECT_EQ(strip->GainEdit()->GetValue(), 150);
    EXPECT_EQ(strip->GainEdit()->text(), QStringLiteral("6.0"));
    EXPECT_EQ(strip->GainSlider()->GetPosInverted(), 150);
    EXPECT_EQ(strip->FreqEdit()->GetValue(), static_cast<int>(Record().freqCode));
    EXPECT_EQ(strip->QEdit()->GetValue(), 40);
    EXPECT_EQ(Band().LinkedSlider(), strip->GainSlider());

    // SetEq with bind takes the same band of another curve set and shows it.
    CurveSetOf(kEqMusicRight)->GetAt(3)->SetGainCode(33);
    strip->SetEq(kEqMusicRight, 1);
    EXPECT_EQ(strip->EqNumber(), kEqMusicRight);
    EXPECT_EQ(strip->Filter()->BandRecord(), &ParameterSet.program.MusicRight.bands[3]);
    EXPECT_EQ(strip->GainEdit()->GetValue(), 33);
    EXPECT_EQ(strip->GainSlider()->GetPosInverted(), 33);
}

TEST_F(BandStripTest, ChoosingBypassFlattensTheBandAndKeepsItsValues) {
    const auto before = Snapshot();
    QTest::keyClick(strip->TypeList(), Qt::Key_Up);  // P -> BY
    EXPECT_EQ(Record().type, kTypeBypass);
    const auto changed = ChangedOffsets(before, Snapshot());
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0], OffsetOf(&Record().type));
    for (double r : Band().GetResponse()) {
        ASSERT_EQ(r, 0.0);
    }
    // Sent: reported before the event loop runs again; the curve highlights the band.
    EXPECT_EQ(reports, std::vector<int>{3});
    EXPECT_EQ(view->HighlightedFilter(), &Band());
}

TEST_F(BandStripTest, TypedValuesAreWrittenHeldInRangeAndReportedAtOnce) {
    ShowPage();
    Type(strip->QEdit(), QStringLiteral("500"));
    QTest::keyClick(strip->QEdit(), Qt::Key_Return);
    EXPECT_TRUE(strip->hasFocus());  // Enter hands the focus to the strip, which commits
    EXPECT_EQ(Record().qCode, 100);
    EXPECT_EQ(reports, std::vector<int>{3});
    reports.clear();

    Type(strip->QEdit(), QStringLiteral("0.01"));
    QTest::keyClick(strip->QEdit(), Qt::Key_Escape);
    EXPECT_EQ(Record().qCode, 0);

    Type(strip->FreqEdit(), QStringLiteral("1000"));
    QTest::keyClick(strip->FreqEdit(), Qt::Key_Enter);
    EXPECT_EQ(Record().freqCode, FreqToCode(1000));

    // The gain edit moves the slider too, and only the gain byte changes.
    const auto before = Snapshot();
    const QImage curve = view->Frame().copy();
    Type(strip->GainEdit(), QStringLiteral("-6"));
    QTest::keyClick(strip->GainEdit(), Qt::Key_Return);
    EXPECT_EQ(Record().gainCode, 90);
    EXPECT_EQ(strip->GainSlider()->GetPosInverted(), 90);
    const auto changed = ChangedOffsets(before, Snapshot());
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0], OffsetOf(&Record().gainCode));
    EXPECT_NE(view->Frame(), curve);  // redrawn at once
    EXPECT_EQ(view->HighlightedFilter(), &Band());

    // Tab moves on to the next control, the typed value already stored.
    strip->QEdit()->setFocus();
    QTest::keyClick(strip->QEdit(), Qt::Key_Tab);
    EXPECT_FALSE(strip->QEdit()->hasFocus());
}

TEST_F(BandStripTest, TheSliderWritesTheGainAndReportsFromTheEventLoop) {
    ShowPage();
    CBitmapSlider* slider = strip->GainSlider();
    // Drag the thumb to the top: +12 dB.
    const int x = slider->width() / 2;
    const QPoint thumb(x, slider->CentreOf(slider->GetPos()));
    QTest::mousePress(slider, Qt::LeftButton, {}, thumb);
    QMouseEvent move(QEvent::MouseMove, QPointF(x, -50), slider->mapToGlobal(QPointF(x, -50)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(slider, &move);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(x, -50));
    EXPECT_TRUE(reports.empty());  // nothing reported while the mouse events are handled
    EXPECT_EQ(Reports(), std::vector<int>{3});
    EXPECT_EQ(Record().gainCode, 180);
    EXPECT_EQ(strip->GainEdit()->text(), QStringLiteral("12.0"));
    EXPECT_TRUE(strip->GainEdit()->hasFocus());
    EXPECT_EQ(view->HighlightedFilter(), &Band());
}

TEST_F(BandStripTest, TheLinkedSliderFollowsACurveDragAtOnce) {
    const QPoint c = CentreOf(&Band());
    test::MoveTo(view, c);
    test::Press(view, c);
    test::MoveTo(view, c + QPoint(0, -30), Qt::LeftButton);
    // Before any queued event runs, the slider already shows the new gain.
    EXPECT_NE(Record().gainCode, 150);
    EXPECT_EQ(strip->GainSlider()->GetPosInverted(), Record().gainCode);
    test::Release(view, c + QPoint(0, -30));

    // A page that reloads the strip on every reported point keeps its edits in step.
    QObject::connect(view, &CEQCurveStatic::PointSelected, strip, [this](int, int index) {
        if (index == strip->BandIndex()) {
            strip->LoadBandAndFocus();
        }
    });
    DragFromTo(view, CentreOf(&Band()), CentreOf(&Band()) + QPoint(0, 25));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(strip->GainEdit()->GetValue(), Record().gainCode);
    EXPECT_EQ(strip->FreqEdit()->GetValue(), Record().freqCode);
}

TEST_F(BandStripTest, AStripNoLongerFollowsABandItWasMovedAwayFrom) {
    strip->SetBand(5);  // as a page scrolling its strips does
    EXPECT_EQ(Band(3).LinkedSlider(), nullptr);
    EXPECT_EQ(Band(5).LinkedSlider(), strip->GainSlider());
    const int shown = strip->GainSlider()->GetPosInverted();
    DragFromTo(view, CentreOf(&Band(3)), CentreOf(&Band(3)) + QPoint(0, 40));
    EXPECT_EQ(strip->GainSlider()->GetPosInverted(), shown);

    // A strip that goes leaves no band pointing at its slider.
    delete strip;
    strip = nullptr;
    EXPECT_EQ(Band(5).LinkedSlider(), nullptr);
    DragFromTo(view, CentreOf(&Band(5)), CentreOf(&Band(5)) + QPoint(0, -40));
    EXPECT_GT(Record(5).gainCode, 120);
}

// Hovering or a screen reader: every control of the strip names the equaliser, the band and
// the setting, tells its range and the value now, and follows edits and the language.
TEST_F(BandStripTest, ControlsTellTheirBandRangeAndValueInTheLanguageInForce) {
    EXPECT_EQ(strip->GainEdit()->accessibleName(), QStringLiteral("Music Left band 4 gain"));
    EXPECT_EQ(strip->GainEdit()->toolTip(),
              QStringLiteral("Music Left band 4 gain\nRange: -24.0 dB … +12.0 dB\nNow: +6.0 dB"));
    EXPECT_EQ(strip->GainSlider()->accessibleDescription(), QStringLiteral("+6.0 dB"));
    EXPECT_EQ(strip->QEdit()->accessibleDescription(), QString::asprintf("%0.3f", CodeToQ(40)));
    EXPECT_TRUE(strip->FreqEdit()->toolTip().contains(QStringLiteral("Range: 19.7 Hz … ")))
        << strip->FreqEdit()->toolTip().toStdString();

    // A committed value is told at once.
    ShowPage();
    Type(strip->GainEdit(), QStringLiteral("-6"));
    QTest::keyClick(strip->GainEdit(), Qt::Key_Return);
    EXPECT_TRUE(strip->GainEdit()->toolTip().endsWith(QStringLiteral("Now: -6.0 dB")))
        << strip->GainEdit()->toolTip().toStdString();

    useChinese = true;
    strip->ApplyLanguage();
    EXPECT_EQ(strip->GainEdit()->accessibleName(), QStringLiteral("音乐左 频段4 增益"));
    EXPECT_TRUE(strip->GainEdit()->toolTip().contains(QStringLiteral("\n范围: -24.0 dB … ")));
    EXPECT_EQ(strip->QEdit()->accessibleName(), QStringLiteral("音乐左 频段4 Q值"));
    useChinese = false;
    strip->ApplyLanguage();
    EXPECT_EQ(strip->QEdit()->accessibleName(), QStringLiteral("Music Left band 4 Q"));
}

}  // namespace
}  // namespace qx
