#include <gtest/gtest.h>

#include <QFontInfo>
#include <QTemporaryDir>

#include "DialogUnits.h"
#include "SkinBitmaps.h"
#include "SkinFonts.h"

namespace qx {
namespace {

TEST(SkinBitmaps, EveryNamedBitmapHasItsSize) {
    const struct {
        int id;
        int w;
        int h;
    } sizes[] = {{141, 11, 18},  {142, 184, 19}, {155, 184, 19}, {137, 16, 21}, {139, 16, 21},
                 {138, 38, 123}, {152, 86, 25},  {153, 86, 25},  {157, 86, 25}, {158, 86, 25},
                 {160, 18, 16},  {161, 18, 16},  {200, 15, 21},  {201, 1, 21},  {202, 20, 21},
                 {203, 4, 3},    {204, 4, 3},    {205, 4, 17},   {206, 4, 17}};
    for (const auto& s : sizes) {
        EXPECT_EQ(CSkinBitmaps::Get(s.id).size(), QSize(s.w, s.h)) << s.id;
    }
    // Pairs drawn in one place must match: normal and active images, released and pressed.
    for (auto [a, b] : {std::pair{134, 169}, {137, 139}, {175, 176}, {177, 178}, {172, 173}}) {
        EXPECT_FALSE(CSkinBitmaps::Get(a).isNull()) << a;
        EXPECT_EQ(CSkinBitmaps::Get(a).size(), CSkinBitmaps::Get(b).size()) << a;
    }
    for (int id : {133, 168}) {
        EXPECT_FALSE(CSkinBitmaps::Get(id).isNull()) << id;
    }
    EXPECT_TRUE(CSkinBitmaps::Get(4242).isNull());
}

TEST(SkinBitmaps, GainThumbIsKeyedByItsTopLeftPixel) {
    // The dynamic EQ page draws 137 transparent with the colour of its top-left pixel: that
    // colour must surround the knob and not occur inside it.
    const QImage thumb = CSkinBitmaps::Get(137);
    const QRgb key = thumb.pixel(0, 0);
    EXPECT_EQ(thumb.pixel(15, 20), key);
    for (int y = 3; y < 18; ++y) {
        for (int x = 3; x < 13; ++x) {
            ASSERT_NE(thumb.pixel(x, y), key) << x << "," << y;
        }
    }
}

TEST(SkinBitmaps, PngInASkinFolderReplacesTheDrawnImage) {
    const QStringList saved = CSkinBitmaps::SearchPath();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage replacement(5, 7, QImage::Format_RGB32);
    replacement.fill(Qt::red);
    ASSERT_TRUE(replacement.save(dir.path() + "/142.png"));
    CSkinBitmaps::SetSearchPath({dir.path()});
    EXPECT_EQ(CSkinBitmaps::Get(142).size(), QSize(5, 7));
    EXPECT_EQ(CSkinBitmaps::Get(142).pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(CSkinBitmaps::Get(141).size(), QSize(11, 18));  // others stay drawn
    CSkinBitmaps::SetSearchPath(saved);
    EXPECT_EQ(CSkinBitmaps::Get(142).size(), QSize(184, 19));
}

TEST(SkinBitmaps, DenseScreensGetBitmapsDrawnOnTheFinerGrid) {
    CSkinBitmaps::SetSearchPath({});
    for (int id : CSkinBitmaps::Ids()) {
        const QImage& plain = CSkinBitmaps::Get(id);
        for (qreal ratio : {1.5, 2.0}) {
            const QImage dense = CSkinBitmaps::Get(id, ratio);
            ASSERT_FALSE(dense.isNull()) << id;
            // The same logical size; a drawn one carries ratio times the pixels.
            EXPECT_EQ(dense.deviceIndependentSize().toSize(), plain.size()) << id << " " << ratio;
            if (dense.devicePixelRatio() != 1.0) {
                EXPECT_EQ(dense.devicePixelRatio(), ratio) << id;
                EXPECT_EQ(dense.width(), qRound(plain.width() * ratio)) << id;
            }
        }
    }
    const QImage thumb = CSkinBitmaps::Get(skinid::kGainThumb, 2.0);
    EXPECT_EQ(thumb.devicePixelRatio(), 2.0);
    EXPECT_EQ(thumb.size(), CSkinBitmaps::Get(skinid::kGainThumb).size() * 2);
    // Not a blown-up copy: the finer grid holds detail the plain image cannot.
    const QImage blown = CSkinBitmaps::Get(skinid::kGainThumb).scaled(thumb.size());
    EXPECT_NE(thumb.convertToFormat(blown.format()), blown);
    EXPECT_EQ(&CSkinBitmaps::Get(skinid::kGainThumb), &CSkinBitmaps::Get(skinid::kGainThumb));
    EXPECT_EQ(CSkinBitmaps::Get(skinid::kGainThumb, 1.0), CSkinBitmaps::Get(skinid::kGainThumb));
}

TEST(DialogUnits, MainWindowComesOutAtItsPixelSize) {
    const QSize client = CDialogUnits::ToPixels(QSize(723, 373));
    EXPECT_EQ(client, QSize(1265, 699));
    const QRect r = CDialogUnits::ToPixels(6, 176, 706, 164);
    EXPECT_EQ(r.topLeft(), QPoint(11, 330));
    EXPECT_EQ(r.right() + 1, CDialogUnits::ToPixelsX(712));
    EXPECT_EQ(r.bottom() + 1, CDialogUnits::ToPixelsY(340));
}

TEST(SkinFonts, ArialFallsBackToAMetricCompatibleFamily) {
    const QFontInfo info(CSkinFonts::Arial(14));
    EXPECT_TRUE(info.family() == "Arial" || info.family() == "Liberation Sans")
        << info.family().toStdString();
    EXPECT_EQ(info.pixelSize(), 14);
    EXPECT_TRUE(CSkinFonts::Families().contains("WenQuanYi Micro Hei"));
}

}  // namespace
}  // namespace qx
