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

// The bitmap and display rectangle that step 7 gives every layer, as
// numbers: the sizes asked for are checked against the limits before
// anything is allocated. Mode 0 takes the fitted free space.
struct LayerPlan {
    double width = 0, height = 0;
    QSize display;
};

LayerPlan planLayers(const CoordinateSystem &cs, int w, int h)
{
    LayerPlan plan;
    switch (cs.ScalingMode) {
    case 0:
        plan.width = w;
        plan.height = h;
        break;
    case 1:
    case 2:
        plan.width = RoundHalfEven(cs.dx);
        plan.height = RoundHalfEven(cs.dy);
        break;
    default: // 3
        if (checkedDivide(w, h) <= cs.Ratio) {
            plan.width = w;
            plan.height = std::floor(w / cs.Ratio);
        } else {
            plan.width = std::floor(h * cs.Ratio);
            plan.height = h;
        }
        break;
    }
    // A negative size is no bitmap at all (message 175 below).
    plan.width = std::max(plan.width, 0.0);
    plan.height = std::max(plan.height, 0.0);
    return plan;
}

bool withinLayerLimits(const LayerPlan &plan)
{
    return plan.width <= kMaxLayerSide && plan.height <= kMaxLayerSide &&
           plan.width * plan.height <= static_cast<double>(kMaxLayerPixels);
}

// The reset drawing state of a freshly sized layer.
void resetLayerState(LayerState &s, QSize display)
{
    s.penColor = 0;
    s.penWidth = 1;
    s.penStyle = PenStyle::Solid;
    s.fontSize = (display.width() + display.height()) / 140;
    s.fontColor = 0;
    s.brushColor = 0xFFFFFF;
    s.brushSolid = true;
}

// A bitmap narrower or lower than 50 pixels: message 175 after layer 1 took
// that size (the part of its old picture that still fits stays).
void refuseSmallLayer(GraphicsCall &c, QSize bitmap, QSize display)
{
    CanvasLayer &l = c.canvas.layer(1);
    const int bw = std::max(bitmap.width(), 0);
    const int bh = std::max(bitmap.height(), 0);
    if (l.image.isNull()) {
        l.image = QImage(bw, bh, QImage::Format_RGB32);
        l.image.fill(kWhitePixel);
    } else {
        l.image = l.image.copy(0, 0, bw, bh);
    }
    l.display = display;
    c.fail(175);
}

// Step 7 for both layers: new white bitmaps, made before the old ones are
// given up; false (message 363, nothing changed) when memory runs out.
bool sizeLayers(GraphicsCall &c, QSize bitmap, QSize display)
{
    QImage images[2];
    for (QImage &image : images) {
        image = QImage(bitmap, QImage::Format_RGB32);
        if (image.isNull()) {
            c.fail(363);
            return false;
        }
        image.fill(kWhitePixel);
    }
    for (int n : {1, 2}) {
        CanvasLayer &l = c.canvas.layer(n);
        l.image.swap(images[n - 1]);
        l.display = display;
        resetLayerState(l.state, display);
    }
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
    const int first = pixelRound(std::ceil(cs.x1 / cs.stepx));
    const int last = pixelRound(std::ceil(cs.x2 / cs.stepx));
    int px = 0;
    for (std::int64_t i = first; i < first + std::int64_t{100000}; ++i) {
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
    const std::int64_t start = -static_cast<std::int64_t>(pixelRound(std::ceil(cs.y2 / cs.stepy)));
    for (std::int64_t i = start; i < start + std::int64_t{100000}; ++i) {
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
    auto styleFor = [&](std::int64_t i) {
        st.penStyle = i == 0 ? PenStyle::Solid : PenStyle::DashDot;
        lp.applyState();
    };
    const int firstColumn = pixelRound(std::ceil(cs.x1 / cs.stepx));
    for (std::int64_t i = firstColumn; i < firstColumn + std::int64_t{100000}; ++i) {
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
    const int firstRow = pixelRound(std::ceil(cs.y1 / cs.stepy));
    for (std::int64_t i = firstRow; i < firstRow + std::int64_t{100000}; ++i) {
        const int py = pixelRound(cs.y2 * cs.ky - i * sy);
        styleFor(i);
        lp.line({0, py}, {bw, py});
        const QString label = AxisLabelText(cs.stepy * i);
        lp.text({3, py - lp.textHeight(label)}, label);
        if (py < 1)
            break;
    }
}

// A range bound or width that overflowed the largest double.
double notOverflowed(double value)
{
    if (!std::isfinite(value))
        throw RuntimeFailure("Floating point overflow.");
    return value;
}

// round(free * a / b), the fitted side of step 6; a / b first when the
// product alone would overflow.
int fittedSide(int free, double a, double b)
{
    const double product = free * a;
    return pixelRound(std::isfinite(product) ? checkedDivide(product, b) : free * checkedDivide(a, b));
}

// Steps 3 to 6 into `cs`: parameters, ranges and the fitted free space.
void takeRanges(GraphicsCall &c, CoordinateSystem &cs, int &drawGreed, int &layer)
{
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
    int w = panel.width();
    int h = panel.height();
    cs.dx = notOverflowed(cs.x2 - cs.x1);
    cs.dy = notOverflowed(cs.y2 - cs.y1);
    if (cs.ScalingMode == 3) {
        cs.x1 = notOverflowed(cs.x1 - 0.1 * cs.dx);
        cs.x2 = notOverflowed(cs.x2 + 0.1 * cs.dx);
        cs.y1 = notOverflowed(cs.y1 - 0.1 * cs.dy);
        cs.y2 = notOverflowed(cs.y2 + 0.1 * cs.dy);
        cs.dx = notOverflowed(cs.x2 - cs.x1);
        cs.dy = notOverflowed(cs.y2 - cs.y1);
    } else if (checkedDivide(cs.dx, cs.dy) <= checkedDivide(w, h)) {
        w = fittedSide(h, cs.dx, cs.dy);
    } else {
        h = fittedSide(w, cs.dy, cs.dx);
    }
    cs.freeWidth = w;
    cs.freeHeight = h;
}

// Steps 8 to 11 on freshly sized layers: scales, steps, axes or grid.
void drawCoordinates(Canvas &cv, int drawGreed, int layer)
{
    CoordinateSystem &cs = cv.cs;
    const QSize bitmap = cv.layer(1).image.size();
    cs.kx = checkedDivide(bitmap.width(), cs.dx);
    cs.ky = checkedDivide(bitmap.height(), cs.dy);
    cs.stepx = GridStep(cs.freeWidth, cs.dx);
    cs.stepy = GridStep(cs.freeHeight, cs.dy);
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
}

// The parameters are read and the layers planned before anything changes: a
// fault in a parameter, a canvas beyond the limits or memory running out
// leave the ranges, the layers and the click areas as they were. A mode out
// of range and a bitmap below 50 pixels end the call after the ranges are
// taken and the areas forgotten.
void SetCoordinateSystem(GraphicsCall &c)
{
    Canvas &cv = c.canvas;
    cv.panel().showCanvasPanel();
    CoordinateSystem next = cv.cs;
    int drawGreed = 0;
    int layer = 1;
    takeRanges(c, next, drawGreed, layer);
    const bool modeValid = next.ScalingMode >= 0 && next.ScalingMode <= 3;
    const LayerPlan plan = modeValid ? planLayers(next, next.freeWidth, next.freeHeight) : LayerPlan();
    if (modeValid && !withinLayerLimits(plan)) {
        c.fail(366, {FormatNumber(plan.width), FormatNumber(plan.height), kMaxLayerSide,
                     static_cast<qint64>(kMaxLayerPixels)});
        return;
    }
    const QSize bitmap(pixelRound(plan.width), pixelRound(plan.height));
    const bool large = bitmap.width() >= 50 && bitmap.height() >= 50;
    const QSize display =
        next.ScalingMode == 0 || next.ScalingMode == 1 ? QSize(next.freeWidth, next.freeHeight) : bitmap;
    if (modeValid && large && !sizeLayers(c, bitmap, display))
        return;
    cv.areas.clear();
    cv.cs = next;
    if (!modeValid) {
        c.fail(176, {next.ScalingMode});
        return;
    }
    if (!large) {
        refuseSmallLayer(c, bitmap, display);
        return;
    }
    cv.defined = true;
    drawCoordinates(cv, drawGreed, layer);
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
