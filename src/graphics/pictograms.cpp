#include "pictograms.h"

#include "canvas.h"
#include "click_areas.h"
#include "core/interpreter.h"
#include "core/numbers.h"
#include "graphics_executor.h"
#include "description_texts.h"

#include <QFileInfo>
#include <QPainter>

namespace tesmora {

int AreaList::areaAt(QPoint pixel) const
{
    for (int i = count() - 1; i >= 0; --i)
        if (items.at(i).contains(pixel))
            return i;
    return -1;
}

QImage TransformPicture(const QImage &source, int flags)
{
    const QImage s = source.convertToFormat(QImage::Format_RGB32);
    const int ws = s.width();
    const int hs = s.height();
    QImage t = s;
    // Each rotation is computed from the source: the last flag set decides.
    if (flags & ROT90) {
        t = QImage(hs, ws, QImage::Format_RGB32);
        for (int j = 0; j < ws; ++j)
            for (int i = 0; i < hs; ++i)
                t.setPixel(i, j, s.pixel(j, hs - 1 - i));
    }
    if (flags & ROT180) {
        t = QImage(ws, hs, QImage::Format_RGB32);
        for (int j = 0; j < hs; ++j)
            for (int i = 0; i < ws; ++i)
                t.setPixel(i, j, s.pixel(ws - 1 - i, hs - 1 - j));
    }
    if (flags & ROT270) {
        t = QImage(hs, ws, QImage::Format_RGB32);
        for (int j = 0; j < ws; ++j)
            for (int i = 0; i < hs; ++i)
                t.setPixel(i, j, s.pixel(ws - 1 - j, i));
    }
    if (flags & HSYMM)
        t = t.mirrored(false, true);
    if (flags & VSYMM)
        t = t.mirrored(true, false);
    return t;
}

QSize Picture_LoadTransformed(Interpreter &in, Canvas &canvas, const QString &name, int flags,
                              QPoint bottomLeft)
{
    const QString path = picturePath(in, name);
    const QFileInfo info(path);
    if (!info.isFile()) {
        in.RaiseMessage(170, {path});
        return {};
    }
    const QString ext =
        info.fileName().contains(QLatin1Char('.')) ? QLatin1Char('.') + info.suffix().toLower() : QString();
    if (ext != QLatin1String(".bmp")) {
        in.RaiseMessage(172, {ext});
        return {};
    }
    QImage picture;
    if (!picture.load(path, "BMP")) {
        in.RaiseMessage(170, {path});
        return {};
    }
    const QImage t = TransformPicture(picture, flags);
    CanvasLayer &layer = canvas.layer(2);
    if (!layer.image.isNull()) {
        QPainter p(&layer.image);
        p.drawImage(QPoint(bottomLeft.x(), bottomLeft.y() - t.height()), t);
    }
    return t.size();
}

namespace {

// The variable argument i was written as; a run-time fault of the line when
// it is not a single variable.
const Tvariable &variableArgument(GraphicsCall &c, int i, const char *what)
{
    const int v = i < c.count() ? c.args[i].var_index : 0;
    if (v < 1 || v > c.in.variables().size())
        throw RuntimeFailure(QStringLiteral("Function \"%1\": the %2 must be given as a variable.")
                                 .arg(c.name, QLatin1String(what))
                                 .toStdString());
    return c.in.variables().at(v - 1);
}

// Pictograms(var Status, X, Y, Specifications [, transform])
void Pictograms(GraphicsCall &c)
{
    const QPoint anchor = c.canvas.toPixel(c.number(1), c.number(2));
    const Tvariable &statusVariable = variableArgument(c, 0, "status");
    TArea area;
    area.var_name_status = statusVariable.VarName.left(kAreaNameLength);
    area.var_name_specification = variableArgument(c, 3, "specification").VarName.left(kAreaNameLength);
    area.transform = c.count() == 5 ? c.pixel(4) : 0;
    const int status = WholeNumberText(statusVariable.text());
    const QStringList statuses = Json_GetObjectArray(c.text(3), QStringLiteral("statuses"));
    if (status < 1 || status > statuses.size()) {
        c.fail(177, {status, static_cast<int>(statuses.size())});
        return;
    }
    const QString picture = Json_GetValue(c.in, statuses.at(status - 1), QStringLiteral("picture"));
    if (picture.isEmpty())
        return;
    const QSize size = Picture_LoadTransformed(c.in, c.canvas, picture, area.transform, anchor);
    if (c.in.failed() || size.isEmpty())
        return;
    area.Left = anchor.x();
    area.Top = anchor.y() - size.height();
    area.Right = anchor.x() + size.width();
    area.Bottom = anchor.y();
    for (const TArea &a : std::as_const(c.canvas.areas.items)) {
        if (a.var_name_specification == area.var_name_specification && a.Left == area.Left &&
            a.Top == area.Top && a.Right == area.Right && a.Bottom == area.Bottom)
            return;
    }
    c.canvas.areas.items.append(area);
}

// Define_Mouse_Click_Handler(Rect, FunctionName): always appended.
void Define_Mouse_Click_Handler(GraphicsCall &c)
{
    const t_arr_specification *a = c.namedArray(0);
    // An array that is not a float array of four elements is ignored.
    if (!a || a->data_type != wkFloat || a->count < 4 || !cellsReady(*a))
        return;
    const QPoint p1 = c.canvas.toPixel(cellNumber(*a, 0), cellNumber(*a, 1));
    const QPoint p2 = c.canvas.toPixel(cellNumber(*a, 2), cellNumber(*a, 3));
    TArea area;
    area.Left = p1.x();
    area.Top = p2.y();
    area.Right = p2.x();
    area.Bottom = p1.y();
    area.FunctionName = c.text(1);
    c.canvas.areas.items.append(area);
}

// Get_User_Cursor_Pos([key]): the user position, or the display pixel when key is not 0.
void Get_User_Cursor_Pos(GraphicsCall &c)
{
    const std::int64_t key = c.count() >= 1 ? c.integer(0) : 0;
    const CursorState &cursor = c.canvas.cursor;
    const QPointF p = key == 0 ? cursor.CursorUser : QPointF(cursor.CursorPixel);
    const QString name = c.in.NewTemporaryArrayName();
    c.in.CreateArrayFromText(QStringLiteral("array ") + name + QStringLiteral("[2]float=(") +
                             FormatNumber(p.x()) + QLatin1Char(',') + FormatNumber(p.y()) + QLatin1Char(')'));
    if (c.in.failed())
        return;
    c.result.kind = wkArrayName;
    c.result.setText(name);
}

} // namespace

void registerPictogramFunctions(GraphicsRegistry &registry)
{
    registry.add("Pictograms", Pictograms);
    registry.add("Define_Mouse_Click_Handler", Define_Mouse_Click_Handler);
    registry.add("Get_User_Cursor_Pos", Get_User_Cursor_Pos);
}

} // namespace tesmora
