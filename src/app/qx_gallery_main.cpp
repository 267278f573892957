// qx-gallery: renders every skinned control in each of its states to PNG files, for looking
// at the skin without the editor. Usage: qx-gallery [output folder] (default: ./gallery).

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cstdio>
#include <functional>

#include "BitButton.h"
#include "BitComboBox.h"
#include "BitListBox.h"
#include "BitmapSlider.h"
#include "DialogUnits.h"
#include "Edit_Static.h"
#include "EnTabCtrl.h"
#include "EnglishEdit.h"
#include "FontStatic.h"
#include "NumEdit.h"
#include "SLamp.h"
#include "SkinBitmaps.h"
#include "SkinColors.h"
#include "SkinFonts.h"
#include "StaticStyle.h"
#include "SxGroupBox.h"
#include "TransparentStatic.h"

using namespace qx;

namespace {

QString outDir;
int written = 0;

// A page-coloured panel to put controls on.
QWidget* Panel(int w, int h, const QColor& colour = skin::kPageColor) {
    auto* panel = new QWidget;
    panel->resize(w, h);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, colour);
    panel->setPalette(pal);
    panel->setAttribute(Qt::WA_DontShowOnScreen);
    return panel;
}

void Save(QWidget* widget, const QString& name) {
    widget->show();
    QApplication::processEvents();
    const QString file = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    if (widget->grab().save(file)) {
        ++written;
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    }
}

CTransparentStatic* Caption(QWidget* parent, const QString& text, int x, int y, int w = 150) {
    auto* caption = new CTransparentStatic(parent, 0, ss::kLeft | ss::kCenterImage);
    caption->setGeometry(x, y, w, 18);
    caption->SetText(text);
    return caption;
}

void Hover(QWidget* w) {
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(w, &enter);
}

void Press(QWidget* w) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

void Sliders() {
    QWidget* panel = Panel(620, 330);
    Caption(panel, QStringLiteral("音乐音量 / Music Vol"), 10, 4, 300);
    int y = 26;
    const struct {
        int pos;
        bool enabled;
        bool focus;
        const char* label;
    } rows[] = {{0, true, false, "0"},
                {37, true, false, "37"},
                {100, true, false, "100"},
                {60, true, true, "60 focused / 焦点"},
                {60, false, false, "disabled / 禁用"}};
    for (const auto& row : rows) {
        auto* s = new CBitmapSlider(panel);
        s->SetBitmapChannel(skinid::kSliderChannel, skinid::kSliderActiveChannel);
        s->SetBitmapThumb(skinid::kSliderThumb, skinid::kSliderThumb);
        s->SetRange(0, 100);
        s->SetPos(row.pos);
        s->SetFocusLook(row.focus);
        s->Enable(row.enabled);
        s->move(10, y);
        Caption(panel, QString::fromUtf8(row.label), 205, y, 160);
        y += 30;
    }
    // The vertical gain sliders of the dynamic EQ page.
    for (int i = 0; i < 3; ++i) {
        auto* s = new CBitmapSlider(panel);
        s->SetVertical(true);
        s->SetBitmapChannel(skinid::kGainChannel, 0);
        s->SetBitmapThumb(skinid::kGainThumb, skinid::kGainActiveThumb, true);
        s->SetMargin(12, 1, 0, 2);
        s->SetRange(0, 180);
        s->SetPosInverted(i == 0 ? 180 : i == 1 ? 120 : 30);
        s->SetFocusLook(i == 1);
        s->move(380 + i * 50, 26);
    }
    // Top-bar volume slider on the top bar colour.
    auto* bar = new QWidget(panel);
    bar->setGeometry(0, 190, 620, 140);
    bar->setAutoFillBackground(true);
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, skin::kTopBarColor);
    bar->setPalette(pal);
    for (int i = 0; i < 3; ++i) {
        auto* s = new CBitmapSlider(bar);
        s->SetBitmapChannel(skinid::kVolumeChannel, skinid::kVolumeActiveChannel);
        s->SetBitmapThumb(skinid::kVolumeThumb, skinid::kVolumeThumb);
        s->SetRange(0, 84);
        s->SetPos(i * 40);
        s->move(110, 15 + i * 40);
        auto* label = new CEdit_Static(bar, 0, ss::kCenter | ss::kCenterImage);
        label->setGeometry(320, 15 + i * 40, 40, 20);
        label->SetRange(0, 84);
        label->SetValue(i * 40);
        auto* mute = new CBitButton(bar);
        mute->SetBitmaps(skinid::kMuteOff, skinid::kMuteOff, skinid::kMuteOff, skinid::kMuteOn,
                         skinid::kMuteOn, skinid::kMuteOn);
        mute->setGeometry(370, 15 + i * 40, 24, 20);
        mute->SetCheck(i == 2 ? 1 : 0);
        auto* caption = new CFontStatic(bar);
        caption->SetTextColor(Qt::white);
        caption->setGeometry(10, 15 + i * 40, 95, 20);
        caption->SetText(i == 0   ? QStringLiteral("音乐音量")
                         : i == 1 ? QStringLiteral("Mic Vol")
                                  : QStringLiteral("效果音量"));
    }
    auto* connect = new CBitButton(bar);
    connect->SetBitmaps(skinid::kTopBarButton, skinid::kTopBarButton, skinid::kTopBarButton);
    connect->SetTextColors(Qt::white, Qt::white, Qt::white, Qt::white, Qt::white, Qt::white);
    connect->setText(QStringLiteral("联机 Connect"));
    connect->setGeometry(430, 20, 120, 26);
    auto* language = new CBitButton(bar);
    language->SetBitmaps(skinid::kTopBarButton, skinid::kTopBarButton, skinid::kTopBarButton);
    language->SetTextColors(Qt::white, Qt::white, Qt::white, Qt::white, Qt::white, Qt::white);
    language->setText(QStringLiteral("English"));
    language->setGeometry(430, 60, 120, 26);
    Save(panel, QStringLiteral("sliders"));
    delete panel;
}

void Buttons() {
    QWidget* panel = Panel(640, 330);
    const struct {
        int normal;
        int pressed;
        const char* caption;
    } kinds[] = {{skinid::kPageButton, skinid::kPageButtonPressed, "复位 Reset"},
                 {skinid::kSelectorReleased, skinid::kSelectorPressed, "Echo A"},
                 {skinid::kModeButton, skinid::kModeButtonPressed, "存储模式 Store"},
                 {skinid::kOkButton, skinid::kOkButtonPressed, "OK"}};
    const char* states[] = {"normal", "hover", "pressed", "checked", "disabled", "dis. checked"};
    for (int s = 0; s < 6; ++s) {
        Caption(panel, QString::fromUtf8(states[s]), 10 + s * 104, 4, 100);
    }
    int y = 26;
    for (const auto& kind : kinds) {
        for (int s = 0; s < 6; ++s) {
            auto* b = new CBitButton(panel);
            b->SetBitmaps(kind.normal, kind.pressed, kind.pressed, kind.pressed, kind.pressed,
                          kind.pressed);
            b->SetDisabledBitmaps(kind.normal, kind.pressed);
            b->setText(QString::fromUtf8(kind.caption));
            b->setGeometry(10 + s * 104, y, 96, 26);
            if (s == 1) {
                Hover(b);
            } else if (s == 2) {
                Hover(b);
                Press(b);
            } else if (s == 3) {
                b->SetCheck(1);
            } else if (s == 4) {
                b->setEnabled(false);
            } else if (s == 5) {
                b->SetCheck(1);
                b->setEnabled(false);
            }
        }
        y += 36;
    }
    for (int i = 0; i < 2; ++i) {
        auto* sw = new CBitButton(panel);
        sw->SetBitmaps(skinid::kSwitchPlus, skinid::kSwitchPlus, skinid::kSwitchPlus,
                       skinid::kSwitchMinus, skinid::kSwitchMinus, skinid::kSwitchMinus);
        sw->setGeometry(10 + i * 40, y + 4, 24, 24);
        sw->SetCheck(i);
    }
    auto* missing = new CBitButton(panel);
    missing->SetBitmaps(9999, 9999, 9999);
    missing->setText(QStringLiteral("no bitmap"));
    missing->setGeometry(100, y, 96, 26);
    Save(panel, QStringLiteral("buttons"));
    delete panel;
}

void Edits() {
    QWidget* panel = Panel(560, 260);
    int y = 10;
    auto row = [&](const QString& caption, QWidget* control) {
        Caption(panel, caption, 10, y, 200);
        control->setGeometry(220, y, 90, 20);
        y += 28;
    };
    auto* freq = new CNumEdit(panel);
    freq->SetRange(0, 361);
    freq->SetKind(CNumEdit::kModeFrequency, QStringLiteral("Hz"));
    freq->SetValue(200);
    row(QStringLiteral("频率 Frequency"), freq);
    auto* q = new CNumEdit(panel);
    q->SetRange(0, 100);
    q->SetKind(CNumEdit::kModeQ);
    q->SetValue(40);
    row(QStringLiteral("Q"), q);
    auto* gain = new CNumEdit(panel);
    gain->SetScale(0.2);
    gain->SetOffset(24);
    gain->SetRange(0, 180);
    gain->SetKind(CNumEdit::kModeGain);
    gain->SetValue(135);
    row(QStringLiteral("增益 Gain (dB)"), gain);
    auto* english = new CEnglishEdit(panel);
    english->setText(QStringLiteral("Room 3"));
    row(QStringLiteral("名称 Name"), english);
    // Value labels under the rules.
    struct Rule {
        LabelRule rule;
        int code;
        int minimum;
        const char* caption;
        const char* unit;
    };
    const Rule rules[] = {{LabelRule::T5, 4, 0, "启动 Attack T5", "ms"},
                          {LabelRule::T6, 2, 0, "释放 Release T6", ""},
                          {LabelRule::T12, 10, 0, "压缩比 Ratio T12", ""},
                          {LabelRule::L14, 135, 0, "L14", "dB"},
                          {LabelRule::L20, 42, 0, "L20", "%"},
                          {LabelRule::L47, 0, 0, "L47 (min)", "dB"},
                          {LabelRule::D48, 100, 0, "距离 D48", ""}};
    int ly = 10;
    for (const Rule& r : rules) {
        Caption(panel, QString::fromUtf8(r.caption), 330, ly, 130);
        auto* label = new CEdit_Static(panel, 0, ss::kRight | ss::kCenterImage);
        label->setGeometry(460, ly, 80, 20);
        label->SetRange(r.minimum, 200);
        label->SetRule(r.rule);
        if (r.rule == LabelRule::L14) {
            label->SetDecimalScale(0.2, 24, QString::fromUtf8(r.unit));
        } else {
            label->SetIntegerScale(1, 0, QString::fromUtf8(r.unit));
        }
        label->SetValue(r.code);
        ly += 28;
    }
    auto* disabled = new CEdit_Static(panel, 0, ss::kRight | ss::kCenterImage);
    disabled->setGeometry(460, ly, 80, 20);
    disabled->SetTextColors(Qt::white, skin::kDisabledText);
    disabled->SetValue(77);
    disabled->setEnabled(false);
    Caption(panel, QStringLiteral("disabled 禁用"), 330, ly, 130);
    Save(panel, QStringLiteral("edits_labels"));
    delete panel;
}

CBitComboBox* SkinnedCombo(QWidget* parent) {
    auto* combo = new CBitComboBox(parent);
    combo->SetEdgeBitmaps(skinid::kComboLeft, skinid::kComboRight, skinid::kComboMiddle);
    combo->SetListBitmaps(skinid::kListLeft, skinid::kListRight, skinid::kListTop,
                          skinid::kListBottom);
    combo->SetFocusColors(skin::kFieldColor, Qt::white);
    combo->SetNormalColors(skin::kFieldColor, Qt::white);
    combo->addItems({QStringLiteral("12dB Butuerworth"), QStringLiteral("24dBLink-Riley"),
                     QStringLiteral("ByPass"), QStringLiteral("音乐 Music")});
    return combo;
}

void Combos() {
    CBitComboBox::ResetTextIndent();
    QWidget* panel = Panel(420, 200);
    Caption(panel, QStringLiteral("before a list was shown"), 10, 4, 250);
    auto* first = SkinnedCombo(panel);
    first->setGeometry(10, 26, 150, 22);
    Save(panel, QStringLiteral("combo_closed"));
    auto* second = SkinnedCombo(panel);
    second->setGeometry(200, 26, 150, 22);
    second->setCurrentIndex(1);
    second->show();
    second->showPopup();
    QApplication::processEvents();
    if (QWidget* popup = second->List()->window()) {
        if (popup->grab().save(outDir + QStringLiteral("/combo_list.png"))) {
            ++written;
        }
    }
    second->hidePopup();
    Caption(panel, QStringLiteral("after (text indented)"), 10, 60, 250);
    auto* third = SkinnedCombo(panel);
    third->setGeometry(10, 82, 150, 22);
    third->setCurrentIndex(3);
    for (QWidget* child : panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        child->show();
    }
    Save(panel, QStringLiteral("combo_after_list"));
    const QImage zoom = panel->grab(QRect(0, 20, 360, 90)).toImage();
    if (zoom.scaled(zoom.size() * 3).save(outDir + QStringLiteral("/combo_zoom.png"))) {
        ++written;
    }
    delete panel;
}

void Statics() {
    QWidget* panel = Panel(560, 300);
    auto* group = new CSxGroupBox(panel);
    group->setGeometry(10, 10, 260, 130);
    group->SetCaption(QStringLiteral("限幅器 Limiter"));
    auto* centred = new CSxGroupBox(panel);
    centred->setGeometry(290, 10, 260, 130);
    centred->SetCaption(QStringLiteral("Noise Gate"));
    centred->SetAlignment(CSxGroupBox::kCentre);
    auto* fs = new CFontStatic(panel);
    fs->setGeometry(20, 40, 230, 24);
    fs->SetTextColor(Qt::white);
    fs->SetText(QStringLiteral("FontStatic 字体 14px"));
    auto* fsFill = new CFontStatic(panel);
    fsFill->setGeometry(20, 70, 230, 24);
    fsFill->SetTextColor(QColor(255, 210, 80));
    fsFill->SetBackground(skin::kFieldColor, true);
    fsFill->SetLeftAligned(false);
    fsFill->SetText(QStringLiteral("1:音乐模式"));
    auto* ts = new CTransparentStatic(panel, 0, ss::kRight | ss::kCenterImage);
    ts->setGeometry(300, 40, 230, 20);
    ts->SetText(QStringLiteral("透明 Transparent, right"));
    auto* ell = new CTransparentStatic(panel, 0, ss::kEndEllipsis);
    ell->setGeometry(300, 70, 120, 20);
    ell->SetText(QStringLiteral("An end ellipsis cuts this long caption"));
    auto* wrap = new CTransparentStatic(panel, 0, ss::kCenter);
    wrap->setGeometry(300, 95, 230, 40);
    wrap->SetText(QStringLiteral("Centred text that breaks at word boundaries"));
    const int levels[] = {0, 109, 110, 150, 200, 250};
    for (int i = 0; i < 6; ++i) {
        auto* lamp = new CSLamp(panel);
        lamp->setGeometry(20 + i * 40, 150, 14, 140);
        lamp->SetLevel(levels[i]);
        lamp->SetMark(i % 2 == 0 ? 100 : 200);
        Caption(panel, QString::number(levels[i]), 38 + i * 40, 270, 30);
    }
    auto* off = new CSLamp(panel);
    off->setGeometry(280, 150, 14, 140);
    off->AllOff();
    Save(panel, QStringLiteral("statics_lamps"));
    delete panel;
}

void Tabs(bool chinese) {
    QWidget* panel = Panel(CDialogUnits::ToPixelsX(723), 160, skin::kTopBarColor);
    CEnTabCtrl::SetLook(true, 31);
    auto* tabs = new CEnTabCtrl(panel, 2);
    tabs->SetBackgroundColor(QColor(255, 255, 255));
    tabs->setGeometry(0, 10, panel->width(), 150);
    const char* zh[] = {"音乐", "动态均衡", "话筒", "效果", "主输出",
                        "中置", "超低音",   "后置", "环绕", "系统"};
    const char* en[] = {"Music",  "DEQ", "Mic",  "Effect",   "Main",
                        "Center", "SUB", "Rear", "Surround", "System"};
    for (int i = 0; i < 10; ++i) {
        tabs->InsertItem(i, QString::fromUtf8(chinese ? zh[i] : en[i]));
    }
    tabs->SetItemWidth(80);
    tabs->SetCurSel(9);
    auto* page = Panel(10, 10);
    page->setParent(tabs);
    const QRect client = tabs->rect();
    page->setGeometry(client.adjusted(1, 21, -1, -1));
    page->show();
    Caption(page, chinese ? QStringLiteral("系统页") : QStringLiteral("System page"), 10, 10)
        ->show();
    Save(panel, chinese ? QStringLiteral("tabs_zh") : QStringLiteral("tabs_en"));
    // A narrow tab shows its ellipsis; mode 0 shows the style's drawing.
    tabs->SetItemWidth(46);
    Save(panel, chinese ? QStringLiteral("tabs_narrow_zh") : QStringLiteral("tabs_narrow_en"));
    delete panel;
}

void Bitmaps() {
    // Every skin bitmap at twice its size on the page colour, for a close look.
    const QList<int> ids = CSkinBitmaps::Ids();
    QImage sheet(760, 720, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(skin::kPageColor);
    QPainter p(&sheet);
    p.setFont(CSkinFonts::Arial(11));
    int x = 8;
    int y = 8;
    int rowHeight = 0;
    for (int id : ids) {
        const QImage& image = CSkinBitmaps::Get(id);
        const QSize size = image.size() * 2;
        if (x + size.width() + 8 > sheet.width()) {
            x = 8;
            y += rowHeight + 22;
            rowHeight = 0;
        }
        p.drawImage(QRect(QPoint(x, y + 14), size), image);
        p.setPen(Qt::white);
        p.drawText(x, y + 10,
                   QStringLiteral("%1 %2x%3").arg(id).arg(image.width()).arg(image.height()));
        x += std::max(size.width(), 70) + 10;
        rowHeight = std::max(rowHeight, size.height());
    }
    p.end();
    if (sheet.save(outDir + QStringLiteral("/bitmaps.png"))) {
        ++written;
    }
}

// A main-window-like composition of the controls, to judge the skin as a whole.
void Overview(bool chinese) {
    auto zh = [chinese](const char* c, const char* e) {
        return QString::fromUtf8(chinese ? c : e);
    };
    QWidget* window = Panel(1265, 700, skin::kTopBarColor);
    const char* volumeZh[] = {"音乐音量", "话筒音量", "效果音量"};
    const char* volumeEn[] = {"Music Vol", "Mic Vol", "Effect Vol"};
    for (int i = 0; i < 3; ++i) {
        const int x = 12 + i * 335;
        auto* caption = new CFontStatic(window);
        caption->SetTextColor(Qt::white);
        caption->setGeometry(x, 20, 72, 20);
        caption->SetText(zh(volumeZh[i], volumeEn[i]));
        auto* slider = new CBitmapSlider(window);
        slider->SetBitmapChannel(skinid::kVolumeChannel, skinid::kVolumeActiveChannel);
        slider->SetBitmapThumb(skinid::kVolumeThumb, skinid::kVolumeThumb);
        slider->SetRange(0, i == 2 ? 70 : 84);
        slider->SetPos(30 + i * 12);
        slider->move(x + 76, 20);
        auto* value = new CEdit_Static(window, 0, ss::kCenter | ss::kCenterImage);
        value->setGeometry(x + 280, 20, 28, 20);
        value->SetValue(30 + i * 12);
        auto* mute = new CBitButton(window);
        mute->SetBitmaps(skinid::kMuteOff, skinid::kMuteOff, skinid::kMuteOff, skinid::kMuteOn,
                         skinid::kMuteOn, skinid::kMuteOn);
        mute->setGeometry(x + 308, 20, 24, 20);
        mute->SetCheck(i == 1 ? 1 : 0);
    }
    auto* name = new CFontStatic(window);
    name->SetTextColor(Qt::white);
    name->SetLeftAligned(false);
    name->SetBackground(skin::kFieldColor, true);
    name->setGeometry(1020, 6, 235, 24);
    name->SetText(zh("1:卡拉OK 标准", "1:Karaoke Std"));
    for (int i = 0; i < 2; ++i) {
        auto* b = new CBitButton(window);
        b->SetBitmaps(skinid::kTopBarButton, skinid::kTopBarButton, skinid::kTopBarButton);
        b->SetTextColors(Qt::white, Qt::white, Qt::white, Qt::white, Qt::white, Qt::white);
        b->setText(i == 0 ? zh("联机", "Connect") : zh("English", "中文"));
        b->setGeometry(1020 + i * 122, 36, 113, 26);
    }
    CEnTabCtrl::SetLook(true, 31);
    auto* tabs = new CEnTabCtrl(window, 2);
    tabs->SetBackgroundColor(QColor(255, 255, 255));
    tabs->setGeometry(0, 70, 1265, 630);
    const char* tabZh[] = {"音乐", "动态均衡", "话筒", "效果", "主输出",
                           "中置", "超低音",   "后置", "环绕", "系统"};
    const char* tabEn[] = {"Music",  "DEQ", "Mic",  "Effect",   "Main",
                           "Center", "SUB", "Rear", "Surround", "System"};
    for (int i = 0; i < 10; ++i) {
        tabs->InsertItem(i, zh(tabZh[i], tabEn[i]));
    }
    tabs->SetItemWidth(86);
    tabs->SetCurSel(4);
    QWidget* page = Panel(10, 10);
    page->setParent(tabs);
    page->setGeometry(tabs->rect().adjusted(1, 21, -1, -1));

    // Limiter group: sliders with captions and value labels.
    auto* limiter = new CSxGroupBox(page);
    limiter->setGeometry(10, 8, 330, 160);
    limiter->SetCaption(zh("限幅器", "Limiter"));
    const char* rowsZh[] = {"阈值", "启动时间", "释放时间", "压缩比"};
    const char* rowsEn[] = {"Threshold", "Attack", "Release", "Ratio"};
    const LabelRule rules[] = {LabelRule::L20, LabelRule::T5, LabelRule::T6, LabelRule::T12};
    const int codes[] = {20, 6, 3, 12};
    for (int i = 0; i < 4; ++i) {
        const int y = 46 + i * 30;
        Caption(page, zh(rowsZh[i], rowsEn[i]), 22, y - 16, 120);
        auto* value = new CEdit_Static(page, 0, ss::kRight | ss::kCenterImage);
        value->setGeometry(230, y - 16, 90, 16);
        value->SetRule(rules[i]);
        value->SetIntegerScale(1, i == 0 ? 30 : 0,
                               i == 0   ? QStringLiteral("dB")
                               : i == 1 ? QStringLiteral("ms")
                                        : QString());
        value->SetValue(codes[i]);
        auto* slider = new CBitmapSlider(page);
        slider->SetBitmapChannel(skinid::kSliderChannel, skinid::kSliderActiveChannel);
        slider->SetBitmapThumb(skinid::kSliderThumb, skinid::kSliderThumb);
        slider->SetRange(0, 40);
        slider->SetPos(codes[i] * 2);
        slider->move(22, y);
        slider->SetFocusLook(i == 1);
    }
    // Filter group: combo with a numeric edit, a slider below.
    auto* filters = new CSxGroupBox(page);
    filters->setGeometry(360, 8, 330, 160);
    filters->SetCaption(zh("高通 / 低通", "HPF / LPF"));
    for (int i = 0; i < 2; ++i) {
        const int y = 34 + i * 62;
        auto* combo = SkinnedCombo(page);
        combo->setGeometry(372, y, 150, 22);
        combo->setCurrentIndex(i);
        auto* edit = new CNumEdit(page);
        edit->SetRange(0, 361);
        edit->SetKind(CNumEdit::kModeFrequency, QStringLiteral("Hz"));
        edit->SetValue(i == 0 ? 40 : 300);
        edit->setGeometry(530, y + 1, 70, 20);
        auto* slider = new CBitmapSlider(page);
        slider->SetBitmapChannel(skinid::kSliderChannel, skinid::kSliderActiveChannel);
        slider->SetBitmapThumb(skinid::kSliderThumb, skinid::kSliderThumb);
        slider->SetRange(0, 361);
        slider->SetPos(i == 0 ? 40 : 300);
        slider->move(372, y + 28);
    }
    // Gain strips of the dynamic EQ page.
    for (int i = 0; i < 3; ++i) {
        const int x = 720 + i * 70;
        auto* slider = new CBitmapSlider(page);
        slider->SetVertical(true);
        slider->SetBitmapChannel(skinid::kGainChannel, 0);
        slider->SetBitmapThumb(skinid::kGainThumb, skinid::kGainActiveThumb, true);
        slider->SetMargin(12, 1, 0, 2);
        slider->SetRange(60, 180);
        slider->SetPosInverted(100 + i * 30);
        slider->move(x, 10);
        auto* gain = new CNumEdit(page);
        gain->SetScale(0.2);
        gain->SetOffset(24);
        gain->SetRange(60, 180);
        gain->SetKind(CNumEdit::kModeGain);
        gain->SetValue(100 + i * 30);
        gain->setGeometry(x - 2, 140, 50, 20);
    }
    // Lamps with their switches.
    const int levels[] = {100, 130, 150, 170, 185, 200, 120, 160, 210, 140, 112, 190};
    for (int i = 0; i < 12; ++i) {
        auto* lamp = new CSLamp(page);
        lamp->setGeometry(960 + i * 24, 10, 12, 150);
        lamp->SetLevel(levels[i]);
        lamp->SetMark(levels[i] > 195 ? 100 : 255);
    }
    // Buttons row.
    const char* buttonsZh[] = {"导出", "存储模式", "调用模式", "导入", "全部导出", "全部导入"};
    const char* buttonsEn[] = {"Export", "Store Mode", "Recall Mode",
                               "Import", "Export all", "Import all"};
    for (int i = 0; i < 6; ++i) {
        auto* b = new CBitButton(page);
        b->SetBitmaps(skinid::kModeButton, skinid::kModeButtonPressed, skinid::kModeButtonPressed);
        b->SetDisabledBitmaps(skinid::kModeButton, skinid::kModeButtonPressed);
        b->setText(zh(buttonsZh[i], buttonsEn[i]));
        b->setGeometry(20 + i * 100, 190, 90, 26);
        b->setEnabled(i != 5);
    }
    for (int i = 0; i < 4; ++i) {
        auto* b = new CBitButton(page);
        b->SetBitmaps(skinid::kPageButton, skinid::kPageButtonPressed, skinid::kPageButtonPressed,
                      skinid::kPageButtonPressed, skinid::kPageButtonPressed,
                      skinid::kPageButtonPressed);
        b->setText(i == 0   ? zh("左声道", "Music Left")
                   : i == 1 ? zh("右声道", "Music Right")
                   : i == 2 ? zh("联调", "SYNC")
                            : zh("复位", "Reset"));
        b->setGeometry(20 + i * 100, 230, 90, 26);
        b->SetCheck(i == 0 ? 1 : 0);
    }
    auto* ok = new CBitButton(page);
    ok->SetBitmaps(skinid::kOkButton, skinid::kOkButtonPressed, skinid::kOkButtonPressed,
                   skinid::kOkButtonPressed, skinid::kOkButtonPressed, skinid::kOkButtonPressed);
    ok->SetTextColors(Qt::white, Qt::black, Qt::black, Qt::black, Qt::black, Qt::black);
    ok->setText(zh("确定", "OK"));
    ok->setGeometry(420, 230, 90, 26);
    auto* password = new CEnglishEdit(page);
    password->setText(QStringLiteral("1234"));
    password->setGeometry(620, 232, 80, 22);
    Caption(page, zh("系统密码", "Password"), 530, 234, 90);
    auto* check = new CBitButton(page);
    check->SetKind(CBitButton::kCheckBox);
    check->setText(zh("幻象电源", "Phantom power"));
    check->SetCheck(1);
    check->setGeometry(720, 232, 160, 22);
    Save(window, chinese ? QStringLiteral("overview_zh") : QStringLiteral("overview_en"));
    delete window;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setFont(CSkinFonts::Arial(13));
    outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath() + "/gallery";
    QDir().mkpath(outDir);
    CSkinBitmaps::DrawAll();
    Bitmaps();
    Sliders();
    Buttons();
    Edits();
    Combos();
    Statics();
    Tabs(true);
    Tabs(false);
    Overview(true);
    Overview(false);
    std::printf("%d images in %s\n", written, qPrintable(outDir));
    return 0;
}
