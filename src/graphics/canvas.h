// The canvas scripts draw on: two layers of equal pixel size with their own
// drawing state, the user coordinate system with its transforms, the layout
// of the layers in the right-hand panel, and the clickable areas.
#pragma once

#include "click_areas.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

class QPainter;

namespace tesmora {

// Pen styles as scripts number them (SetPenParameters); any other value is solid.
enum class PenStyle { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, Clear = 4 };

// The drawing state of one layer. Colours are script colours ($00BBGGRR).
struct LayerState {
    std::int64_t penColor = 0;
    int penWidth = 1;
    PenStyle penStyle = PenStyle::Solid;
    std::int64_t brushColor = 0xFFFFFF;
    bool brushSolid = true;
    int fontSize = 8; // points
    std::int64_t fontColor = 0;
    QString fontFace = QStringLiteral("Tahoma");
    QPoint penPos; // bitmap pixels
};

struct CanvasLayer {
    QImage image; // Format_RGB32; null until the first SetCoordinateSystem
    LayerState state;
    QSize display; // the display rectangle in the panel (from its top-left corner)
};

struct CoordinateSystem {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double dx = 0, dy = 0;
    double kx = 0, ky = 0;
    int ScalingMode = 0;
    double Ratio = 1.414;
    int freeWidth = 0, freeHeight = 0;
    double stepx = 0, stepy = 0;
};

// What the canvas needs of the panel that shows it. The main window's canvas
// panel implements it; a headless run uses FixedPanel.
class CanvasPanelPort {
  public:
    virtual ~CanvasPanelPort() = default;
    // Shows the splitter; a panel of width 0 is widened to 0.75 of the main
    // window's client width.
    virtual void showCanvasPanel() = 0;
    // The panel's current size (width and height of Panel_Right).
    virtual QSize panelSize() const = 0;
    // The layers or their layout changed: show them again (between lines).
    virtual void canvasChanged() {}
};

// A panel of a fixed size, always shown: the headless runner's and the tests'.
class FixedPanel : public CanvasPanelPort {
  public:
    explicit FixedPanel(QSize size = QSize(900, 600)) : size_(size) {}
    void showCanvasPanel() override { shown_ = true; }
    QSize panelSize() const override { return size_; }
    void setSize(QSize size) { size_ = size; }
    bool shown() const { return shown_; }

  private:
    QSize size_;
    bool shown_ = false;
};

constexpr QRgb kWhitePixel = 0xFFFFFFFFu;

// The largest layer a script may ask for: no side above 16,384 pixels and no
// more than 64 Mi pixels (8192 x 8192, 256 MiB of 32-bit pixels) a layer.
constexpr int kMaxLayerSide = 16384;
constexpr std::int64_t kMaxLayerPixels = 64LL * 1024 * 1024;

class Canvas {
  public:
    explicit Canvas(CanvasPanelPort *panel = nullptr);

    // Layer 1 for n == 1, layer 2 otherwise.
    CanvasLayer &layer(int n) { return n == 1 ? layer1_ : layer2_; }
    const CanvasLayer &layer(int n) const { return n == 1 ? layer1_ : layer2_; }
    // The layer a layer argument selects: 1 is layer 1, every other value layer 2.
    static int layerOf(std::int64_t argument) { return argument == 1 ? 1 : 2; }

    CoordinateSystem cs;
    double DisplayScale = 0;
    AreaList areas;
    CursorState cursor;
    // True once a SetCoordinateSystem has sized the layers.
    bool defined = false;

    CanvasPanelPort &panel() { return *panel_; }
    void setPanel(CanvasPanelPort *panel) { panel_ = panel ? panel : &fixed_; }

    // ---- Transforms: the one way user values become pixels (rounded halves
    // to even). A user value that is not finite, or a pixel value beyond 32
    // bits, is a run-time fault of the line that names the value. ----
    QPoint toPixel(double x, double y) const;
    // The pixel-cell form: one row further up.
    QPoint toCell(double x, double y) const;
    QPointF fromDisplay(QPointF displayPixel) const;
    // x units and y units as pixels (radius with kx, corner radius with ky).
    int xLength(double units) const;
    int yLength(double units) const;

    // The layout of the layers in a panel of `panelClient` size: display
    // rectangles and DisplayScale.
    void Panel_RightResize(QSize panelClient);
    // Layer 2 over layer 1 (white transparent) at bitmap size.
    QImage composed() const;
    // Both layers as shown in the panel: each drawn into its display
    // rectangle from the top-left corner (scaled in modes 0 and 1).
    void paint(QPainter &p) const;

  private:
    CanvasLayer layer1_;
    CanvasLayer layer2_;
    FixedPanel fixed_{QSize(0, 0)};
    CanvasPanelPort *panel_;
};

// Rounds a pixel value halves to even; throws RuntimeFailure naming the
// value when it is not finite or does not fit in 32 bits.
int pixelRound(double value);
// The same without the fault: false when the value has no 32-bit pixel.
bool roundToPixel(double value, int &pixel);
// The pixel of `pixels`, a value computed from the user value `user`: a user
// value that is not finite, or a computation that overflowed, names the user
// value; a pixel value beyond 32 bits names itself.
int pixelFromUser(double user, double pixels);
// `user` itself when finite; otherwise the fault that names it.
double finiteValue(double user);
// (a - b) * k without an intermediate overflow when the result is finite:
// the difference of two finite values may exceed the largest double.
double scaledDifference(double a, double b, double k);
// The run-time fault of a value that does not fit the integer it must become.
[[noreturn]] void throwTooLarge(double value);
// a / b; a zero divisor is the line's floating-point fault.
double checkedDivide(double a, double b);

// Script colour ($00BBGGRR) to a pixel and back.
inline QRgb pixelOf(std::int64_t color)
{
    const auto v = static_cast<std::uint32_t>(color);
    return 0xFF000000u | ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu);
}
inline std::int64_t colorOfPixel(QRgb p)
{
    return static_cast<std::int64_t>(qRed(p)) | (static_cast<std::int64_t>(qGreen(p)) << 8) |
           (static_cast<std::int64_t>(qBlue(p)) << 16);
}

} // namespace tesmora
