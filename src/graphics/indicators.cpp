// Gra_Indicator: measuring instruments drawn on layer 2 from a description
// text: a thermometer on a picture, vertical and horizontal bars, a dial
// with a needle and a text panel coloured by the value's range.
#include "canvas.h"
#include "core/interpreter.h"
#include "core/numbers.h"
#include "graphics_executor.h"
#include "number_texts.h"
#include "description_texts.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPolygon>
#include <cmath>

namespace tesmora {

namespace {

constexpr std::int64_t kDialFace = 0xF0CAA6;
constexpr std::int64_t kNeedle = 0xC0C0C0;
constexpr std::int64_t kWhite = 0xFFFFFF;

// One indicator call: the description text, the anchor and layer 2.
class Indicator {
  public:
    explicit Indicator(GraphicsCall &c)
        : c_(c), spec_(c.text(3)), value_(c.number(0)), x_(c.number(1)), y_(c.number(2)),
          anchor_(c.canvas.toPixel(x_, y_)), layer_(c.canvas.layer(2))
    {
    }

    void draw();

  private:
    bool failed() const { return c_.in.failed(); }
    QString value(const QString &text, const char *key)
    {
        return Json_GetValue(c_.in, text, QLatin1String(key));
    }
    int integerKey(const QString &text, const char *key);
    double systemFloatKey(const QString &text, const char *key);
    // A colour name looked up as "cl" + name; `unknown` when there is none.
    std::int64_t colourKey(const QString &text, const char *key, std::int64_t unknown);
    bool present(const char *key) const
    {
        return spec_.contains(QLatin1Char('"') + QLatin1String(key) + QLatin1Char('"'));
    }
    // The pixel of an offset in pixels from the anchor, x right and y up.
    QPoint offsetPixel(int dx, int dy) const;
    QPoint dialPoint(double angle, int radius) const;
    // The share of [min, max] that `v` limited to the range has reached.
    static double share(double v, double min, double max);

    void brush(std::int64_t colour);
    void fill(QPoint a, QPoint b, std::int64_t colour);
    void thermometer();
    void copyPicture(const QString &name);
    void bar(bool vertical);
    void dial();
    bool dialSectors(int radius, double min, double max);
    void dialFace(int radius, double angle);
    void panel();

    GraphicsCall &c_;
    QString spec_;
    double value_; // the value shown, finite
    double x_, y_;
    QPoint anchor_;
    CanvasLayer &layer_;
};

int Indicator::integerKey(const QString &text, const char *key)
{
    const QString v = value(text, key);
    return failed() ? 0 : WholeNumberText(v);
}

double Indicator::systemFloatKey(const QString &text, const char *key)
{
    const QString v = value(text, key);
    if (failed())
        return 0.0;
    // The bounds of these kinds are written with the system decimal separator.
    const QChar sep = systemDecimalSeparator();
    QString t = v.trimmed();
    const bool foreignPoint = sep != QLatin1Char('.') && t.contains(QLatin1Char('.'));
    t.replace(sep, QLatin1Char('.'));
    const ParsedNumber n = ParseNumber(t);
    if (foreignPoint || t.isEmpty() || !n.ok())
        throw RuntimeFailure(
            QStringLiteral("'%1' is not a valid floating point value.").arg(v).toStdString());
    return n.value;
}

std::int64_t Indicator::colourKey(const QString &text, const char *key, std::int64_t unknown)
{
    const QString name = value(text, key);
    if (failed())
        return unknown;
    const ConstantInfo info = c_.in.Constant_Lookup(QStringLiteral("cl") + name);
    return info.line < 0 ? unknown : static_cast<std::int64_t>(Interpreter::constantValue(info.value));
}

QPoint Indicator::offsetPixel(int dx, int dy) const
{
    const CoordinateSystem &cs = c_.canvas.cs;
    return c_.canvas.toPixel(x_ + checkedDivide(dx, cs.kx), y_ + checkedDivide(dy, cs.ky));
}

QPoint Indicator::dialPoint(double angle, int radius) const
{
    return QPoint(anchor_.x() - pixelRound(std::cos(angle) * radius),
                  anchor_.y() - pixelRound(std::sin(angle) * radius));
}

double Indicator::share(double v, double min, double max)
{
    if (v < min)
        v = min;
    if (v > max)
        v = max;
    // min = max leaves no share: the line's floating-point fault.
    return checkedDivide(v - min, max - min);
}

void Indicator::brush(std::int64_t colour)
{
    layer_.state.brushColor = colour;
    layer_.state.brushSolid = true;
}

// Fills the rectangle spanned by two corner pixels with a colour.
void Indicator::fill(QPoint a, QPoint b, std::int64_t colour)
{
    brush(colour);
    const QRect r(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                  QPoint(std::max(a.x(), b.x()) - 1, std::max(a.y(), b.y()) - 1));
    if (r.isValid() && !layer_.image.isNull()) {
        LayerPainter lp(layer_);
        lp.painter().fillRect(r, QColor::fromRgb(pixelOf(colour)));
    }
}

void Indicator::draw()
{
    const QString type = value(spec_, "type").toLower();
    value(spec_, "name");
    if (failed())
        return;
    const LayerState before = layer_.state;
    if (type == QLatin1String("thermometer"))
        thermometer();
    else if (type == QLatin1String("rect_vert") || type == QLatin1String("rect_horiz"))
        bar(type == QLatin1String("rect_vert"));
    else if (type == QLatin1String("arrow_indicator"))
        dial();
    else if (type == QLatin1String("panel"))
        panel();
    if (!failed()) {
        layer_.state.brushColor = before.brushColor;
        layer_.state.brushSolid = before.brushSolid;
    }
}

void Indicator::thermometer()
{
    const std::int64_t column = colourKey(spec_, "indicator_color", 0);
    const QString ranges = value(spec_, "ranges");
    const double min = systemFloatKey(ranges, "min");
    const double max = systemFloatKey(ranges, "max");
    const QString picture = value(spec_, "picture");
    if (failed())
        return;
    if (!picture.isEmpty())
        copyPicture(picture);
    if (failed() || !present("inner_rect"))
        return;
    const QString inner = value(spec_, "inner_rect");
    const int x1 = integerKey(inner, "x1"), y1 = integerKey(inner, "y1");
    const int x2 = integerKey(inner, "x2"), y2 = integerKey(inner, "y2");
    if (failed())
        return;
    const QPoint p1 = offsetPixel(x1, y1);
    const QPoint p2 = offsetPixel(x2, y2);
    fill(p1, p2, kWhite);
    const int h = pixelRound(share(value_, min, max) * (p1.y() - p2.y()));
    fill(p1, QPoint(p2.x(), p1.y() - h), column);
}

// The picture goes onto layer 2 pixel by pixel with the anchor as its
// bottom-left corner; its white pixels become transparent there.
void Indicator::copyPicture(const QString &name)
{
    const QString path = picturePath(c_.in, name);
    QImage picture;
    if (!QFileInfo(path).isFile() || !picture.load(path))
        throw RuntimeFailure(QStringLiteral("Cannot open file \"%1\".").arg(path).toStdString());
    QImage &image = layer_.image;
    const int h = picture.height();
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < picture.width(); ++i) {
            const QPoint to(anchor_.x() + i, anchor_.y() + j - h);
            if (image.valid(to))
                image.setPixel(to, picture.pixel(i, j) | 0xFF000000u);
        }
    }
}

void Indicator::bar(bool vertical)
{
    const std::int64_t frame = colourKey(spec_, "rect_color", 0);
    const bool hasRect = present("rect");
    const QString rect = hasRect ? value(spec_, "rect") : QString();
    QPoint p1, p2;
    if (!failed() && hasRect) {
        p1 = offsetPixel(integerKey(rect, "x1"), integerKey(rect, "y1"));
        p2 = offsetPixel(integerKey(rect, "x2"), integerKey(rect, "y2"));
        if (!failed())
            fill(p1, p2, frame);
    }
    const std::int64_t free = colourKey(spec_, "freespace_color", 0);
    if (!failed() && hasRect) {
        const int w = integerKey(rect, "width");
        p1 = offsetPixel(integerKey(rect, "x1") + w, integerKey(rect, "y1") + w);
        p2 = offsetPixel(integerKey(rect, "x2") - w, integerKey(rect, "y2") - w);
        if (!failed())
            fill(p1, p2, free);
    }
    const std::int64_t filled = colourKey(spec_, "indicator_color", 0);
    if (failed() || !present("ranges"))
        return;
    const QString ranges = value(spec_, "ranges");
    const double min = systemFloatKey(ranges, "min");
    const double max = systemFloatKey(ranges, "max");
    if (failed())
        return;
    const double t = share(value_, min, max);
    if (vertical)
        p2.setY(p1.y() - pixelRound(t * (p1.y() - p2.y())));
    else
        p2.setX(p1.x() + pixelRound(t * (p2.x() - p1.x())));
    fill(p1, p2, filled);
}

void Indicator::dial()
{
    const double min = Json_GetFloat(c_.in, spec_, QStringLiteral("min"));
    const double max = Json_GetFloat(c_.in, spec_, QStringLiteral("max"));
    const int r = integerKey(spec_, "r");
    if (failed())
        return;
    const double t = share(value_, min, max);
    const int radius = c_.canvas.xLength(r);
    if (!dialSectors(radius, min, max) || failed())
        return;
    dialFace(radius, t * M_PI);
}

// The coloured sectors of the ranges; false after message 182.
bool Indicator::dialSectors(int radius, double min, double max)
{
    const QRect box(anchor_ - QPoint(radius, radius), anchor_ + QPoint(radius, radius));
    for (const QString &range : Json_GetObjectArray(spec_, QStringLiteral("ranges"))) {
        const std::int64_t colour = colourKey(range, "color", kWhite);
        const double r0 = Json_GetFloat(c_.in, range, QStringLiteral("min"));
        const double r1 = Json_GetFloat(c_.in, range, QStringLiteral("max"));
        if (failed())
            return false;
        double bounds[2] = {r0, r1};
        double shares[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            shares[k] = checkedDivide(bounds[k] - min, max - min);
            if (!(shares[k] >= 0 && shares[k] <= 1)) {
                // the bound lies outside the dial: message 182
                c_.fail(182, {bounds[k], min, max});
                return false;
            }
        }
        brush(colour);
        LayerPainter lp(layer_);
        lp.pie(box.topLeft(), box.bottomRight(), dialPoint(shares[1] * M_PI, radius),
               dialPoint(shares[0] * M_PI, radius));
    }
    return true;
}

void Indicator::dialFace(int radius, double angle)
{
    const int ax = anchor_.x(), ay = anchor_.y();
    const int r2 = pixelRound(0.8 * radius);
    const int r3 = radius + 1;
    const int h6 = pixelRound(radius / 6.0);
    const int h10 = pixelRound(radius / 10.0);
    brush(kDialFace);
    layer_.state.penWidth = 3;
    {
        LayerPainter lp(layer_);
        lp.pie(QPoint(ax - r2, ay - r2), QPoint(ax + r2, ay + r2), QPoint(ax + r2, ay + 1),
               QPoint(ax - r2, ay + 1));
    }
    const QPoint a = dialPoint(-0.25, r3);
    const QPoint b = dialPoint(M_PI + 0.25, r3);
    fill(QPoint(ax - r3, ay), QPoint(ax + r3, a.y()), kDialFace);
    const QPoint tip = dialPoint(angle, radius);
    const int sx = pixelRound(std::sin(angle) * h10);
    const int cy = pixelRound(std::cos(angle) * h10);
    {
        LayerPainter lp(layer_);
        lp.arc(QPoint(ax - r3, ay - r3), QPoint(ax + r3, ay + r3), b, a);
        lp.line(a, b);
        lp.line(anchor_, tip);
    }
    brush(kNeedle);
    {
        LayerPainter lp(layer_);
        lp.painter().drawPolygon(QPolygon({tip, QPoint(ax - sx, ay + cy), QPoint(ax + sx, ay - cy)}));
        lp.ellipse(QPoint(ax - h6 - 1, ay - h6 - 1), QPoint(ax + h6 + 1, ay + h6 + 1));
    }
    brush(kDialFace);
    layer_.state.penWidth = 1;
}

void Indicator::panel()
{
    const int fontSize = integerKey(spec_, "fontsize");
    const QString fontName = value(spec_, "fontname");
    const QString picture = value(spec_, "format");
    if (failed())
        return;
    layer_.state.fontSize = c_.canvas.xLength(fontSize);
    layer_.state.fontFace = fontName;
    const double v = value_;
    const QChar thousands = systemThousandsSeparator();
    const QString text = FormatNumberPicture(v, picture, systemDecimalSeparator(), thousands);
    LayerPainter lp(layer_);
    int width = lp.textWidth(text);
    for (const QString &range : Json_GetObjectArray(spec_, QStringLiteral("ranges"))) {
        const std::int64_t colour = colourKey(range, "color", kWhite);
        const double r0 = Json_GetFloat(c_.in, range, QStringLiteral("min"));
        const double r1 = Json_GetFloat(c_.in, range, QStringLiteral("max"));
        if (failed())
            return;
        if (r0 <= v && v < r1)
            brush(colour);
        // The widest bound keeps the panel's width as the value changes.
        for (double bound : {r0, r1})
            width = std::max(width,
                             lp.textWidth(FormatNumberPicture(bound, picture, QLatin1Char('.'), thousands)));
    }
    lp.applyState();
    const int height = lp.textHeight(text);
    const QPoint lt(anchor_.x(), anchor_.y() - height - 2);
    const QPoint rb(anchor_.x() + width + 5, anchor_.y());
    lp.rectangle(lt - QPoint(1, 1), rb + QPoint(2, 2));
    const QPoint at(lt.x() + (rb.x() - lt.x() - lp.textWidth(text)) / 2,
                    lt.y() + (rb.y() - lt.y() - height) / 2);
    lp.boxedText(lt, rb, at, text);
}

// Gra_Indicator(Value, X, Y, Specifications)
void Gra_Indicator(GraphicsCall &c)
{
    Indicator(c).draw();
}

} // namespace

void registerIndicatorFunctions(GraphicsRegistry &registry)
{
    registry.add("Gra_Indicator", Gra_Indicator);
}

} // namespace tesmora
