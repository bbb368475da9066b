// Draws every picture of Velumina: the glass bullet balls of the list rows, the drop bars of the
// bleeding button, the banner of the about dialog and the program icon.
//
// The pictures are committed under resources/; redraw them after changing this file with
//     cmake --build build --target velumina_imagegen && build/tools/velumina_imagegen resources
// The folder argument receives png/*.png, banner.png and icons/velumina-<size>.png.
// With "--preview <folder>" after it, contact sheets are written there as well: every picture on the
// dark and light theme backgrounds, scaled down, and the bleeding bar at each level.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace {

constexpr int kBallSide = 96;
constexpr int kBarWidth = 166;
constexpr int kBarHeight = 74;
constexpr int kBannerWidth = 400;
constexpr int kBannerHeight = 81;

// The bleeding button shows columns 0..s of the filled bar and s..166 of the empty one, with s at
// these columns; each drop lies wholly between two neighbouring splits.
constexpr std::array<int, 4> kBarSplits = {0, 64, 104, 166};

QImage NewCanvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void Prepare(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
}

QColor WithAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

// Mixes a toward b; t = 0 gives a, t = 1 gives b.
QColor Mix(const QColor& a, const QColor& b, qreal t)
{
    return QColor::fromRgbF(
        float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
        float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

// ---------------------------------------------------------------------------------------------
// Glass balls

QImage DrawGlassBall(const QColor& base)
{
    QImage image = NewCanvas(kBallSide, kBallSide);
    QPainter painter(&image);
    Prepare(painter);

    const QPointF centre(48.0, 46.5);
    const qreal radius = 42.5;
    const QRectF ballRect(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);

    // Soft contact shadow, so the ball sits on light backgrounds instead of floating.
    {
        painter.save();
        painter.translate(48.0, 90.0);
        painter.scale(1.0, 0.16);
        QRadialGradient shadow(QPointF(0, 0), 34.0);
        shadow.setColorAt(0.0, QColor(0, 0, 0, 80));
        shadow.setColorAt(0.6, QColor(0, 0, 0, 35));
        shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shadow);
        painter.drawEllipse(QPointF(0, 0), 34.0, 34.0);
        painter.restore();
    }

    QPainterPath ball;
    ball.addEllipse(ballRect);

    // Body: light passes through the glass and gathers at the bottom, the top edge stays deep.
    QRadialGradient body(QPointF(48.0, 74.0), 66.0, QPointF(48.0, 80.0));
    body.setColorAt(0.0, Mix(base, Qt::white, 0.55));
    body.setColorAt(0.35, Mix(base, Qt::white, 0.15));
    body.setColorAt(0.70, base);
    body.setColorAt(1.0, Mix(base, Qt::black, 0.55));
    painter.setPen(Qt::NoPen);
    painter.setBrush(body);
    painter.drawPath(ball);

    painter.save();
    painter.setClipPath(ball);

    // Darker band around the edge gives the sphere its volume.
    QRadialGradient edge(centre, radius);
    edge.setColorAt(0.0, QColor(0, 0, 0, 0));
    edge.setColorAt(0.78, QColor(0, 0, 0, 0));
    edge.setColorAt(1.0, WithAlpha(Mix(base, Qt::black, 0.7), 150));
    painter.setBrush(edge);
    painter.drawEllipse(ballRect);

    // Warm glow at the bottom where the refracted light leaves the glass.
    QRadialGradient glow(QPointF(48.0, 84.0), 30.0);
    glow.setColorAt(0.0, WithAlpha(Mix(base, Qt::white, 0.75), 170));
    glow.setColorAt(1.0, WithAlpha(Mix(base, Qt::white, 0.75), 0));
    painter.setBrush(glow);
    painter.drawEllipse(QPointF(48.0, 84.0), 30.0, 16.0);

    // Broad reflection of a window-like light source on the upper half.
    const QRectF shine(centre.x() - 30.0, centre.y() - radius + 3.0, 60.0, 40.0);
    QLinearGradient shineFill(shine.topLeft(), shine.bottomLeft());
    shineFill.setColorAt(0.0, QColor(255, 255, 255, 235));
    shineFill.setColorAt(0.55, QColor(255, 255, 255, 90));
    shineFill.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setBrush(shineFill);
    painter.drawEllipse(shine);
    painter.restore();

    // Crisp rim: defines the outline on light backgrounds.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(WithAlpha(Mix(base, Qt::black, 0.6), 200), 1.2));
    painter.drawEllipse(ballRect.adjusted(0.6, 0.6, -0.6, -0.6));

    // Small sharp sparkle at the top left.
    painter.save();
    painter.translate(31.0, 24.0);
    painter.rotate(-40.0);
    QRadialGradient sparkle(QPointF(0, 0), 7.0);
    sparkle.setColorAt(0.0, QColor(255, 255, 255, 255));
    sparkle.setColorAt(0.5, QColor(255, 255, 255, 200));
    sparkle.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sparkle);
    painter.scale(1.0, 0.55);
    painter.drawEllipse(QPointF(0, 0), 7.0, 7.0);
    painter.restore();

    return image;
}

// ---------------------------------------------------------------------------------------------
// Drops

// A drop with its point at tipY, its round belly of the given radius ending at bottomY.
QPainterPath DropPath(qreal cx, qreal tipY, qreal bottomY, qreal radius)
{
    const qreal cy = bottomY - radius;
    const qreal shoulder = tipY + (cy - tipY) * 0.32;
    QPainterPath path;
    path.moveTo(cx, tipY);
    path.cubicTo(cx + radius * 0.18, shoulder, cx + radius, cy - radius * 1.1, cx + radius, cy);
    path.arcTo(QRectF(cx - radius, cy - radius, 2 * radius, 2 * radius), 0.0, -180.0);
    path.cubicTo(cx - radius, cy - radius * 1.1, cx - radius * 0.18, shoulder, cx, tipY);
    path.closeSubpath();
    return path;
}

struct DropGeometry
{
    qreal cx;
    qreal tipY;
    qreal bottomY;
    qreal radius;
};

// Glossy red drop: deep red body, brighter core, a long white reflection on the left and a
// small one on the right of the belly.
void DrawFilledDrop(QPainter& painter, const DropGeometry& g, bool lightBackground)
{
    const QPainterPath drop = DropPath(g.cx, g.tipY, g.bottomY, g.radius);
    const qreal cy = g.bottomY - g.radius;
    const QRectF bounds = drop.boundingRect();

    // Shadow under the drop, stronger on light backgrounds where it can be seen.
    painter.save();
    painter.translate(g.cx, g.bottomY + 3.0);
    painter.scale(1.0, 0.22);
    QRadialGradient shadow(QPointF(0, 0), g.radius * 0.95);
    shadow.setColorAt(0.0, QColor(0, 0, 0, lightBackground ? 70 : 110));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shadow);
    painter.drawEllipse(QPointF(0, 0), g.radius * 0.95, g.radius * 0.95);
    painter.restore();

    QLinearGradient body(bounds.topLeft(), bounds.bottomRight());
    body.setColorAt(0.0, QColor(255, 92, 100));
    body.setColorAt(0.45, QColor(222, 24, 46));
    body.setColorAt(1.0, QColor(128, 0, 22));
    painter.setPen(Qt::NoPen);
    painter.setBrush(body);
    painter.drawPath(drop);

    painter.save();
    painter.setClipPath(drop);

    // Light gathering in the belly, as in a lens.
    QRadialGradient core(QPointF(g.cx + g.radius * 0.15, cy + g.radius * 0.35), g.radius * 0.95);
    core.setColorAt(0.0, QColor(255, 120, 120, 150));
    core.setColorAt(1.0, QColor(255, 120, 120, 0));
    painter.setBrush(core);
    painter.drawRect(bounds);

    // Darker edge for volume.
    QPainterPathStroker stroker;
    stroker.setWidth(g.radius * 0.35);
    stroker.setJoinStyle(Qt::RoundJoin);
    painter.setBrush(QColor(90, 0, 18, 70));
    painter.drawPath(stroker.createStroke(drop));

    // Long reflection along the left flank.
    painter.save();
    painter.translate(g.cx - g.radius * 0.42, cy - g.radius * 0.30);
    painter.rotate(22.0);
    const QRectF streak(-g.radius * 0.20, -g.radius * 0.80, g.radius * 0.40, g.radius * 1.45);
    QLinearGradient streakFill(streak.topLeft(), streak.bottomLeft());
    streakFill.setColorAt(0.0, QColor(255, 255, 255, 235));
    streakFill.setColorAt(1.0, QColor(255, 255, 255, 20));
    painter.setBrush(streakFill);
    painter.drawEllipse(streak);
    painter.restore();

    // Small round glint on the right of the belly.
    QRadialGradient glint(QPointF(g.cx + g.radius * 0.48, cy + g.radius * 0.42), g.radius * 0.22);
    glint.setColorAt(0.0, QColor(255, 255, 255, 190));
    glint.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setBrush(glint);
    painter.drawEllipse(glint.center(), g.radius * 0.22, g.radius * 0.22);
    painter.restore();

    // Outline: a deep red line that keeps the drop crisp on white and pink.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(lightBackground ? QColor(112, 0, 20, 230) : QColor(90, 0, 16, 200), 1.2));
    painter.drawPath(drop);
}

// An empty place for a drop: a thin outline with a faint glassy fill.
void DrawEmptyDrop(QPainter& painter, const DropGeometry& g, bool lightBackground)
{
    const QPainterPath drop = DropPath(g.cx, g.tipY, g.bottomY, g.radius);
    const QRectF bounds = drop.boundingRect();
    const qreal cy = g.bottomY - g.radius;

    QLinearGradient fill(bounds.topLeft(), bounds.bottomLeft());
    if (lightBackground) {
        fill.setColorAt(0.0, QColor(255, 255, 255, 200));
        fill.setColorAt(1.0, QColor(214, 214, 220, 200));
    } else {
        fill.setColorAt(0.0, QColor(255, 255, 255, 22));
        fill.setColorAt(1.0, QColor(255, 255, 255, 48));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(drop);

    // A faint reflection so the empty drop still reads as the same glass object.
    painter.save();
    painter.setClipPath(drop);
    painter.translate(g.cx - g.radius * 0.42, cy - g.radius * 0.30);
    painter.rotate(22.0);
    const QRectF streak(-g.radius * 0.16, -g.radius * 0.70, g.radius * 0.32, g.radius * 1.25);
    QLinearGradient streakFill(streak.topLeft(), streak.bottomLeft());
    streakFill.setColorAt(0.0, QColor(255, 255, 255, lightBackground ? 255 : 70));
    streakFill.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setBrush(streakFill);
    painter.drawEllipse(streak);
    painter.restore();

    // The outline is what shows an empty place on a light page: dark enough to stand out from
    // white and pink even when the bar is drawn at half its size.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(lightBackground ? QColor(70, 62, 72, 250) : QColor(160, 166, 178, 220), 1.8));
    painter.drawPath(drop);
}

QImage DrawDropBar(bool filled, bool lightBackground)
{
    QImage image = NewCanvas(kBarWidth, kBarHeight);
    QPainter painter(&image);
    Prepare(painter);
    for (int i = 0; i < 3; ++i) {
        // Centred in its slot between two split columns.
        const qreal cx = (kBarSplits[i] + kBarSplits[i + 1]) / 2.0;
        const DropGeometry geometry{cx, 6.0, 64.0, 17.0};
        if (filled) {
            DrawFilledDrop(painter, geometry, lightBackground);
        } else {
            DrawEmptyDrop(painter, geometry, lightBackground);
        }
    }
    return image;
}

// True when the columns around every inner split are fully transparent, so no split of the
// bleeding button cuts through a drop.
bool SplitsAreClear(const QImage& bar)
{
    for (int i = 1; i + 1 < int(kBarSplits.size()); ++i) {
        for (int x = kBarSplits[i] - 1; x <= kBarSplits[i] + 1; ++x) {
            for (int y = 0; y < bar.height(); ++y) {
                if (qAlpha(bar.pixel(x, y)) != 0) {
                    return false;
                }
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// The moon-and-drop motif shared by the icon and the banner

// A pearl crescent opening to the upper right with a red drop resting in its hollow, drawn
// inside a circle of the given radius. detail < 1 thickens the shapes for tiny sizes.
void DrawMotif(QPainter& painter, const QPointF& centre, qreal radius, qreal detail)
{
    const qreal moonRadius = radius * 0.78;
    const QPointF moonCentre = centre + QPointF(-radius * 0.08, radius * 0.04);
    const qreal cutRadius = moonRadius * (0.80 + 0.06 * detail);
    const QPointF cutCentre = moonCentre + QPointF(moonRadius * 0.42, -moonRadius * 0.34);

    QPainterPath moon;
    moon.addEllipse(moonCentre, moonRadius, moonRadius);
    QPainterPath cut;
    cut.addEllipse(cutCentre, cutRadius, cutRadius);
    const QPainterPath crescent = moon.subtracted(cut);

    QLinearGradient moonFill(moonCentre + QPointF(-moonRadius, -moonRadius),
                             moonCentre + QPointF(moonRadius, moonRadius));
    moonFill.setColorAt(0.0, QColor(255, 250, 240));
    moonFill.setColorAt(0.6, QColor(250, 228, 226));
    moonFill.setColorAt(1.0, QColor(232, 186, 204));
    painter.setPen(Qt::NoPen);
    painter.setBrush(moonFill);
    painter.drawPath(crescent);

    // The drop sits in the hollow, a little right of the cut centre.
    const qreal dropRadius = radius * (0.22 + 0.02 * (1.0 - detail));
    const qreal dropCx = cutCentre.x() - radius * 0.02;
    const qreal dropBottom = cutCentre.y() + radius * 0.50;
    const qreal dropTip = dropBottom - dropRadius * 2.9;
    const QPainterPath drop = DropPath(dropCx, dropTip, dropBottom, dropRadius);
    QLinearGradient dropFill(drop.boundingRect().topLeft(), drop.boundingRect().bottomRight());
    dropFill.setColorAt(0.0, QColor(255, 100, 110));
    dropFill.setColorAt(0.5, QColor(228, 30, 52));
    dropFill.setColorAt(1.0, QColor(150, 0, 30));
    painter.setBrush(dropFill);
    painter.drawPath(drop);

    if (detail >= 0.5) {
        painter.save();
        painter.setClipPath(drop);
        const qreal cy = dropBottom - dropRadius;
        painter.translate(dropCx - dropRadius * 0.42, cy - dropRadius * 0.30);
        painter.rotate(22.0);
        const QRectF streak(-dropRadius * 0.2, -dropRadius * 0.8, dropRadius * 0.4, dropRadius * 1.4);
        QLinearGradient streakFill(streak.topLeft(), streak.bottomLeft());
        streakFill.setColorAt(0.0, QColor(255, 255, 255, 230));
        streakFill.setColorAt(1.0, QColor(255, 255, 255, 10));
        painter.setBrush(streakFill);
        painter.drawEllipse(streak);
        painter.restore();
    }
}

// ---------------------------------------------------------------------------------------------
// Program icon

QImage DrawIcon(int size)
{
    QImage image = NewCanvas(size, size);
    QPainter painter(&image);
    Prepare(painter);

    const qreal s = size;
    const QPointF centre(s / 2.0, s / 2.0);
    const qreal radius = s / 2.0 - std::max(0.5, s / 64.0);
    const qreal detail = std::clamp((s - 16.0) / 32.0, 0.0, 1.0);

    // Night-plum disc, lit from the upper left.
    QRadialGradient disc(centre + QPointF(-s * 0.18, -s * 0.22), radius * 1.35);
    disc.setColorAt(0.0, QColor(118, 66, 150));
    disc.setColorAt(0.55, QColor(64, 32, 92));
    disc.setColorAt(1.0, QColor(30, 14, 48));
    painter.setPen(Qt::NoPen);
    painter.setBrush(disc);
    painter.drawEllipse(centre, radius, radius);

    // Rose rim: keeps the round shape visible on dark backgrounds.
    const qreal rimWidth = std::max(1.0, s / (s > 64 ? 36.0 : 28.0));
    QLinearGradient rim(QPointF(0, 0), QPointF(s, s));
    rim.setColorAt(0.0, QColor(255, 170, 200));
    rim.setColorAt(1.0, QColor(196, 70, 120));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QBrush(rim), rimWidth));
    painter.drawEllipse(centre, radius - rimWidth / 2.0, radius - rimWidth / 2.0);

    DrawMotif(painter, centre, radius - rimWidth, detail);

    // Gentle gloss over the upper half on the larger sizes.
    if (size >= 48) {
        QPainterPath discPath;
        discPath.addEllipse(centre, radius - rimWidth, radius - rimWidth);
        painter.save();
        painter.setClipPath(discPath);
        const QRectF shine(centre.x() - radius * 0.75, centre.y() - radius * 0.98, radius * 1.5, radius * 0.95);
        QLinearGradient shineFill(shine.topLeft(), shine.bottomLeft());
        shineFill.setColorAt(0.0, QColor(255, 255, 255, 70));
        shineFill.setColorAt(1.0, QColor(255, 255, 255, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shineFill);
        painter.drawEllipse(shine);
        painter.restore();
    }
    return image;
}

// ---------------------------------------------------------------------------------------------
// Banner

const QColor kBannerBase(34, 20, 48);

QImage DrawBanner()
{
    QImage image(kBannerWidth, kBannerHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(kBannerBase);
    QPainter painter(&image);
    Prepare(painter);
    painter.setPen(Qt::NoPen);

    const QPointF motifCentre(68.0, 40.5);

    // Soft glows; both fade out well inside the picture, so its left and right edges stay the
    // plain base colour that the logo painter stretches over wide controls.
    {
        painter.save();
        painter.translate(240.0, 40.5);
        painter.scale(1.0, 0.42);
        QRadialGradient wide(QPointF(0, 0), 140.0);
        wide.setColorAt(0.0, QColor(92, 52, 128, 120));
        wide.setColorAt(1.0, QColor(92, 52, 128, 0));
        painter.setBrush(wide);
        painter.drawEllipse(QPointF(0, 0), 140.0, 140.0);
        painter.restore();
    }
    {
        QRadialGradient halo(motifCentre, 48.0);
        halo.setColorAt(0.0, QColor(226, 110, 160, 150));
        halo.setColorAt(0.45, QColor(170, 70, 140, 70));
        halo.setColorAt(1.0, QColor(170, 70, 140, 0));
        painter.setBrush(halo);
        painter.drawEllipse(motifCentre, 48.0, 48.0);
    }

    // A few faint stars.
    struct Star
    {
        qreal x;
        qreal y;
        qreal r;
        int alpha;
    };
    const Star stars[] = {{30, 16, 0.9, 150},  {118, 12, 0.8, 120}, {140, 68, 0.7, 90},  {205, 10, 0.9, 110},
                          {262, 70, 0.8, 100}, {318, 14, 1.1, 150}, {352, 62, 0.8, 110}, {372, 26, 0.7, 90},
                          {26, 60, 0.7, 90},   {104, 70, 0.9, 110}};
    for (const Star& star : stars) {
        QRadialGradient dot(QPointF(star.x, star.y), star.r * 2.2);
        dot.setColorAt(0.0, QColor(255, 244, 250, star.alpha));
        dot.setColorAt(1.0, QColor(255, 244, 250, 0));
        painter.setBrush(dot);
        painter.drawEllipse(QPointF(star.x, star.y), star.r * 2.2, star.r * 2.2);
    }

    DrawMotif(painter, motifCentre, 32.0, 1.0);

    // The name.
    QFont nameFont(QStringLiteral("DejaVu Sans"));
    nameFont.setPixelSize(40);
    nameFont.setWeight(QFont::Normal);
    nameFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    nameFont.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath name;
    name.addText(QPointF(120.0, 50.0), nameFont, QStringLiteral("Velumina"));
    painter.setBrush(QColor(10, 0, 20, 110));
    painter.drawPath(name.translated(0.0, 1.5));
    QLinearGradient nameFill(QPointF(0, 18), QPointF(0, 52));
    nameFill.setColorAt(0.0, QColor(255, 255, 255));
    nameFill.setColorAt(1.0, QColor(246, 204, 222));
    painter.setBrush(nameFill);
    painter.drawPath(name);

    QFont tagFont(QStringLiteral("DejaVu Sans"));
    tagFont.setPixelSize(10);
    tagFont.setLetterSpacing(QFont::AbsoluteSpacing, 2.2);
    tagFont.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath tag;
    tag.addText(QPointF(123.0, 66.0), tagFont, QStringLiteral("PRIVATE CYCLE CALENDAR"));
    painter.setBrush(QColor(226, 150, 186));
    painter.drawPath(tag);
    painter.end();
    return image;
}

// The logo painter stretches column 0 over the space right of the picture, so that column must be
// one colour, and the right edge the same colour so the stretch continues the picture seamlessly.
bool EdgesArePlain(const QImage& banner)
{
    const QRgb plain = banner.pixel(0, 0);
    for (int y = 0; y < banner.height(); ++y) {
        if (banner.pixel(0, y) != plain || banner.pixel(banner.width() - 1, y) != plain) {
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Output

bool Save(const QImage& image, const QString& path, bool opaque)
{
    const QImage out = image.convertToFormat(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    if (!out.save(path, "PNG")) {
        std::fprintf(stderr, "Cannot write %s\n", qPrintable(QDir::toNativeSeparators(path)));
        return false;
    }
    std::printf("%s\n", qPrintable(QDir::toNativeSeparators(path)));
    return true;
}

struct Named
{
    QString name;
    QImage image;
};

// Contact sheets for looking at the pictures, one per kind, each showing the pictures on the four
// theme backgrounds that matter (Black, its dialogs, White, Pink).
const std::array<QColor, 4> kPreviewBackgrounds = {QColor(18, 19, 22), QColor(53, 57, 66), QColor(248, 248, 248),
                                                   QColor(224, 204, 213)};

QImage PreviewSheet(int columnWidth, int height)
{
    QImage sheet(columnWidth * 4, height, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&sheet);
    for (int b = 0; b < 4; ++b) {
        painter.fillRect(QRect(b * columnWidth, 0, columnWidth, height), kPreviewBackgrounds[b]);
    }
    return sheet;
}

// Balls at full size and at 64 and 32 pixels.
QImage PreviewBalls(const std::vector<Named>& balls)
{
    const int columnWidth = 5 * 104 + 10;
    QImage sheet = PreviewSheet(columnWidth, 220);
    QPainter painter(&sheet);
    Prepare(painter);
    for (int b = 0; b < 4; ++b) {
        int x = b * columnWidth + 10;
        for (const Named& ball : balls) {
            painter.drawImage(QPoint(x, 10), ball.image);
            painter.drawImage(QRect(x + 16, 112, 64, 64), ball.image);
            painter.drawImage(QRect(x + 32, 182, 32, 32), ball.image);
            x += 104;
        }
    }
    return sheet;
}

// The bleeding button at its four levels, at the picture's size and at a typical button size,
// with the pair meant for the background on the left and the other pair on the right.
QImage PreviewDrops(const std::vector<Named>& bars)
{
    const int columnWidth = 500;
    QImage sheet = PreviewSheet(columnWidth, 340);
    QPainter painter(&sheet);
    Prepare(painter);
    for (int b = 0; b < 4; ++b) {
        const int x0 = b * columnWidth;
        const bool light = b >= 2;
        const QImage& bright = bars[light ? 2 : 0].image;
        const QImage& dull = bars[light ? 3 : 1].image;
        for (int level = 0; level < 4; ++level) {
            const int s = kBarSplits[level];
            const int y = 10 + level * 82;
            const QRect big(x0 + 10, y, kBarWidth, kBarHeight);
            const QRect small(x0 + 190, y + 14, 96, 46);
            for (const QRect& dest : {big, small}) {
                const int f = s * dest.width() / kBarWidth;
                if (s > 0) {
                    painter.drawImage(QRect(dest.left(), dest.top(), f, dest.height()), bright,
                                      QRect(0, 0, s, kBarHeight));
                }
                if (s < kBarWidth) {
                    painter.drawImage(QRect(dest.left() + f, dest.top(), dest.width() - f, dest.height()), dull,
                                      QRect(s, 0, kBarWidth - s, kBarHeight));
                }
            }
        }
        painter.drawImage(QPoint(x0 + 310, 10), bars[light ? 0 : 2].image);
        painter.drawImage(QPoint(x0 + 310, 92), bars[light ? 1 : 3].image);
    }
    return sheet;
}

// The banner at its size, and as the logo painter shows it 30 pixels high in a wide control.
QImage PreviewBanner(const QImage& banner)
{
    const int columnWidth = 440;
    QImage sheet(columnWidth * 2, 2 * 150, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&sheet);
    Prepare(painter);
    for (int b = 0; b < 4; ++b) {
        const int x0 = (b % 2) * columnWidth;
        const int y0 = (b / 2) * 150;
        painter.fillRect(QRect(x0, y0, columnWidth, 150), kPreviewBackgrounds[b]);
        painter.drawImage(QPoint(x0 + 20, y0 + 10), banner);
        painter.drawImage(QRect(x0 + 20, y0 + 105, 148, 30), banner);
        painter.drawImage(QRect(x0 + 168, y0 + 105, 252, 30), banner, QRect(0, 0, 1, kBannerHeight));
    }
    return sheet;
}

// Icons at their sizes, the small ones also enlarged four times without smoothing.
QImage PreviewIcons(const std::vector<QImage>& icons)
{
    const int columnWidth = 560;
    QImage sheet = PreviewSheet(columnWidth, 560);
    QPainter painter(&sheet);
    for (int b = 0; b < 4; ++b) {
        const int x0 = b * columnWidth;
        int x = x0 + 10;
        for (const QImage& icon : icons) {
            if (icon.width() <= 128) {
                painter.drawImage(QPoint(x, 10), icon);
                x += icon.width() + 10;
            }
        }
        x = x0 + 10;
        for (size_t i = 0; i < 3; ++i) {
            const QImage& icon = icons[i];
            painter.drawImage(QRect(x, 150, icon.width() * 4, icon.height() * 4), icon);
            x += icon.width() * 4 + 10;
        }
        painter.drawImage(QPoint(x0 + 10, 290), icons.back());
    }
    return sheet;
}

// Enlarged views for judging details: a ball and both bar pairs three times their size, the banner
// twice its size.
QImage PreviewZoom(const std::vector<Named>& balls, const std::vector<Named>& bars, const QImage& banner)
{
    QImage sheet(3 * (kBallSide + 2 * kBarWidth) + 40, 3 * 2 * kBarHeight + 30 + 2 * kBannerHeight,
                 QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&sheet);
    const int half = sheet.width() / 2;
    painter.fillRect(QRect(0, 0, half, sheet.height()), kPreviewBackgrounds[1]);
    painter.fillRect(QRect(half, 0, sheet.width() - half, sheet.height()), kPreviewBackgrounds[3]);
    painter.drawImage(QRect(0, 0, 3 * kBallSide, 3 * kBallSide), balls[3].image);
    painter.drawImage(QRect(3 * kBallSide + 10, 0, 3 * kBarWidth, 3 * kBarHeight), bars[0].image);
    painter.drawImage(QRect(3 * kBallSide + 10, 3 * kBarHeight + 10, 3 * kBarWidth, 3 * kBarHeight), bars[1].image);
    painter.drawImage(QRect(3 * (kBallSide + kBarWidth) + 30, 0, 3 * kBarWidth, 3 * kBarHeight), bars[2].image);
    painter.drawImage(QRect(3 * (kBallSide + kBarWidth) + 30, 3 * kBarHeight + 10, 3 * kBarWidth, 3 * kBarHeight),
                      bars[3].image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRect(10, 3 * 2 * kBarHeight + 20, 2 * kBannerWidth, 2 * kBannerHeight), banner);
    return sheet;
}

} // namespace

int main(int argc, char* argv[])
{
    // The pictures are drawn off screen; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2 && !(arguments.size() == 4 && arguments.at(2) == QLatin1String("--preview"))) {
        std::fprintf(stderr, "Usage: velumina_imagegen <resources folder> [--preview <folder>]\n");
        return 2;
    }
    const QFontInfo fontInfo(QFont(QStringLiteral("DejaVu Sans")));
    if (fontInfo.family() != QLatin1String("DejaVu Sans")) {
        std::fprintf(stderr, "The font DejaVu Sans is needed for the banner (got %s)\n", qPrintable(fontInfo.family()));
        return 1;
    }

    const QDir root(arguments.at(1));
    if (!root.mkpath(QStringLiteral("png")) || !root.mkpath(QStringLiteral("icons"))) {
        std::fprintf(stderr, "Cannot create the folders under %s\n", qPrintable(arguments.at(1)));
        return 1;
    }

    std::vector<Named> balls = {
        {QStringLiteral("bullet_ball_glass_blue.png"), DrawGlassBall(QColor(30, 110, 225))},
        {QStringLiteral("bullet_ball_glass_green.png"), DrawGlassBall(QColor(40, 168, 66))},
        {QStringLiteral("bullet_ball_glass_grey.png"), DrawGlassBall(QColor(138, 144, 154))},
        {QStringLiteral("bullet_ball_glass_red.png"), DrawGlassBall(QColor(220, 34, 46))},
        {QStringLiteral("bullet_ball_glass_yellow.png"), DrawGlassBall(QColor(246, 186, 20))},
    };
    std::vector<Named> bars = {
        {QStringLiteral("buttondrops-bright.png"), DrawDropBar(true, false)},
        {QStringLiteral("buttondrops-dull.png"), DrawDropBar(false, false)},
        {QStringLiteral("buttondrops-white-bright.png"), DrawDropBar(true, true)},
        {QStringLiteral("buttondrops-white-dull.png"), DrawDropBar(false, true)},
    };
    const QImage banner = DrawBanner();
    const std::array<int, 8> iconSizes = {16, 24, 32, 48, 64, 128, 256, 512};
    std::vector<QImage> icons;
    for (int size : iconSizes) {
        icons.push_back(DrawIcon(size));
    }

    for (const Named& bar : bars) {
        if (!SplitsAreClear(bar.image)) {
            std::fprintf(stderr, "A drop of %s crosses a split column\n", qPrintable(bar.name));
            return 1;
        }
    }
    if (!EdgesArePlain(banner)) {
        std::fprintf(stderr, "The first and last columns of the banner are not one plain colour\n");
        return 1;
    }

    bool ok = true;
    for (const Named& ball : balls) {
        ok = Save(ball.image, root.filePath(QStringLiteral("png/") + ball.name), false) && ok;
    }
    for (const Named& bar : bars) {
        ok = Save(bar.image, root.filePath(QStringLiteral("png/") + bar.name), false) && ok;
    }
    ok = Save(banner, root.filePath(QStringLiteral("banner.png")), true) && ok;
    for (size_t i = 0; i < iconSizes.size(); ++i) {
        const QString name = QStringLiteral("icons/velumina-%1.png").arg(iconSizes[i]);
        ok = Save(icons[i], root.filePath(name), false) && ok;
    }
    if (arguments.size() == 4) {
        const QDir preview(arguments.at(3));
        if (!preview.mkpath(QStringLiteral("."))) {
            std::fprintf(stderr, "Cannot create %s\n", qPrintable(arguments.at(3)));
            return 1;
        }
        ok = Save(PreviewBalls(balls), preview.filePath(QStringLiteral("balls.png")), true) && ok;
        ok = Save(PreviewDrops(bars), preview.filePath(QStringLiteral("drops.png")), true) && ok;
        ok = Save(PreviewBanner(banner), preview.filePath(QStringLiteral("banner.png")), true) && ok;
        ok = Save(PreviewIcons(icons), preview.filePath(QStringLiteral("icons.png")), true) && ok;
        ok = Save(PreviewZoom(balls, bars, banner), preview.filePath(QStringLiteral("zoom.png")), true) && ok;
    }
    return ok ? 0 : 1;
}
