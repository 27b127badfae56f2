// Pens, brushes, lines, figures, flood fill, text and pixels.
#include "graphics_executor.h"

#include "core/interpreter.h"

#include <cstdlib>

namespace tesmora {

namespace {

// The point of arguments i and i + 1 in pixels.
QPoint pointAt(const GraphicsCall &c, int i)
{
    return c.canvas.toPixel(c.number(i), c.number(i + 1));
}
QPoint cellAt(const GraphicsCall &c, int i)
{
    return c.canvas.toCell(c.number(i), c.number(i + 1));
}

void MoveTo(GraphicsCall &c)
{
    const QPoint p = pointAt(c, 0);
    c.canvas.layer(c.layerWhen(2, 3)).state.penPos = p;
}

void LineTo(GraphicsCall &c)
{
    const QPoint p = pointAt(c, 0);
    CanvasLayer &l = c.canvas.layer(c.layerWhen(2, 3));
    if (l.image.isNull()) {
        l.state.penPos = p;
        return;
    }
    LayerPainter(l).lineTo(p);
}

void FillRect(GraphicsCall &c)
{
    const QPoint lt = c.canvas.toPixel(c.number(0), c.number(3));
    const QPoint rb = c.canvas.toPixel(c.number(2), c.number(1));
    CanvasLayer &l = c.canvas.layer(c.layerWhen(4, 5));
    if (!l.image.isNull())
        LayerPainter(l).rectangle(lt, rb);
}

// Four lines, four quarter arcs in the corners, and the inside filled from
// the centre up to the pen colour.
void Rect(GraphicsCall &c)
{
    const Canvas &cv = c.canvas;
    const int x1 = cv.toPixel(c.number(0), 0).x();
    const int x2 = cv.toPixel(c.number(2), 0).x();
    const int yb = cv.toCell(0, c.number(1)).y();
    const int yt = cv.toCell(0, c.number(3)).y();
    const int r = c.count() == 6 ? cv.yLength(c.number(5)) : 0;
    CanvasLayer &l = c.canvas.layer(c.layerWhen(4, -1));
    if (l.image.isNull())
        return;
    {
        LayerPainter lp(l);
        lp.line({x1 + r, yt}, {x2 - r, yt});
        lp.line({x2, yt + r}, {x2, yb - r});
        lp.line({x2 - r, yb}, {x1 + r, yb});
        lp.line({x1, yb - r}, {x1, yt + r});
        lp.quarterArc({x1 + r, yt + r}, r, -1, -1);
        lp.quarterArc({x1 + r, yb - r}, r, -1, 1);
        lp.quarterArc({x2 - r, yb - r}, r, 1, 1);
        lp.quarterArc({x2 - r, yt + r}, r, 1, -1);
    }
    const QPoint centre(pixelRound((x1 + x2) * 0.5), pixelRound((yt + yb) * 0.5));
    const QRgb pen = pixelOf(l.state.penColor);
    if (l.state.brushSolid && l.image.valid(centre) && l.image.pixel(centre) != pen)
        floodFillBorder(l.image, centre, pen, pixelOf(l.state.brushColor));
}

void Circle(GraphicsCall &c)
{
    const QPoint p = pointAt(c, 0);
    const int r = c.canvas.xLength(c.number(2));
    CanvasLayer &l = c.canvas.layer(c.layerWhen(3, 4));
    if (!l.image.isNull())
        LayerPainter(l).ellipse({p.x() - r, p.y() - r}, {p.x() + r, p.y() + r});
}

// The surface form with the layer's brush; the colour argument is not used.
void FloodFill(GraphicsCall &c)
{
    const QPoint p = pointAt(c, 0);
    CanvasLayer &l = c.canvas.layer(c.layerWhen(3, 4));
    if (l.state.brushSolid)
        floodFillSurface(l.image, p, pixelOf(l.state.brushColor));
}

void SetPenParameters(GraphicsCall &c)
{
    LayerState &s = c.canvas.layer(c.layerWhen(3, 4)).state;
    s.penWidth = std::max(1, c.pixel(0));
    s.penColor = c.integer(1);
    const std::int64_t style = c.count() >= 3 ? c.integer(2) : 0;
    s.penStyle = style >= 1 && style <= 4 ? static_cast<PenStyle>(style) : PenStyle::Solid;
}

void SetBrushParameters(GraphicsCall &c)
{
    LayerState &s = c.canvas.layer(c.layerWhen(2, -1)).state;
    s.brushColor = c.integer(0);
    s.brushSolid = (c.count() >= 2 ? c.integer(1) : 0) == 0;
}

// (x, y) is the text's bottom-left corner; size and colour stay on the layer.
void TextPrint(GraphicsCall &c)
{
    const QPoint p = pointAt(c, 0);
    CanvasLayer &l = c.canvas.layer(c.layerWhen(5, 6));
    l.state.fontSize = c.pixel(3);
    l.state.fontColor = c.count() >= 5 ? c.integer(4) : 0;
    if (l.image.isNull())
        return;
    LayerPainter lp(l);
    const QString text = c.text(2);
    lp.text({p.x(), p.y() - lp.textHeight(text)}, text);
}

void PixelRead(GraphicsCall &c)
{
    const QPoint p = cellAt(c, 0);
    const CanvasLayer &l = c.canvas.layer(c.layerWhen(2, -1));
    const std::int64_t key = c.count() == 4 ? c.integer(3) : 0;
    std::int64_t color = l.image.valid(p) ? colorOfPixel(l.image.pixel(p)) : -1;
    if (key == 1) {
        const std::int64_t r = color % 256;
        const std::int64_t g = (color / 256) % 256;
        const std::int64_t b = (color / 256) / 256;
        color = (r + g + b) / 3;
    }
    c.setInteger(color);
}

void PixelWrite(GraphicsCall &c)
{
    const QPoint p = cellAt(c, 0);
    CanvasLayer &l = c.canvas.layer(c.layerWhen(3, 4));
    const QRgb color = pixelOf(c.integer(2));
    if (l.image.valid(p))
        reinterpret_cast<QRgb *>(l.image.scanLine(p.y()))[p.x()] = color;
}

} // namespace

void registerDrawingFunctions(GraphicsRegistry &registry)
{
    registry.add("MoveTo", MoveTo);
    registry.add("LineTo", LineTo);
    registry.add("FillRect", FillRect);
    registry.add("Rect", Rect);
    registry.add("Circle", Circle);
    registry.add("FloodFill", FloodFill);
    registry.add("SetPenParameters", SetPenParameters);
    registry.add("SetBrushParameters", SetBrushParameters);
    registry.add("TextPrint", TextPrint);
    registry.add("PixelRead", PixelRead);
    registry.add("PixelWrite", PixelWrite);
}

} // namespace tesmora
