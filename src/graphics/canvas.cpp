#include "canvas.h"

#include "core/interpreter.h"
#include "core/numbers.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace tesmora {

void throwTooLarge(double value)
{
    throw RuntimeFailure(
        QStringLiteral("The value %1 is too large for an integer.").arg(FormatNumber(value)).toStdString());
}

bool roundToPixel(double value, int &pixel)
{
    // NaN fails both comparisons, infinities one of them.
    const double r = RoundHalfEven(value);
    if (!(r >= std::numeric_limits<int>::min() && r <= std::numeric_limits<int>::max()))
        return false;
    pixel = static_cast<int>(r);
    return true;
}

int pixelRound(double value)
{
    int pixel = 0;
    if (!roundToPixel(value, pixel))
        throwTooLarge(value);
    return pixel;
}

double finiteValue(double user)
{
    if (!std::isfinite(user))
        throwTooLarge(user);
    return user;
}

int pixelFromUser(double user, double pixels)
{
    finiteValue(user);
    if (!std::isfinite(pixels))
        throwTooLarge(user);
    return pixelRound(pixels);
}

double scaledDifference(double a, double b, double k)
{
    const double d = a - b;
    if (std::isfinite(d) || !std::isfinite(a) || !std::isfinite(b))
        return d * k;
    // Halves never overflow; the product is doubled back when it can be.
    return ((a / 2 - b / 2) * k) * 2;
}

double checkedDivide(double a, double b)
{
    if (b == 0)
        throw RuntimeFailure(a == 0 || std::isnan(a) ? "Invalid floating point operation."
                                                     : "Floating point division by zero.");
    return a / b;
}

Canvas::Canvas(CanvasPanelPort *panel) : panel_(panel ? panel : &fixed_) {}

QPoint Canvas::toPixel(double x, double y) const
{
    return {pixelFromUser(x, scaledDifference(x, cs.x1, cs.kx)),
            pixelFromUser(y, scaledDifference(cs.y2, y, cs.ky))};
}

QPoint Canvas::toCell(double x, double y) const
{
    const QPoint p = toPixel(x, y);
    return {p.x(), p.y() - 1};
}

QPointF Canvas::fromDisplay(QPointF d) const
{
    return {cs.x1 + checkedDivide(d.x(), cs.kx * DisplayScale),
            cs.y2 - checkedDivide(d.y(), cs.ky * DisplayScale)};
}

int Canvas::xLength(double units) const
{
    return pixelFromUser(units, units * cs.kx);
}

int Canvas::yLength(double units) const
{
    return pixelFromUser(units, units * cs.ky);
}

void Canvas::Panel_RightResize(QSize panelClient)
{
    const QSize b1 = layer1_.image.size();
    const QSize b2 = layer2_.image.size();
    if (b2.width() <= 0 || b2.height() <= 0 || b1.width() <= 0 || b1.height() <= 0)
        return;
    const double k = std::min(static_cast<double>(panelClient.width()) / b1.width(),
                              static_cast<double>(panelClient.height()) / b1.height());
    if (cs.ScalingMode != 2) {
        const QSize d(static_cast<int>(RoundHalfEven(b1.width() * k)),
                      static_cast<int>(RoundHalfEven(b1.height() * k)));
        layer1_.display = d;
        layer2_.display = d;
    }
    DisplayScale = std::min(static_cast<double>(layer2_.display.width()) / b2.width(),
                            static_cast<double>(layer2_.display.height()) / b2.height());
}

namespace {

// Layer 2 with its white pixels made transparent.
QImage transparentWhite(const QImage &layer)
{
    QImage out = layer.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if (line[x] == kWhitePixel)
                line[x] = 0;
    }
    return out;
}

// Where a layer is drawn in its display rectangle: scaled keeping its
// proportions (modes 0 and 1) or at natural size (modes 2 and 3).
QRect placement(const CanvasLayer &l, int mode)
{
    if (mode >= 2)
        return QRect(QPoint(0, 0), l.image.size());
    const QSize s = l.image.size().scaled(l.display, Qt::KeepAspectRatio);
    return QRect(QPoint(0, 0), s);
}

} // namespace

QImage Canvas::composed() const
{
    QImage out = layer1_.image.convertToFormat(QImage::Format_RGB32);
    if (out.isNull())
        return out;
    const QImage &top = layer2_.image;
    const int h = std::min(out.height(), top.height());
    const int w = std::min(out.width(), top.width());
    for (int y = 0; y < h; ++y) {
        auto *dst = reinterpret_cast<QRgb *>(out.scanLine(y));
        const auto *src = reinterpret_cast<const QRgb *>(top.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (src[x] != kWhitePixel)
                dst[x] = src[x];
    }
    return out;
}

void Canvas::paint(QPainter &p) const
{
    if (!defined)
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const int mode = cs.ScalingMode;
    for (const CanvasLayer *l : {&layer1_, &layer2_}) {
        if (l->image.isNull())
            continue;
        p.save();
        p.setClipRect(QRect(QPoint(0, 0), l->display));
        const QImage shown = l == &layer2_ ? transparentWhite(l->image) : l->image;
        p.drawImage(placement(*l, mode), shown);
        p.restore();
    }
}

} // namespace tesmora
