// Skinned controls on screens of 1, 1.5 and 2 times the pixel density: their skin is drawn at
// the screen's density (not the plain picture blown up), made again when the window moves to
// another screen, while sizes, positions and the mouse keep to logical pixels.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "BitButton.h"
#include "BitComboBox.h"
#include "BitListBox.h"
#include "BitmapSlider.h"
#include "SkinBitmaps.h"

namespace qx {
namespace {

// Three offscreen screens side by side: plain, one and a half and twice the density.
class DenseScreensEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        m_dir = std::make_unique<QTemporaryDir>();
        const QString config = m_dir->filePath(QStringLiteral("screens.json"));
        QFile file(config);
        file.open(QIODevice::WriteOnly);
        file.write(R"({"screens": [
            {"name": "plain", "x": 0, "y": 0, "width": 1000, "height": 800, "dpr": 1.0},
            {"name": "middle", "x": 1000, "y": 0, "width": 1500, "height": 1200, "dpr": 1.5},
            {"name": "dense", "x": 2500, "y": 0, "width": 2000, "height": 1600, "dpr": 2.0}]})");
        file.close();
        m_platform = QStringLiteral("offscreen:configfile=%1").arg(config).toUtf8();
        static int argc = 3;
        static char name[] = "qx_controls_dense_tests";
        static char option[] = "-platform";
        static char* argv[] = {name, option, m_platform.data(), nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_platform;
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new DenseScreensEnvironment);

QScreen* Screen(const char* name) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->name() == QLatin1String(name)) {
            return screen;
        }
    }
    return nullptr;
}

// A top-level window on a named screen, shown.
std::unique_ptr<QWidget> WindowOn(const char* screen) {
    auto window = std::make_unique<QWidget>();
    window->setScreen(Screen(screen));
    window->resize(300, 200);
    window->move(Screen(screen)->geometry().topLeft() + QPoint(10, 10));
    return window;
}

// The page slider of every page: channel, lit channel and thumb.
CBitmapSlider* PageSlider(QWidget* parent) {
    auto* slider = new CBitmapSlider(parent, 1001);
    slider->SetBitmapChannel(skinid::kSliderChannel, skinid::kSliderActiveChannel);
    slider->SetBitmapThumb(skinid::kSliderThumb, skinid::kSliderThumb);
    slider->SetRange(0, 100);
    return slider;
}

// The vertical gain slider, its thumb on a key colour made transparent.
CBitmapSlider* GainSlider(QWidget* parent) {
    auto* slider = new CBitmapSlider(parent, 1002);
    slider->SetBitmapChannel(skinid::kGainChannel, skinid::kGainChannel);
    slider->SetBitmapThumb(skinid::kGainThumb, skinid::kGainActiveThumb, true);
    slider->SetVertical(true);
    slider->SetMargin(12, 1, 0, 2);
    slider->SetRange(0, 180);
    return slider;
}

CBitComboBox* Combo(QWidget* parent) {
    auto* combo = new CBitComboBox(parent, 1003);
    combo->SetEdgeBitmaps(skinid::kComboLeft, skinid::kComboRight, skinid::kComboMiddle);
    combo->SetListBitmaps(skinid::kListLeft, skinid::kListRight, skinid::kListTop,
                          skinid::kListBottom);
    combo->addItems({QStringLiteral("BY"), QStringLiteral("P"), QStringLiteral("LS")});
    combo->setGeometry(0, 0, 46, 21);
    return combo;
}

// One control made the same way on the plain and on the dense screen, both windows shown.
template <typename Control>
struct OnBothScreens {
    explicit OnBothScreens(Control* (*make)(QWidget*))
        : plainWindow(WindowOn("plain")),
          denseWindow(WindowOn("dense")),
          plain(make(plainWindow.get())),
          dense(make(denseWindow.get())) {
        plainWindow->show();
        denseWindow->show();
    }
    std::unique_ptr<QWidget> plainWindow;
    std::unique_ptr<QWidget> denseWindow;
    Control* plain;
    Control* dense;
};

QImage Grab(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// The part of a grab that covers a logical rectangle, in the grab's own pixels.
QImage Part(const QImage& grab, const QRect& logical) {
    const qreal r = grab.devicePixelRatio();
    QImage part = grab.copy(QRect(qRound(logical.x() * r), qRound(logical.y() * r),
                                  qRound(logical.width() * r), qRound(logical.height() * r)));
    part.setDevicePixelRatio(1.0);
    return part;
}

QImage Plain(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    out.setDevicePixelRatio(1.0);
    return out;
}

// The plain picture of an id blown up to a dense one's pixels, as a 1x skin would show.
QImage BlownUp(int id, qreal ratio) {
    const QImage plain = CSkinBitmaps::Get(id);
    return Plain(plain.scaled(plain.size() * ratio));
}

TEST(DenseControls, SliderDrawsItsSkinAtTheScreensDensityAndKeepsLogicalGeometry) {
    const OnBothScreens both(PageSlider);
    CBitmapSlider* plain = both.plain;
    CBitmapSlider* dense = both.dense;
    ASSERT_EQ(dense->devicePixelRatioF(), 2.0);
    ASSERT_EQ(plain->devicePixelRatioF(), 1.0);

    // Same logical size and thumb track on both screens.
    EXPECT_EQ(dense->size(), QSize(184, 19));
    EXPECT_EQ(dense->size(), plain->size());
    EXPECT_EQ(dense->sizeHint(), plain->sizeHint());
    for (int position : {0, 37, 100}) {
        EXPECT_EQ(dense->CentreOf(position), plain->CentreOf(position)) << position;
    }
    EXPECT_EQ(dense->ThumbImage().devicePixelRatio(), 2.0);
    EXPECT_EQ(dense->ThumbImage().size(), QSize(22, 36));

    // The thumb on the screen is the dense drawing, pixel for pixel, not the plain one blown up.
    dense->SetPos(50);
    const QImage grab = Grab(dense);
    ASSERT_EQ(grab.size(), QSize(368, 38));
    const int centre = dense->CentreOf(50);
    const QImage thumb = Part(grab, QRect(centre - 5, 0, 11, 18));
    EXPECT_EQ(thumb, Plain(CSkinBitmaps::Get(skinid::kSliderThumb, 2.0)));
    EXPECT_NE(thumb, BlownUp(skinid::kSliderThumb, 2.0));
    // Left of the thumb the lit channel, right of it the plain one, both at their density.
    const QRect lit(20, 0, 40, 19);
    EXPECT_EQ(Part(grab, lit),
              Plain(CSkinBitmaps::Get(skinid::kSliderActiveChannel, 2.0).copy(40, 0, 80, 38)));
    const QRect rest(140, 0, 40, 19);
    EXPECT_EQ(Part(grab, rest),
              Plain(CSkinBitmaps::Get(skinid::kSliderChannel, 2.0).copy(280, 0, 80, 38)));
}

TEST(DenseControls, ClickAndDragOnTheThumbMoveItAsOnAPlainScreen) {
    const OnBothScreens both(PageSlider);
    CBitmapSlider* plain = both.plain;
    CBitmapSlider* dense = both.dense;
    for (CBitmapSlider* slider : {plain, dense}) {
        slider->SetPos(40);
        const QPoint onThumb(slider->CentreOf(40) + 3, 9);
        QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, onThumb);
        EXPECT_TRUE(slider->IsDragging());
        EXPECT_EQ(slider->GetPos(), 40) << "a press on the thumb does not step";
        QMouseEvent move(QEvent::MouseMove, QPointF(onThumb + QPoint(60, 0)),
                         slider->mapToGlobal(QPointF(onThumb + QPoint(60, 0))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &move);
        QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, onThumb + QPoint(60, 0));
    }
    EXPECT_GT(dense->GetPos(), 70);
    EXPECT_EQ(dense->GetPos(), plain->GetPos());
    // A press on the channel beside the thumb steps once, on either screen.
    for (CBitmapSlider* slider : {plain, dense}) {
        QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(3, 9));
    }
    EXPECT_EQ(dense->GetPos(), plain->GetPos());
}

TEST(DenseControls, TransparentThumbClearsItsKeyColourOnTheDenseGrid) {
    auto window = WindowOn("dense");
    CBitmapSlider* slider = GainSlider(window.get());
    window->show();
    EXPECT_EQ(slider->size(), QSize(38, 123));
    EXPECT_EQ(slider->ThumbImage().size(), QSize(32, 42));
    const QImage thumb = slider->ThumbImage().convertToFormat(QImage::Format_ARGB32);
    // The corner is the key colour in the drawing: clear, and no pixel of it left anywhere.
    EXPECT_EQ(qAlpha(thumb.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(thumb.pixel(1, 1)), 0);
    EXPECT_EQ(qAlpha(thumb.pixel(16, 21)), 255);
    const QRgb key = qRgb(255, 0, 255) & 0xFFFFFF;
    int keyLeft = 0;
    for (int y = 0; y < thumb.height(); ++y) {
        for (int x = 0; x < thumb.width(); ++x) {
            keyLeft += qAlpha(thumb.pixel(x, y)) != 0 && (thumb.pixel(x, y) & 0xFFFFFF) == key;
        }
    }
    EXPECT_EQ(keyLeft, 0);
    // The thumb shows over the channel: the channel's own pixels where the thumb is clear.
    slider->SetPos(90);
    const QImage grab = Grab(slider);
    const QImage channel = Plain(CSkinBitmaps::Get(skinid::kGainChannel, 2.0));
    const int top = slider->CentreOf(90) - 21 / 2;
    EXPECT_EQ(grab.pixel(12 * 2, top * 2), channel.pixel(12 * 2, top * 2));
    EXPECT_NE(grab.pixel(20 * 2, (top + 5) * 2), channel.pixel(20 * 2, (top + 5) * 2));
}

TEST(DenseControls, ComboDrawsItsEdgesAtTheScreensDensity) {
    const OnBothScreens both(Combo);
    CBitComboBox* plain = both.plain;
    CBitComboBox* dense = both.dense;
    EXPECT_EQ(dense->RightImage().devicePixelRatio(), 2.0);
    EXPECT_EQ(dense->TextRoom(), plain->TextRoom());
    EXPECT_EQ(dense->List()->TextIndent(), plain->List()->TextIndent());
    // The arrow piece at the right end, drawn on the dense grid.
    const QImage grab = Grab(dense);
    ASSERT_EQ(grab.size(), QSize(92, 42));
    const QImage arrow = Part(grab, QRect(26, 0, 20, 21));
    EXPECT_EQ(arrow, Plain(CSkinBitmaps::Get(skinid::kComboRight, 2.0)));
    EXPECT_NE(arrow, BlownUp(skinid::kComboRight, 2.0));
}

TEST(DenseControls, ButtonDrawsItsFaceAtTheScreensDensity) {
    auto window = WindowOn("middle");
    auto* button = new CBitButton(window.get());
    button->SetBitmaps(skinid::kPageButton, skinid::kPageButton, skinid::kPageButton);
    button->setGeometry(0, 0, 86, 25);
    window->show();
    ASSERT_EQ(button->devicePixelRatioF(), 1.5);
    EXPECT_EQ(button->sizeHint(), QSize(86, 25));
    EXPECT_EQ(button->CurrentImage(), CSkinBitmaps::Get(skinid::kPageButton, 1.5));
    EXPECT_EQ(button->CurrentImage().size(), QSize(129, 38));
}

TEST(DenseControls, MovingToAScreenOfAnotherDensityRemakesTheSkin) {
    auto window = WindowOn("plain");
    CBitmapSlider* slider = PageSlider(window.get());
    CBitmapSlider* gain = GainSlider(window.get());
    gain->move(0, 30);
    CBitComboBox* combo = Combo(window.get());
    combo->move(0, 160);
    auto* button = new CBitButton(window.get());
    button->SetBitmaps(skinid::kPageButton, skinid::kPageButton, skinid::kPageButton);
    button->setGeometry(100, 160, 86, 25);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(slider->ThumbImage().devicePixelRatio(), 1.0);
    EXPECT_EQ(button->CurrentImage().devicePixelRatio(), 1.0);

    window->setScreen(Screen("dense"));
    window->move(Screen("dense")->geometry().topLeft() + QPoint(10, 10));
    QCoreApplication::processEvents();
    ASSERT_EQ(slider->devicePixelRatioF(), 2.0);
    // Painted again for the new screen: every skin image made for its density (the slider
    // without the focus shows its plain thumb).
    slider->clearFocus();
    gain->clearFocus();
    window->grab();
    EXPECT_EQ(slider->ThumbImage().devicePixelRatio(), 2.0);
    EXPECT_EQ(slider->ChannelImage().devicePixelRatio(), 2.0);
    EXPECT_EQ(gain->ThumbImage().devicePixelRatio(), 2.0);
    EXPECT_EQ(qAlpha(gain->ThumbImage().pixel(1, 1)), 0) << "still transparent";
    EXPECT_EQ(combo->LeftImage().devicePixelRatio(), 2.0);
    EXPECT_EQ(button->CurrentImage().devicePixelRatio(), 2.0);
    // Nothing moved or grew.
    EXPECT_EQ(slider->geometry(), QRect(0, 0, 184, 19));
    EXPECT_EQ(gain->geometry(), QRect(0, 30, 38, 123));
    EXPECT_EQ(combo->geometry(), QRect(0, 160, 46, 21));
}

TEST(DenseControls, ImagesGivenByTheCallerKeepTheirOwnDensity) {
    auto window = WindowOn("dense");
    auto* slider = new CBitmapSlider(window.get());
    QImage channel(100, 20, QImage::Format_ARGB32);
    channel.fill(Qt::darkGray);
    QImage thumb(10, 20, QImage::Format_ARGB32);
    thumb.fill(Qt::green);
    thumb.setPixel(0, 0, qRgb(255, 0, 255));
    ASSERT_TRUE(
        slider->SetChannelImages(channel, QImage(), false, CBitmapSlider::kPixelColor, 0, 0));
    ASSERT_TRUE(slider->SetThumbImages(thumb, QImage(), true, CBitmapSlider::kPixelColor, 0, 0));
    window->show();
    window->grab();
    EXPECT_EQ(slider->size(), QSize(100, 20));
    EXPECT_EQ(slider->ThumbImage().devicePixelRatio(), 1.0);
    EXPECT_EQ(qAlpha(slider->ThumbImage().pixel(0, 0)), 0);
    EXPECT_EQ(slider->CentreOf(100), 95);
}

}  // namespace
}  // namespace qx
