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
    std::printf("%d images in %s\n", written, qPrintable(outDir));
    return 0;
}
