// Clickable areas of the canvas: pictograms (pictures showing one of several
// states, chosen from a pop-up menu) and click handlers (rectangles bound to
// a script function), with the cursor state they share.
#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QStringList>

namespace tesmora {

// Names of the variables a pictogram reads keep this many characters.
constexpr int kAreaNameLength = 25;

// One clickable area. A pictogram has an empty FunctionName; a click handler
// has empty pictogram fields and transform 0.
struct TArea {
    // Bitmap pixels of layer 2: (x, y) is inside when
    // left <= x < right and top <= y < bottom.
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    QString var_name_specification;
    QString var_name_status;
    int transform = 0;
    QString FunctionName;

    bool contains(QPoint p) const { return Left <= p.x() && p.x() < Right && Top <= p.y() && p.y() < Bottom; }
};

// The areas in creation order; later areas win where areas overlap.
class AreaList {
  public:
    QList<TArea> items;
    int count() const { return static_cast<int>(items.size()); }
    void clear() { items.clear(); }
    // Index of the last area containing the bitmap pixel, -1 for none.
    int areaAt(QPoint pixel) const;
};

// The cursor over the canvas.
struct CursorState {
    int HoverArea = -1;       // the area under the cursor
    QPoint CursorPixel{0, 0}; // display pixels; (-1, -1) after leaving
    QPointF CursorUser{0, 0}; // user coordinates
    QPoint LastClickPixel{0, 0};
};

// Transform flags of pictures (the constants ROT90 ... VSYMM).
enum PictureTransform { ROT90 = 1, ROT180 = 2, ROT270 = 4, HSYMM = 8, VSYMM = 16 };

// The picture rotated (each rotation from the source, the last set of ROT90,
// ROT180, ROT270 deciding) and then mirrored (HSYMM, then VSYMM).
QImage TransformPicture(const QImage &source, int flags);

} // namespace tesmora
