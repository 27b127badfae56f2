// SetCoordinateSystem (layer sizes, scales, axes and grid), Clean and
// LayerTransferring.
#include "coordinate_functions.h"

#include "core/interpreter.h"
#include "core/numbers.h"

#include <QLocale>
#include <array>
#include <cmath>

namespace tesmora {

double GridStep(int pixels, double range)
{
    if (pixels < 100 || !(range >= 0.001 && range <= 100000))
        return 0;
    static constexpr std::array<double, 13> up = {1,   2.5, 5,    10,   25,   50,   100,
                                                  250, 500, 1000, 2500, 5000, 10000};
    static constexpr std::array<double, 14> down = {1,     0.5,    0.25,  0.1,    0.05,    0.025,  0.01,
                                                    0.005, 0.0025, 0.001, 0.0005, 0.00025, 0.0001, 0.00005};
    size_t iu = 0;
    size_t id = 0;
    double c = 1;
    // The ladders' rungs are at most 2.5 apart, so a step moves n from above
    // 13 to above 4 and from 4 or less to 13 or less: the walk ends.
    for (int guard = 0; guard < 64; ++guard) {
        double n = RoundHalfEven(range / c);
        if (n == 0)
            n = 1;
        if (n > 4 && n <= 13)
            return c;
        if (n > 13) {
            if (++iu >= up.size())
                return 0;
            c = up[iu];
        } else {
            if (++id >= down.size())
                return 0;
            c = down[id];
        }
    }
    return 0;
}

QString AxisLabelText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    const QChar sep = systemDecimalSeparator();
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value)) + 1e-12));
    if (exponent < -5 || exponent >= 7) {
        // d.ddddddE+ddd
        QString s = QString::number(value, 'e', 6);
        const qsizetype e = s.indexOf(QLatin1Char('e'));
        QString mantissa = s.left(e);
        const int exp = s.mid(e + 1).toInt();
        while (mantissa.contains(QLatin1Char('.')) &&
               (mantissa.endsWith(QLatin1Char('0')) || mantissa.endsWith(QLatin1Char('.'))))
            mantissa.chop(1);
        mantissa.replace(QLatin1Char('.'), sep);
        return mantissa + (exp < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) +
               QStringLiteral("%1").arg(std::abs(exp), 3, 10, QLatin1Char('0'));
    }
    QString s = QString::number(value, 'f', std::max(0, 6 - exponent));
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    s.replace(QLatin1Char('.'), sep);
    return s;
}

namespace {

// Step 7 for one layer: its bitmap and display rectangle; false when a
// message ended the call.
bool sizeLayer(GraphicsCall &c, CanvasLayer &l, int w, int h)
{
    const CoordinateSystem &cs = c.canvas.cs;
    QSize bitmap;
    QSize display;
    switch (cs.ScalingMode) {
    case 0:
        bitmap = display = QSize(w, h);
        break;
    case 1:
        bitmap = QSize(pixelRound(cs.dx), pixelRound(cs.dy));
        display = QSize(w, h);
        break;
    case 2:
        bitmap = display = QSize(pixelRound(cs.dx), pixelRound(cs.dy));
        break;
    case 3:
        if (checkedDivide(w, h) <= cs.Ratio)
            bitmap = QSize(w, static_cast<int>(std::floor(w / cs.Ratio)));
        else
            bitmap = QSize(static_cast<int>(std::floor(h * cs.Ratio)), h);
        display = bitmap;
        break;
    default:
        c.fail(176, {cs.ScalingMode});
        return false;
    }
    // The part of the old picture that still fits is kept until the bitmap
    // is cleared below.
    l.image = l.image.isNull()
                  ? QImage(std::max(bitmap.width(), 0), std::max(bitmap.height(), 0), QImage::Format_RGB32)
                  : l.image.copy(0, 0, bitmap.width(), bitmap.height());
    l.display = display;
    if (bitmap.width() < 50 || bitmap.height() < 50) {
        c.fail(175);
        return false;
    }
    LayerState &s = l.state;
    s.penColor = 0;
    s.penWidth = 1;
    s.penStyle = PenStyle::Solid;
    s.fontSize = (display.width() + display.height()) / 140;
    s.fontColor = 0;
    s.brushColor = 0xFFFFFF;
    s.brushSolid = true;
    l.image.fill(kWhitePixel);
    return true;
}

// The axes: the y axis and column ticks, then the x axis and row ticks.
void drawAxes(LayerPainter &lp, const Canvas &cv)
{
    const CoordinateSystem &cs = cv.cs;
    const int bw = lp.layer().image.width();
    const int bh = lp.layer().image.height();
    const double sx = cs.stepx * cs.kx;
    const double sy = cs.stepy * cs.ky;
    const int t = pixelRound(sx / 10);
    const int x0 = -pixelRound(cs.x1 * cs.kx);
    const int y0 = bh + pixelRound(cs.y1 * cs.ky);
    const int first = static_cast<int>(std::ceil(cs.x1 / cs.stepx));
    const int last = static_cast<int>(std::ceil(cs.x2 / cs.stepx));
    int px = 0;
    for (int i = first; i < first + 100000; ++i) {
        px = pixelRound(i * sx - cs.x1 * cs.kx);
        if (i == 0) {
            lp.line({px, 0}, {px, bh});
            lp.line({px - t, 2 * t}, {px, t / 2});
            lp.lineTo({px + t, 2 * t});
        } else {
            lp.line({px, y0 - t}, {px, y0 + t});
        }
        if (first < i && i < last) {
            const QString label = AxisLabelText(cs.stepx * i);
            lp.text({px - 2 - lp.textWidth(label), y0}, label);
        }
        if (px > cs.freeWidth)
            break;
    }
    if (sy <= 0)
        return; // no vertical step: no rows to walk
    int py = 0;
    const int start = -static_cast<int>(std::ceil(cs.y2 / cs.stepy));
    for (int i = start; i < start + 100000; ++i) {
        py = pixelRound(cs.y2 * cs.ky - i * sy);
        if (i == 0) {
            lp.line({0, py}, {bw, py});
            lp.line({bw - 2 * t, py - t}, {bw - t / 5, py});
            lp.lineTo({bw - 2 * t, py + t});
        } else {
            lp.line({x0 - t, py}, {x0 + t, py});
            const QString label = AxisLabelText(cs.stepy * i);
            lp.text({x0 - lp.textWidth(label) - 2, py - lp.textHeight(label)}, label);
        }
        if (py <= 0)
            break;
    }
}

// The grid: dash-dot lines with a solid line at 0, labelled at the bottom
// and on the left.
void drawGrid(LayerPainter &lp, const Canvas &cv)
{
    const CoordinateSystem &cs = cv.cs;
    LayerState &st = lp.layer().state;
    const int bw = lp.layer().image.width();
    const int bh = lp.layer().image.height();
    const double sx = cs.stepx * cs.kx;
    const double sy = cs.stepy * cs.ky;
    auto styleFor = [&](int i) {
        st.penStyle = i == 0 ? PenStyle::Solid : PenStyle::DashDot;
        lp.applyState();
    };
    const int firstColumn = static_cast<int>(std::ceil(cs.x1 / cs.stepx));
    for (int i = firstColumn; i < firstColumn + 100000; ++i) {
        const int px = pixelRound(i * sx - cs.x1 * cs.kx);
        styleFor(i);
        lp.line({px, 0}, {px, bh});
        const QString label = AxisLabelText(cs.stepx * i);
        lp.text({px - 2 - lp.textWidth(label), bh - lp.textHeight(label)}, label);
        if (px > cs.freeWidth)
            break;
    }
    if (sy <= 0)
        return;
    const int firstRow = static_cast<int>(std::ceil(cs.y1 / cs.stepy));
    for (int i = firstRow; i < firstRow + 100000; ++i) {
        const int py = pixelRound(cs.y2 * cs.ky - i * sy);
        styleFor(i);
        lp.line({0, py}, {bw, py});
        const QString label = AxisLabelText(cs.stepy * i);
        lp.text({3, py - lp.textHeight(label)}, label);
        if (py < 1)
            break;
    }
}

// Steps 3 to 6: parameters, ranges and the fitted free space.
void takeRanges(GraphicsCall &c, int &drawGreed, int &layer, int &w, int &h)
{
    CoordinateSystem &cs = c.canvas.cs;
    const int n = c.count();
    cs.x1 = c.number(0);
    cs.y1 = c.number(1);
    cs.x2 = c.number(2);
    cs.y2 = c.number(3);
    drawGreed = n >= 5 ? c.pixel(4) : 0;
    layer = n >= 6 ? c.pixel(5) : 1;
    if (layer != 1 && layer != 2)
        layer = 1;
    cs.ScalingMode = n >= 7 ? c.pixel(6) : 0;
    cs.Ratio = n == 8 ? c.number(7) : 1.414;
    const QSize panel = c.canvas.panel().panelSize();
    w = panel.width();
    h = panel.height();
    cs.dx = cs.x2 - cs.x1;
    cs.dy = cs.y2 - cs.y1;
    if (cs.ScalingMode == 3) {
        cs.x1 -= 0.1 * cs.dx;
        cs.x2 += 0.1 * cs.dx;
        cs.y1 -= 0.1 * cs.dy;
        cs.y2 += 0.1 * cs.dy;
        cs.dx = cs.x2 - cs.x1;
        cs.dy = cs.y2 - cs.y1;
    } else if (checkedDivide(cs.dx, cs.dy) <= checkedDivide(w, h)) {
        w = pixelRound(h * cs.dx / cs.dy);
    } else {
        h = pixelRound(w * cs.dy / cs.dx);
    }
    cs.freeWidth = w;
    cs.freeHeight = h;
}

void SetCoordinateSystem(GraphicsCall &c)
{
    Canvas &cv = c.canvas;
    CoordinateSystem &cs = cv.cs;
    cv.areas.clear();
    cv.panel().showCanvasPanel();
    int drawGreed = 0;
    int layer = 1;
    int w = 0;
    int h = 0;
    takeRanges(c, drawGreed, layer, w, h);
    for (int n : {1, 2})
        if (!sizeLayer(c, cv.layer(n), w, h))
            return;
    cv.defined = true;
    const QSize bitmap = cv.layer(1).image.size();
    cs.kx = checkedDivide(bitmap.width(), cs.dx);
    cs.ky = checkedDivide(bitmap.height(), cs.dy);
    cs.stepx = GridStep(w, cs.dx);
    cs.stepy = GridStep(h, cs.dy);
    CanvasLayer &target = cv.layer(layer);
    target.state.penColor = 0xC0C0C0;
    target.state.fontColor = 0xC0C0C0;
    if (cs.stepx * cs.kx > 0 && (drawGreed == 1 || drawGreed == 2)) {
        LayerPainter lp(target);
        if (drawGreed == 1)
            drawAxes(lp, cv);
        else
            drawGrid(lp, cv);
    }
    target.state.fontColor = 0;
    target.state.penColor = 0;
    target.state.penStyle = PenStyle::Solid;
    cv.Panel_RightResize(cv.panel().panelSize());
}

void Clean(GraphicsCall &c)
{
    CanvasLayer &l = c.canvas.layer(c.layerWhen(0, 1));
    l.image.fill(kWhitePixel);
}

void LayerTransferring(GraphicsCall &c)
{
    CanvasLayer &l1 = c.canvas.layer(1);
    CanvasLayer &l2 = c.canvas.layer(2);
    const QRect area = QRect(QPoint(0, 0), l1.display) & l1.image.rect() & l2.image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto *dst = reinterpret_cast<QRgb *>(l1.image.scanLine(y));
        auto *src = reinterpret_cast<QRgb *>(l2.image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (src[x] != kWhitePixel)
                dst[x] = src[x];
            src[x] = kWhitePixel;
        }
    }
    l2.state.brushColor = 0xFFFFFF;
    l2.state.brushSolid = true;
}

} // namespace

void registerCoordinateFunctions(GraphicsRegistry &registry)
{
    registry.add("SetCoordinateSystem", SetCoordinateSystem);
    registry.add("Clean", Clean);
    registry.add("LayerTransferring", LayerTransferring);
}

} // namespace tesmora
