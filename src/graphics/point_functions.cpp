// Point sequences from float arrays (Polygon, Polyline, PolyLine1) and
// pictures from files (PictureImport).
#include "graphics_executor.h"

#include "core/interpreter.h"
#include "platform/paths.h"

#include <QFileInfo>
#include <QPolygon>
#include <cmath>

namespace tesmora {

namespace {

// How many points a call takes: the array's first dimension, or PointCount
// (argument `countArg` when given) lowered to it; never more than `available`.
int pointCount(const GraphicsCall &c, const t_arr_specification &a, int countArg, int available)
{
    int n = a.dim[0];
    if (c.count() > countArg)
        n = std::min(n, c.pixel(countArg));
    return std::max(0, std::min(n, available));
}

const t_arr_specification *floatArray(const GraphicsCall &c)
{
    const t_arr_specification *a = c.namedArray(0);
    return a && a->data_type == wkFloat && cellsReady(*a) ? a : nullptr;
}

// The points of rows [n,2]: point i is (element 2i, element 2i + 1).
QPolygon pairPoints(const GraphicsCall &c, const t_arr_specification &a, int countArg)
{
    const int n = pointCount(c, a, countArg, a.count / 2);
    QPolygon points;
    points.reserve(n);
    for (int i = 0; i < n; ++i)
        points << c.canvas.toPixel(cellNumber(a, 2 * i), cellNumber(a, 2 * i + 1));
    return points;
}

// A marker of half-size 5 around p, drawn with a solid pen; the pen style
// and the brush colour are restored afterwards.
void marker(LayerPainter &lp, QPoint p, int shape)
{
    constexpr int s = 5;
    LayerState &st = lp.layer().state;
    const LayerState saved = st;
    st.penStyle = PenStyle::Solid;
    if (shape == 2 || shape == 4)
        st.brushColor = st.penColor;
    lp.applyState();
    QPainter &painter = lp.painter();
    switch (shape) {
    case 1:
    case 2:
        painter.drawPolygon(QPolygon({p + QPoint(-s, -s), p + QPoint(s, -s), p + QPoint(s, s),
                                      p + QPoint(-s, s), p + QPoint(-s, -s)}),
                            Qt::OddEvenFill);
        break;
    case 3:
    case 4:
        lp.ellipse(p - QPoint(s, s), p + QPoint(s, s));
        break;
    case 5: {
        const QPoint pos = st.penPos;
        lp.line(p + QPoint(-s, -s), p + QPoint(s, s));
        lp.line(p + QPoint(s, -s), p + QPoint(-s, s));
        st.penPos = pos;
        break;
    }
    default:
        break;
    }
    st.penStyle = saved.penStyle;
    st.brushColor = saved.brushColor;
    lp.applyState();
}

// Markers at every point, then the open line through them with the pen.
void drawPolyline(CanvasLayer &l, const QPolygon &points, int shape)
{
    if (l.image.isNull() || points.isEmpty())
        return;
    LayerPainter lp(l);
    if (shape >= 1)
        for (const QPoint &p : points)
            marker(lp, p, shape);
    const QPoint pos = l.state.penPos;
    l.state.penPos = points.first();
    for (qsizetype i = 1; i < points.size(); ++i)
        lp.lineTo(points[i]);
    l.state.penPos = pos;
}

void Polygon(GraphicsCall &c)
{
    const t_arr_specification *a = floatArray(c);
    if (!a)
        return;
    CanvasLayer &l = c.canvas.layer(c.layerWhen(1, -1));
    const QPolygon points = pairPoints(c, *a, 2);
    if (l.image.isNull() || points.isEmpty())
        return;
    LayerPainter lp(l);
    lp.painter().drawPolygon(points, Qt::OddEvenFill);
}

void Polyline(GraphicsCall &c)
{
    const t_arr_specification *a = floatArray(c);
    if (!a)
        return;
    const int layer = c.layerWhen(1, -1);
    const int shape = c.count() >= 3 ? c.pixel(2) : 0;
    drawPolyline(c.canvas.layer(layer), pairPoints(c, *a, 3), shape);
}

void PolyLine1(GraphicsCall &c)
{
    const t_arr_specification *a = floatArray(c);
    if (!a)
        return;
    const int layer = c.layerWhen(3, -1);
    const int shape = c.count() >= 5 ? c.pixel(4) : 0;
    const int n = pointCount(c, *a, 5, a->count);
    QPolygon points;
    double x = c.number(1);
    for (int i = 0; i < n; ++i) {
        points << c.canvas.toPixel(x, cellNumber(*a, i));
        x += c.number(2);
    }
    drawPolyline(c.canvas.layer(layer), points, shape);
}

} // namespace

QString picturePath(const Interpreter &in, const QString &fileName)
{
    if (isPathName(fileName))
        return resolveCaseInsensitive(resolveAgainst(in.programFolder(), fileName));
    QString folder = in.programFolder();
    if (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return resolveCaseInsensitive(folder + QStringLiteral("/pictures/") + fileName);
}

namespace {

// (x, y) is the picture's bottom-left corner; a PNG keeps its transparency.
void PictureImport(GraphicsCall &c)
{
    const QString path = picturePath(c.in, c.text(0));
    const QFileInfo info(path);
    if (!info.isFile()) {
        c.fail(170, {path});
        return;
    }
    const QPoint p = c.count() >= 3 ? c.canvas.toPixel(c.number(1), c.number(2)) : c.canvas.toPixel(1, 1);
    CanvasLayer &l = c.canvas.layer(c.count() == 4 ? c.layerArgument(3) : 2);
    const QString ext =
        info.fileName().contains(QLatin1Char('.')) ? QLatin1Char('.') + info.suffix().toLower() : QString();
    if (ext != QLatin1String(".bmp") && ext != QLatin1String(".jpg") && ext != QLatin1String(".png")) {
        c.fail(172, {ext});
        return;
    }
    QImage picture;
    if (!picture.load(path)) {
        c.fail(170, {path});
        return;
    }
    if (l.image.isNull())
        return;
    LayerPainter lp(l);
    lp.painter().drawImage(QPoint(p.x(), p.y() - picture.height()), picture);
}

} // namespace

void registerPointFunctions(GraphicsRegistry &registry)
{
    registry.add("Polygon", Polygon);
    registry.add("Polyline", Polyline);
    registry.add("PolyLine1", PolyLine1);
    registry.add("PictureImport", PictureImport);
}

} // namespace tesmora
