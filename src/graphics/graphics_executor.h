// The graphics executor: runs one graphics function by its catalogue name
// through a table of handlers, each family registering its own, with one
// argument reader they all share.
#pragma once

#include "canvas.h"
#include "ports/executors.h"
#include "library/function_call.h"
#include "library/function_catalogue.h"

#include <QPainter>
#include <QString>
#include <cstdint>
#include <memory>

namespace tesmora {

class Interpreter;
struct t_arr_specification;

// One call of a graphics function: the shared argument reader with the
// canvas. The parameter count is the arguments given, empty strings
// included; arguments beyond it read as 0 or empty.
class GraphicsCall : public FunctionCall {
  public:
    GraphicsCall(Interpreter &in, Canvas &canvas, const QString &name, WordList &args, TWordStatus &result);

    Canvas &canvas;

    // The number rounded halves to even to a pixel; a value beyond 32 bits
    // is a run-time fault of the line.
    int pixel(int i) const { return pixelRound(number(i)); }
    // The layer argument i: 1 selects layer 1, every other value layer 2.
    int layerArgument(int i) const { return Canvas::layerOf(integer(i)); }
    // The layer chosen by argument i when the count equals `exactCount`
    // (exactCount < 0: when the count reaches i + 1), else `otherwise`.
    int layerWhen(int i, int exactCount, int otherwise = 1) const;
};

using GraphicsFunction = void (*)(GraphicsCall &call);
// The handlers of the graphics table, attached by catalogue name.
using GraphicsRegistry = FunctionRegistry<GraphicsFunction>;

// The families of graphics functions; graphics_families.cpp registers them all.
void registerGraphicsFamilies(GraphicsRegistry &registry);
void registerCoordinateFunctions(GraphicsRegistry &registry); // SetCoordinateSystem, Clean, LayerTransferring
void registerDrawingFunctions(GraphicsRegistry &registry);    // pens, brushes, figures, text, pixels
void registerPointFunctions(GraphicsRegistry &registry);      // Polygon, Polyline, PolyLine1, PictureImport
void registerIndicatorFunctions(GraphicsRegistry &registry);  // Gra_Indicator
void registerPictogramFunctions(GraphicsRegistry &registry);  // Pictograms, click handlers, cursor position

// The path of a picture file: a name without a folder is looked up in the
// pictures folder of the program folder.
QString picturePath(const Interpreter &in, const QString &fileName);

// The executor behind wkGraphFunction words; one per program, beside the
// interpreter, drawing on the program's canvas.
class CanvasExecutor : public GraphicsExecutor {
  public:
    explicit CanvasExecutor(Canvas &canvas);
    void execute(Interpreter &in, const QString &name, WordList &args, TWordStatus &result) override;
    Canvas &canvas() { return canvas_; }

  private:
    Canvas &canvas_;
    GraphicsRegistry registry_{FunctionTable::Graph};
};

// A painter on a layer's bitmap with its drawing state: no antialiasing,
// the layer's pen and brush, text in its font.
class LayerPainter {
  public:
    explicit LayerPainter(CanvasLayer &layer) : layer_(layer) {}
    // The painter on the layer's bitmap, begun on first use (thin lines and
    // pixels need none).
    QPainter &painter();
    CanvasLayer &layer() { return layer_; }
    // Takes over changes of the layer's pen and brush.
    void applyState();
    // A line from a to b colouring a and not b; the pen position becomes b.
    void lineTo(QPoint b);
    void line(QPoint a, QPoint b);
    // Outlined and filled figures covering columns L..R-1 and rows T..B-1.
    void rectangle(QPoint lt, QPoint rb);
    void ellipse(QPoint lt, QPoint rb);
    // The arc of the ellipse in the box, counter-clockwise from the ray
    // through `from` to the ray through `to`.
    void arc(QPoint lt, QPoint rb, QPoint from, QPoint to);
    // The same sector outlined with the pen and filled with the brush.
    void pie(QPoint lt, QPoint rb, QPoint from, QPoint to);
    // A quarter of the circle of radius r around `centre`, in the quadrant
    // of the signs (sx, sy) (y down), with both end points.
    void quarterArc(QPoint centre, int r, int sx, int sy);
    // Text with its top-left corner at `at`, the cell painted with the brush
    // unless it is transparent; the pen position moves to the top-right corner.
    void text(QPoint at, const QString &s);
    // Text at `at` clipped to the box of columns L..R-1 and rows T..B-1, the
    // box painted with the brush first unless it is transparent.
    void boxedText(QPoint lt, QPoint rb, QPoint at, const QString &s);
    QFont font() const;
    int textHeight(const QString &s) const;
    int textWidth(const QString &s) const;

  private:
    void thinLine(QPoint a, QPoint b);
    CanvasLayer &layer_;
    std::unique_ptr<QPainter> p_;
};

// Flood fills of a layer with a colour: the surface form fills the pixels
// connected to `seed` that have the seed's colour; the border form fills
// those connected to it up to pixels of `border`.
void floodFillSurface(QImage &image, QPoint seed, QRgb fill);
void floodFillBorder(QImage &image, QPoint seed, QRgb border, QRgb fill);

} // namespace tesmora
