// Drawing on a layer's bitmap with the layer's pen, brush and font, by the
// canvas rules: lines leave out their end point, figures given by corners
// (L, T) and (R, B) cover columns L..R-1 and rows T..B-1, nothing is smoothed.
#include "graphics_executor.h"

#include <QFontMetrics>
#include <QPen>
#include <cmath>
#include <vector>

namespace tesmora {

namespace {

QColor colorOf(std::int64_t c)
{
    return QColor::fromRgb(pixelOf(c));
}

QPen penOf(const LayerState &s)
{
    QPen pen(colorOf(s.penColor));
    pen.setWidth(s.penWidth);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(s.penWidth > 1 ? Qt::RoundCap : Qt::FlatCap);
    if (s.penStyle == PenStyle::Clear) {
        pen.setStyle(Qt::NoPen);
    } else if (s.penWidth == 1 && s.penStyle != PenStyle::Solid) {
        // Dashes, dots and dash-dots in pixels; a wider pen draws solid.
        switch (s.penStyle) {
        case PenStyle::Dash:
            pen.setDashPattern({18, 6});
            break;
        case PenStyle::Dot:
            pen.setDashPattern({3, 3});
            break;
        default:
            pen.setDashPattern({9, 6, 3, 6});
            break;
        }
    }
    return pen;
}

} // namespace

QPainter &LayerPainter::painter()
{
    if (!p_) {
        p_ = std::make_unique<QPainter>(&layer_.image);
        p_->setRenderHint(QPainter::Antialiasing, false);
        p_->setRenderHint(QPainter::TextAntialiasing, false);
        applyState();
    }
    return *p_;
}

void LayerPainter::applyState()
{
    if (!p_)
        return; // the state is taken when the painter begins
    const LayerState &s = layer_.state;
    p_->setPen(penOf(s));
    p_->setBrush(s.brushSolid ? QBrush(colorOf(s.brushColor)) : QBrush(Qt::NoBrush));
}

void LayerPainter::line(QPoint a, QPoint b)
{
    layer_.state.penPos = a;
    lineTo(b);
}

void LayerPainter::lineTo(QPoint b)
{
    const QPoint a = layer_.state.penPos;
    layer_.state.penPos = b;
    if (a == b || layer_.state.penStyle == PenStyle::Clear)
        return;
    if (layer_.state.penWidth > 1)
        painter().drawLine(a, b);
    else
        thinLine(a, b);
}

// Step by step from a towards b, b left out; dashes, dots and dash-dots in
// pixels, the pattern starting afresh with each line.
void LayerPainter::thinLine(QPoint a, QPoint b)
{
    static const std::vector<int> solid{1, 0};
    static const std::vector<int> dash{18, 6};
    static const std::vector<int> dot{3, 3};
    static const std::vector<int> dashDot{9, 6, 3, 6};
    const LayerState &s = layer_.state;
    const std::vector<int> &pattern = s.penStyle == PenStyle::Dash      ? dash
                                      : s.penStyle == PenStyle::Dot     ? dot
                                      : s.penStyle == PenStyle::DashDot ? dashDot
                                                                        : solid;
    const bool dashed = &pattern != &solid;
    QImage &img = layer_.image;
    const QRgb color = pixelOf(s.penColor);
    const int dx = std::abs(b.x() - a.x());
    const int dy = -std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1;
    const int sy = a.y() < b.y() ? 1 : -1;
    int err = dx + dy;
    int x = a.x();
    int y = a.y();
    size_t part = 0;
    int left = pattern[0];
    while (x != b.x() || y != b.y()) {
        if ((!dashed || part % 2 == 0) && img.valid(x, y))
            reinterpret_cast<QRgb *>(img.scanLine(y))[x] = color;
        if (dashed && --left == 0) {
            part = (part + 1) % pattern.size();
            left = pattern[part];
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void LayerPainter::rectangle(QPoint lt, QPoint rb)
{
    const QRect r = QRect(lt, rb).normalized();
    painter().drawRect(QRect(r.topLeft(), QSize(r.width() - 2, r.height() - 2)));
}

void LayerPainter::ellipse(QPoint lt, QPoint rb)
{
    const QRect r = QRect(lt, rb).normalized();
    painter().drawEllipse(QRect(r.topLeft(), QSize(r.width() - 2, r.height() - 2)));
}

namespace {

// The angle of the ray from `centre` through a point, in degrees
// counter-clockwise from the right (y down on the bitmap).
double rayAngle(QPointF centre, QPoint through)
{
    return std::atan2(centre.y() - through.y(), through.x() - centre.x()) * 180.0 / M_PI;
}

// The box of an arc or pie given by corners, and its start angle and
// counter-clockwise span in 1/16 degree, from the ray through `from` to the
// ray through `to`.
struct ArcGeometry {
    QRect box;
    int start;
    int span;
};

ArcGeometry arcGeometry(QPoint lt, QPoint rb, QPoint from, QPoint to)
{
    const QRect r = QRect(lt, rb).normalized();
    const QRect box(r.topLeft(), QSize(r.width() - 2, r.height() - 2));
    const QPointF centre = QRectF(box).center();
    const double start = rayAngle(centre, from);
    double span = rayAngle(centre, to) - start;
    while (span <= 0)
        span += 360;
    return {box, static_cast<int>(std::lround(start * 16)), static_cast<int>(std::lround(span * 16))};
}

} // namespace

void LayerPainter::arc(QPoint lt, QPoint rb, QPoint from, QPoint to)
{
    const ArcGeometry g = arcGeometry(lt, rb, from, to);
    painter().drawArc(g.box, g.start, g.span);
}

void LayerPainter::pie(QPoint lt, QPoint rb, QPoint from, QPoint to)
{
    const ArcGeometry g = arcGeometry(lt, rb, from, to);
    painter().drawPie(g.box, g.start, g.span);
}

void LayerPainter::quarterArc(QPoint centre, int r, int sx, int sy)
{
    const LayerState &st = layer_.state;
    if (st.penStyle == PenStyle::Clear || r <= 0)
        return;
    if (st.penWidth > 1) {
        // Quadrants counter-clockwise from the right: (1,-1) is the top right.
        const int quadrant = sy < 0 ? (sx > 0 ? 0 : 1) : (sx < 0 ? 2 : 3);
        painter().drawArc(QRect(centre - QPoint(r, r), QSize(2 * r, 2 * r)), quadrant * 90 * 16, 90 * 16);
        return;
    }
    // The midpoint circle, both of its end points included, so that the arc
    // closes the outline with the lines it joins.
    QImage &img = layer_.image;
    const QRgb color = pixelOf(st.penColor);
    auto plot = [&](int dx, int dy) {
        const QPoint p(centre.x() + sx * dx, centre.y() + sy * dy);
        if (img.valid(p))
            reinterpret_cast<QRgb *>(img.scanLine(p.y()))[p.x()] = color;
    };
    int x = r;
    int y = 0;
    int d = 1 - r;
    while (x >= y) {
        plot(x, y);
        plot(y, x);
        ++y;
        if (d < 0) {
            d += 2 * y + 1;
        } else {
            --x;
            d += 2 * (y - x) + 1;
        }
    }
}

QFont LayerPainter::font() const
{
    const LayerState &s = layer_.state;
    QFont f(s.fontFace);
    f.setStyleHint(QFont::SansSerif);
    f.setStyleStrategy(QFont::NoAntialias);
    // Points at 96 pixels per inch.
    const int points = s.fontSize == 0 ? 8 : std::abs(s.fontSize);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    return f;
}

int LayerPainter::textHeight(const QString &) const
{
    return QFontMetrics(font()).height();
}

int LayerPainter::textWidth(const QString &s) const
{
    return QFontMetrics(font()).horizontalAdvance(s);
}

void LayerPainter::text(QPoint at, const QString &s)
{
    const QFont f = font();
    const QFontMetrics m(f);
    const QSize cell(m.horizontalAdvance(s), m.height());
    if (layer_.state.brushSolid)
        painter().fillRect(QRect(at, cell), colorOf(layer_.state.brushColor));
    painter().save();
    painter().setFont(f);
    painter().setPen(colorOf(layer_.state.fontColor));
    painter().drawText(QPoint(at.x(), at.y() + m.ascent()), s);
    painter().restore();
    layer_.state.penPos = QPoint(at.x() + cell.width(), at.y());
}

void LayerPainter::boxedText(QPoint lt, QPoint rb, QPoint at, const QString &s)
{
    const QRect inside(lt, QSize(rb.x() - lt.x(), rb.y() - lt.y()));
    if (layer_.state.brushSolid)
        painter().fillRect(inside, colorOf(layer_.state.brushColor));
    const QFont f = font();
    painter().save();
    painter().setClipRect(inside);
    painter().setFont(f);
    painter().setPen(colorOf(layer_.state.fontColor));
    painter().drawText(QPoint(at.x(), at.y() + QFontMetrics(f).ascent()), s);
    painter().restore();
}

} // namespace tesmora
