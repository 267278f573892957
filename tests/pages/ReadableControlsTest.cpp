// Every page in both languages: no combo item, caption or value label is cut, and every control
// of a field tells its name, range and value to a person hovering over it and to a screen
// reader.

#include <gtest/gtest.h>

#include <QFontMetrics>

#include "BitButton.h"
#include "BitComboBox.h"
#include "BitmapSlider.h"
#include "Edit_Static.h"
#include "FieldBinding.h"
#include "FieldCaption.h"
#include "FontStatic.h"
#include "MivoDlg.h"
#include "PageDlg.h"
#include "PagesTestSupport.h"
#include "StaticStyle.h"
#include "TextPair.h"

namespace qx {
namespace {

using test::Window;

bool Fits(const QFont& font, const QString& text, int width) {
    QString plain = text;
    plain.remove(u'&');
    return QFontMetrics(FittedFont(font, text, width)).horizontalAdvance(plain) <= width;
}

class ReadableControlsTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetParameters(); }
    void TearDown() override { useChinese = false; }
};

TEST_F(ReadableControlsTest, NoTextIsCutOnAnyPageInEitherLanguage) {
    for (bool chinese : {false, true}) {
        useChinese = chinese;
        Window w;
        w->ApplyLanguageAll();
        for (int tab = 0; tab < CMivoDlg::kTabCount; ++tab) {
            w->SelectTab(tab);
        }
        int checked = 0;
        for (auto* combo : w->Client()->findChildren<CBitComboBox*>()) {
            for (int i = 0; i < combo->count(); ++i) {
                ++checked;
                EXPECT_TRUE(Fits(combo->font(), combo->itemText(i), combo->TextRoom()))
                    << (chinese ? "zh " : "en ") << combo->itemText(i).toStdString() << " in "
                    << combo->TextRoom() << " px";
            }
        }
        for (auto* caption : w->Client()->findChildren<CFontStatic*>()) {
            if (caption->Text().isEmpty()) {
                continue;
            }
            ++checked;
            EXPECT_TRUE(Fits(caption->TextFont(), caption->Text(), caption->width()))
                << (chinese ? "zh " : "en ") << caption->Text().toStdString();
        }
        for (auto* label : w->Client()->findChildren<CEdit_Static*>()) {
            const bool oneLine = (label->Style() & (ss::kCenterImage | ss::kEllipsisMask)) != 0;
            if (label->Text().isEmpty() || !oneLine) {
                continue;
            }
            ++checked;
            EXPECT_TRUE(Fits(label->LabelFont(), label->Text(), label->width()))
                << (chinese ? "zh " : "en ") << label->Text().toStdString();
        }
        EXPECT_GT(checked, 200);
    }
}

TEST_F(ReadableControlsTest, BoundControlsTellTheirFieldRangeAndValue) {
    for (bool chinese : {false, true}) {
        useChinese = chinese;
        Window w;
        w->ApplyLanguageAll();
        CFieldBinding& bar = w->TopBar();
        auto* slider = bar.Get<CBitmapSlider>(CMivoDlg::kMicSlider);
        ASSERT_NE(slider, nullptr);
        const ParamField* field = bar.FieldOf(CMivoDlg::kMicSlider);
        ASSERT_NE(field, nullptr);
        bar.ControlChanged(CMivoDlg::kMicSlider, 20);
        const QString tip = slider->toolTip();
        const QString name = QString::fromStdString(FieldCaption(*field));
        EXPECT_TRUE(tip.startsWith(name)) << tip.toStdString();
        EXPECT_TRUE(tip.contains(QString::fromStdString(
            CParamCatalogue::DisplayCode(*field, static_cast<uint32_t>(field->minimum)))));
        EXPECT_TRUE(tip.contains(QString::fromStdString(CParamCatalogue::DisplayCode(*field, 20))));
        EXPECT_EQ(slider->accessibleName(), name);
        EXPECT_EQ(slider->accessibleDescription(),
                  QString::fromStdString(CParamCatalogue::DisplayCode(*field, 20)));
        // The value follows a change from anywhere, not only from the control.
        bar.Write(field->name, 30);
        EXPECT_TRUE(slider->toolTip().contains(
            QString::fromStdString(CParamCatalogue::DisplayCode(*field, 30))));
        EXPECT_EQ(slider->accessibleDescription(),
                  QString::fromStdString(CParamCatalogue::DisplayCode(*field, 30)));

        // On every page every control of a field has a tooltip and a name.
        for (int tab = 0; tab < CMivoDlg::kTabCount; ++tab) {
            w->SelectTab(tab);
            w->RefreshCurrentPage();
        }
        int described = 0;
        for (QWidget* widget : w->Client()->findChildren<QWidget*>()) {
            const bool control = qobject_cast<CBitmapSlider*>(widget) != nullptr ||
                                 qobject_cast<CBitComboBox*>(widget) != nullptr;
            if (!control || widget->accessibleName().isEmpty()) {
                continue;
            }
            ++described;
            EXPECT_FALSE(widget->toolTip().isEmpty()) << widget->accessibleName().toStdString();
        }
        EXPECT_GT(described, 50);
    }
}

TEST_F(ReadableControlsTest, ButtonsWithoutAFieldAreNamedByTheirCaptionInTheLanguageInForce) {
    for (bool chinese : {false, true}) {
        useChinese = chinese;
        Window w;
        for (int tab = 0; tab < CMivoDlg::kTabCount; ++tab) {
            w->SelectTab(tab);
        }
        w->ApplyLanguageAll();
        int named = 0;
        for (auto* button : w->Client()->findChildren<CBitButton*>()) {
            QString caption = button->text();
            caption.remove(u'&');
            if (caption.isEmpty() || button->accessibleName().isEmpty() ||
                button->toolTip() != button->accessibleName()) {
                continue;  // a field's button, described by its field
            }
            ++named;
            EXPECT_EQ(button->accessibleName(), caption);
        }
        EXPECT_GT(named, 10);
    }
}

TEST_F(ReadableControlsTest, BandTypesAreExplainedInBothLanguages) {
    for (bool chinese : {false, true}) {
        useChinese = chinese;
        const QString help = CFieldBinding::BandTypeHelp();
        for (const char* name : {"BY:", "P:", "LS:", "HS:"}) {
            EXPECT_TRUE(help.contains(QString::fromLatin1(name))) << name;
        }
        EXPECT_EQ(help.contains(QStringLiteral("shelf")), !chinese);
    }
}

}  // namespace
}  // namespace qx
