#include "SkinBitmaps.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QMap>
#include <QMutex>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <functional>

#include "MonitorPicture.h"
#include "SkinColors.h"

namespace qx {

namespace {

using Painter = std::function<QImage()>;

// The pixel density the painters draw for now; set by Make around one painter's run.
thread_local qreal drawRatio = 1.0;

// A canvas of w x h logical pixels at the density in force: a painter on it draws in logical
// coordinates and Qt lays them on the finer grid, so edges stay as sharp as the text.
QImage NewImage(int w, int h, const QColor& fill) {
    const qreal ratio = drawRatio;
    QImage image(qRound(w * ratio), qRound(h * ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(fill);
    return image;
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// A horizontal groove: a rounded slot with an inner shadow, filled with a vertical gradient.
QImage HorizontalGroove(int w, int h, const QColor& back, const QColor& top, const QColor& bottom,
                        bool glow) {
    QImage image = NewImage(w, h, back);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double slotH = 7.0;
    const QRectF slot(2.5, (h - slotH) / 2.0, w - 5.0, slotH);
    // Soft bevel: a dark rim above, a light rim below.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(slot.adjusted(-1.5, -1.5, 1.5, 0.5), 4.5, 4.5);
    p.setBrush(QColor(255, 255, 255, 28));
    p.drawRoundedRect(slot.adjusted(-1.5, 0.5, 1.5, 1.5), 4.5, 4.5);
    QLinearGradient g(slot.topLeft(), slot.bottomLeft());
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    p.setBrush(g);
    p.drawRoundedRect(slot, 3.5, 3.5);
    if (glow) {
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawRoundedRect(QRectF(slot.left() + 2, slot.top() + 1, slot.width() - 4, 2), 1, 1);
    } else {
        p.setPen(QPen(QColor(0, 0, 0, 120), 1.0));
        p.drawLine(QPointF(slot.left() + 3, slot.top() + 1.5),
                   QPointF(slot.right() - 3, slot.top() + 1.5));
    }
    return image;
}

// A knob for horizontal sliders: black body, bevel, two short green bars.
QImage HorizontalKnob(int w, int h, const QColor& back, const QColor& bars) {
    QImage image = NewImage(w, h, back);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(0.5, 0.5, w - 1.0, h - 1.0);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0.0, QColor(70, 72, 74));
    g.setColorAt(0.45, QColor(28, 29, 30));
    g.setColorAt(1.0, QColor(8, 8, 9));
    p.setPen(QPen(QColor(0, 0, 0), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(body, 2.5, 2.5);
    p.setPen(QPen(QColor(255, 255, 255, 55), 1.0));
    p.drawLine(QPointF(2, 1.5), QPointF(w - 2, 1.5));
    p.setRenderHint(QPainter::Antialiasing, false);
    const int barTop = h / 2 - 3;
    p.fillRect(QRect(w / 2 - 2, barTop, 1, 7), bars);
    p.fillRect(QRect(w / 2 + 1, barTop, 1, 7), bars);
    return image;
}

// The vertical gain groove with a dB scale of ticks at its left.
QImage VerticalGroove(int w, int h, const QColor& back) {
    QImage image = NewImage(w, h, back);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The thumb's left edge sits 12 pixels in and it is 16 wide: the slot is centred at 20.
    const QRectF slot(17.5, 5.5, 5.0, h - 11.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(slot.adjusted(-1.5, -1.5, 0.5, 1.5), 3, 3);
    p.setBrush(QColor(255, 255, 255, 28));
    p.drawRoundedRect(slot.adjusted(0.5, -1.5, 1.5, 1.5), 3, 3);
    QLinearGradient g(slot.topLeft(), slot.topRight());
    g.setColorAt(0.0, QColor(10, 12, 13));
    g.setColorAt(1.0, QColor(34, 40, 42));
    p.setBrush(g);
    p.drawRoundedRect(slot, 2.5, 2.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int top = 11;
    const int bottom = h - 13;
    for (int i = 0; i <= 12; ++i) {
        const int y = top + (bottom - top) * i / 12;
        const bool major = i % 3 == 0;
        p.fillRect(QRect(major ? 4 : 7, y, major ? 7 : 4, 1),
                   i == 6 ? QColor(120, 200, 150) : QColor(130, 140, 144));
        p.fillRect(QRect(30, y, major ? 5 : 3, 1), QColor(90, 100, 104));
    }
    return image;
}

// A vertical slider knob on a key colour (transparent through the colour of its top-left pixel).
QImage VerticalKnob(int w, int h, const QColor& key, const QColor& top, const QColor& bottom,
                    const QColor& bar) {
    QImage image = NewImage(w, h, key);
    QPainter p(&image);
    // No antialiasing: blended edge pixels would stay tinted by the key colour.
    const QRect body(1, 1, w - 2, h - 2);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(12, 12, 14));
    p.drawRect(QRect(1, 0, w - 2, h));
    p.drawRect(QRect(0, 1, w, h - 2));
    p.setBrush(g);
    p.drawRect(QRect(2, 1, w - 4, h - 2));
    p.drawRect(QRect(1, 2, w - 2, h - 4));
    p.fillRect(QRect(2, 2, w - 4, 1), Mix(top, Qt::white, 0.35));
    p.fillRect(QRect(3, h / 2 - 1, w - 6, 1), QColor(0, 0, 0, 150));
    p.fillRect(QRect(3, h / 2, w - 6, 1), bar);
    return image;
}

// A rounded push button face; its corners show the colour it stands on.
QImage ButtonFace(int w, int h, const QColor& back, const QColor& top, const QColor& bottom,
                  const QColor& border) {
    QImage image = NewImage(w, h, back);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(0.5, 0.5, w - 1.0, h - 1.0);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0.0, top);
    g.setColorAt(0.5, Mix(top, bottom, 0.55));
    g.setColorAt(1.0, bottom);
    p.setPen(QPen(border, 1.0));
    p.setBrush(g);
    p.drawRoundedRect(body, 4, 4);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
    p.drawLine(QPointF(4, 1.5), QPointF(w - 4, 1.5));
    return image;
}

// The lit face shared by every pressed page, selector and mode button.
QImage PressedPageButton() {
    return ButtonFace(86, 25, skin::kPageColor, QColor(196, 226, 246), QColor(112, 166, 206),
                      QColor(36, 60, 80));
}

QImage SignSwitch(bool plus) {
    QImage image = NewImage(18, 16, QColor(0, 0, 0));
    QPainter p(&image);
    p.fillRect(QRect(0, 0, 18, 16), QColor(6, 6, 6));
    p.setPen(QColor(60, 60, 60));
    p.drawRect(QRect(0, 0, 17, 15));
    const QColor red(230, 30, 30);
    p.fillRect(QRect(4, 7, 10, 2), red);
    if (plus) {
        p.fillRect(QRect(8, 3, 2, 10), red);
    }
    return image;
}

QImage MuteButton(bool muted) {
    const int w = 24;
    const int h = 20;
    QImage image =
        ButtonFace(w, h, skin::kTopBarColor, muted ? QColor(120, 36, 36) : QColor(72, 80, 86),
                   muted ? QColor(70, 16, 16) : QColor(40, 44, 48), QColor(12, 12, 14));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = muted ? QColor(255, 210, 210) : QColor(200, 230, 210);
    QPainterPath speaker;
    speaker.moveTo(5, 8);
    speaker.lineTo(8, 8);
    speaker.lineTo(12, 4.5);
    speaker.lineTo(12, 15.5);
    speaker.lineTo(8, 12);
    speaker.lineTo(5, 12);
    speaker.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(speaker);
    p.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    if (muted) {
        p.drawLine(QPointF(14.5, 7), QPointF(19.5, 13));
        p.drawLine(QPointF(19.5, 7), QPointF(14.5, 13));
    } else {
        p.drawArc(QRectF(10, 6.5, 6, 7), -60 * 16, 120 * 16);
        p.drawArc(QRectF(10, 4, 10, 12), -60 * 16, 120 * 16);
    }
    return image;
}

QImage ComboMiddle(int w) {
    QImage image = NewImage(w, 21, skin::kFieldColor);
    QPainter p(&image);
    p.fillRect(QRect(0, 0, w, 1), QColor(110, 120, 124));
    p.fillRect(QRect(0, 1, w, 1), QColor(16, 20, 21));
    p.fillRect(QRect(0, 20, w, 1), QColor(110, 120, 124));
    return image;
}

QImage ComboRight() {
    QImage image = NewImage(20, 21, skin::kFieldColor);
    QPainter p(&image);
    QLinearGradient g(0, 1, 0, 20);
    g.setColorAt(0.0, QColor(214, 220, 224));
    g.setColorAt(1.0, QColor(160, 170, 176));
    p.fillRect(QRect(1, 1, 19, 19), g);
    p.setPen(QColor(110, 120, 124));
    p.drawLine(0, 0, 19, 0);
    p.drawLine(0, 20, 19, 20);
    p.drawLine(19, 0, 19, 20);
    p.drawLine(0, 0, 0, 20);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(skin::kFieldColor);
    const QPointF arrow[3] = {{5.5, 8.0}, {14.5, 8.0}, {10.0, 13.5}};
    p.drawPolygon(arrow, 3);
    return image;
}

// List border pieces: a light outer line, then the field colour.
QImage ListEdge(int w, int h, bool horizontal, bool outerFirst) {
    QImage image = NewImage(w, h, skin::kFieldColor);
    QPainter p(&image);
    const QColor line(110, 120, 124);
    if (horizontal) {
        p.fillRect(QRect(0, outerFirst ? 0 : h - 1, w, 1), line);
    } else {
        p.fillRect(QRect(outerFirst ? 0 : w - 1, 0, 1, h), line);
    }
    return image;
}

// The main window's background: a top bar band with a soft gradient and a light rim at its
// foot. Below it the window shows its plain colour, where the tab control covers nearly
// everything; drawing that colour into the image too cost 3.7 MB for nothing.
QImage MainBackground() {
    constexpr int kWidth = 1320;
    constexpr int kBar = 34;  // pixels: the top bar's 18 dialog units
    QImage image = NewImage(kWidth, kBar, skin::kTopBarColor);
    QPainter p(&image);
    QLinearGradient bar(0, 0, 0, kBar);
    bar.setColorAt(0.0, Mix(skin::kTopBarColor, QColor(255, 255, 255), 0.12));
    bar.setColorAt(1.0, Mix(skin::kTopBarColor, QColor(0, 0, 0), 0.25));
    p.fillRect(QRect(0, 0, kWidth, kBar), bar);
    p.fillRect(QRect(0, kBar - 1, kWidth, 1), QColor(90, 104, 110));
    return image;
}

const QMap<int, Painter>& Painters() {
    using namespace skinid;
    static const QMap<int, Painter> painters = {
        {kMainBackground, MainBackground},
        {kSliderChannel,
         [] {
             return HorizontalGroove(184, 19, skin::kPageColor, QColor(12, 14, 15),
                                     QColor(38, 44, 46), false);
         }},
        {kSliderActiveChannel,
         [] {
             return HorizontalGroove(184, 19, skin::kPageColor, QColor(150, 184, 206),
                                     QColor(84, 118, 142), true);
         }},
        {kSliderThumb,
         [] { return HorizontalKnob(11, 18, skin::kPageColor, QColor(40, 230, 110)); }},
        {kVolumeChannel,
         [] {
             return HorizontalGroove(200, 20, skin::kTopBarColor, QColor(12, 14, 15),
                                     QColor(38, 44, 46), false);
         }},
        {kVolumeActiveChannel,
         [] {
             return HorizontalGroove(200, 20, skin::kTopBarColor, QColor(120, 220, 160),
                                     QColor(40, 150, 90), true);
         }},
        {kVolumeThumb,
         [] { return HorizontalKnob(12, 20, skin::kTopBarColor, QColor(40, 230, 110)); }},
        {kGainChannel, [] { return VerticalGroove(38, 123, skin::kPageColor); }},
        {kGainThumb,
         [] {
             return VerticalKnob(16, 21, QColor(255, 0, 255), QColor(150, 156, 160),
                                 QColor(88, 94, 98), QColor(235, 240, 242));
         }},
        {kGainActiveThumb,
         [] {
             return VerticalKnob(16, 21, QColor(255, 0, 255), QColor(170, 205, 228),
                                 QColor(92, 130, 156), QColor(90, 255, 150));
         }},
        {kPageButton,
         [] {
             return ButtonFace(86, 25, skin::kPageColor, QColor(84, 90, 94), QColor(44, 48, 51),
                               QColor(16, 18, 19));
         }},
        {kPageButtonPressed, PressedPageButton},
        {kSelectorPressed, PressedPageButton},
        {kSelectorReleased,
         [] {
             return ButtonFace(86, 25, skin::kPageColor, QColor(150, 156, 160),
                               QColor(98, 104, 108), QColor(30, 32, 34));
         }},
        {kSwitchMinus, [] { return SignSwitch(false); }},
        {kSwitchPlus, [] { return SignSwitch(true); }},
        {kTopBarButton,
         [] {
             return ButtonFace(86, 25, skin::kTopBarColor, QColor(82, 100, 112), QColor(40, 50, 58),
                               QColor(10, 12, 14));
         }},
        {kMuteOff, [] { return MuteButton(false); }},
        {kMuteOn, [] { return MuteButton(true); }},
        {kModeButton,
         [] {
             return ButtonFace(86, 25, skin::kPageColor, QColor(76, 96, 88), QColor(40, 52, 47),
                               QColor(14, 20, 18));
         }},
        {kModeButtonPressed, PressedPageButton},
        {kOkButtonPressed,
         [] {
             return ButtonFace(86, 25, skin::kPageColor, QColor(170, 236, 190),
                               QColor(70, 170, 110), QColor(20, 60, 36));
         }},
        {kOkButton,
         [] {
             return ButtonFace(86, 25, skin::kPageColor, QColor(70, 120, 92), QColor(34, 66, 48),
                               QColor(12, 26, 18));
         }},
        {kComboMiddle, [] { return ComboMiddle(15); }},
        {kComboLeft,
         [] {
             QImage image = NewImage(1, 21, QColor(110, 120, 124));
             return image;
         }},
        {kComboRight, [] { return ComboRight(); }},
        {kListTop, [] { return ListEdge(4, 3, true, true); }},
        {kListBottom, [] { return ListEdge(4, 3, true, false); }},
        {kListLeft, [] { return ListEdge(4, 17, false, true); }},
        {kListRight, [] { return ListEdge(4, 17, false, false); }},
        {CMonitorPicture::kChineseId, [] { return CMonitorPicture::Draw(true, drawRatio); }},
        {CMonitorPicture::kEnglishId, [] { return CMonitorPicture::Draw(false, drawRatio); }},
    };
    return painters;
}

struct Store {
    QMutex mutex;
    QMap<int, QImage> images;
    // Images for other densities, by id and ratio in hundredths.
    QMap<QPair<int, int>, QImage> dense;
    QStringList searchPath;
    bool searchPathSet = false;
};

Store& TheStore() {
    static Store store;
    return store;
}

QStringList DefaultSearchPath() {
    QStringList folders;
    if (QCoreApplication::instance() != nullptr) {
        const QString appDir = QCoreApplication::applicationDirPath();
        folders << appDir + QStringLiteral("/res/skin") << appDir + QStringLiteral("/../res/skin");
    }
    folders << QDir::currentPath() + QStringLiteral("/res/skin");
#ifdef QX_SOURCE_SKIN_DIR
    folders << QStringLiteral(QX_SOURCE_SKIN_DIR);
#endif
    return folders;
}

QImage LoadFile(const QString& file, qreal ratio) {
    if (!QFileInfo::exists(file)) {
        return QImage();
    }
    QImage image(file);
    if (image.isNull()) {
        return image;
    }
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    return image;
}

QImage Make(int id, const QStringList& folders, qreal ratio = 1.0) {
    for (const QString& folder : folders) {
        // A dense replacement (<id>@2x.png) first, then the plain one at its own density.
        if (ratio > 1.0) {
            const int whole = qCeil(ratio);
            QImage dense =
                LoadFile(QStringLiteral("%1/%2@%3x.png").arg(folder).arg(id).arg(whole), whole);
            if (!dense.isNull()) {
                return dense;
            }
        }
        QImage plain = LoadFile(QStringLiteral("%1/%2.png").arg(folder).arg(id), 1.0);
        if (!plain.isNull()) {
            return plain;
        }
    }
    const auto it = Painters().find(id);
    if (it == Painters().end()) {
        return QImage();
    }
    const qreal before = drawRatio;
    drawRatio = ratio;
    QImage image = it.value()();
    drawRatio = before;
    return image;
}

}  // namespace

const QImage& CSkinBitmaps::Get(int id) {
    Store& store = TheStore();
    QMutexLocker lock(&store.mutex);
    auto it = store.images.find(id);
    if (it == store.images.end()) {
        if (!store.searchPathSet) {
            store.searchPath = DefaultSearchPath();
            store.searchPathSet = true;
        }
        it = store.images.insert(id, Make(id, store.searchPath));
    }
    return it.value();
}

QImage CSkinBitmaps::Get(int id, qreal ratio) {
    const int hundredths = qRound(ratio * 100);
    if (hundredths <= 100) {
        return Get(id);
    }
    Store& store = TheStore();
    QMutexLocker lock(&store.mutex);
    const QPair<int, int> key(id, hundredths);
    auto it = store.dense.find(key);
    if (it == store.dense.end()) {
        if (!store.searchPathSet) {
            store.searchPath = DefaultSearchPath();
            store.searchPathSet = true;
        }
        it = store.dense.insert(key, Make(id, store.searchPath, hundredths / 100.0));
    }
    return it.value();
}

QList<int> CSkinBitmaps::Ids() {
    return Painters().keys();
}

void CSkinBitmaps::DrawAll() {
    for (int id : Ids()) {
        // The monitor pictures (0.7 MB each, one per language) are drawn when the page that
        // shows one first paints.
        if (id != CMonitorPicture::kChineseId && id != CMonitorPicture::kEnglishId) {
            Get(id);
        }
    }
}

void CSkinBitmaps::SetSearchPath(const QStringList& folders) {
    Store& store = TheStore();
    QMutexLocker lock(&store.mutex);
    store.searchPath = folders;
    store.searchPathSet = true;
    store.images.clear();
    store.dense.clear();
}

QStringList CSkinBitmaps::SearchPath() {
    Store& store = TheStore();
    QMutexLocker lock(&store.mutex);
    return store.searchPathSet ? store.searchPath : DefaultSearchPath();
}

}  // namespace qx
