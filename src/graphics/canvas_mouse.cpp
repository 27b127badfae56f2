#include "canvas_mouse.h"

#include "canvas.h"
#include "core/interpreter.h"
#include "core/numbers.h"
#include "number_texts.h"
#include "pictograms.h"
#include "description_texts.h"

#include <cmath>

namespace tesmora {

namespace {

constexpr int kCursorPanel = 5;

// Significant digits and digits after the point of the read-out by the
// width of the x range; false outside the table.
bool readoutPrecision(double range, int &precision, int &digits)
{
    struct Row {
        double upTo;
        int precision;
        int digits;
    };
    static const Row rows[] = {{2, 6, 3}, {20, 6, 2}, {200, 6, 1}, {2000, 5, 0}, {20000, 6, 0}};
    if (!(range > 0.2))
        return false;
    for (const Row &r : rows) {
        if (range <= r.upTo) {
            precision = r.precision;
            digits = r.digits;
            return true;
        }
    }
    return false;
}

} // namespace

CanvasMouse::CanvasMouse(Interpreter &in, Canvas &canvas, PictogramMenuPort *menu)
    : in_(in), canvas_(canvas), menu_(menu)
{
}

QString CanvasMouse::CursorText(double x, double y, double xRange)
{
    int precision = 0;
    int digits = 0;
    if (!readoutPrecision(xRange, precision, digits))
        return {};
    const QChar sep = systemDecimalSeparator();
    return QStringLiteral("X=") + FixedNumberText(x, precision, digits, sep) + QStringLiteral("  Y=") +
           FixedNumberText(y, precision, digits, sep);
}

void CanvasMouse::updateCursorUser(QPoint at)
{
    const CoordinateSystem &cs = canvas_.cs;
    if (!(canvas_.DisplayScale > 0) || canvas_.panel().panelSize().width() <= 3 || cs.kx == 0 || cs.ky == 0)
        return;
    canvas_.cursor.CursorUser = canvas_.fromDisplay(QPointF(at));
    in_.host().setStatusPanel(kCursorPanel, CursorText(canvas_.cursor.CursorUser.x(),
                                                       canvas_.cursor.CursorUser.y(), cs.x2 - cs.x1));
}

bool CanvasMouse::ImageUpMouseMove(QPoint at)
{
    CursorState &c = canvas_.cursor;
    c.CursorPixel = at;
    c.HoverArea = -1;
    if (canvas_.DisplayScale > 0) {
        const QPoint pixel(static_cast<int>(RoundHalfEven(at.x() / canvas_.DisplayScale)),
                           static_cast<int>(RoundHalfEven(at.y() / canvas_.DisplayScale)));
        c.HoverArea = canvas_.areas.areaAt(pixel);
    }
    updateCursorUser(at);
    return c.HoverArea >= 0;
}

void CanvasMouse::Image2MouseLeave()
{
    canvas_.cursor.CursorPixel = QPoint(-1, -1);
}

void CanvasMouse::ImageUpMouseUp(QPoint at, CanvasButton button)
{
    if (in_.LinesRunning())
        in_.QueueBetweenLines([this, at, button] { handleRelease(at, button); });
    else
        handleRelease(at, button);
}

void CanvasMouse::handleRelease(QPoint at, CanvasButton button)
{
    CursorState &c = canvas_.cursor;
    c.LastClickPixel = at;
    updateCursorUser(at);
    // The list may have been emptied since the cursor moved.
    if (c.HoverArea < 0 || c.HoverArea >= canvas_.areas.count())
        return;
    const TArea area = canvas_.areas.items.at(c.HoverArea);
    if (!area.FunctionName.isEmpty()) {
        if (!in_.HandlerRunning())
            runClickHandler(area, button);
    } else {
        openPictogramMenu(area, at);
    }
}

bool CanvasMouse::fillMouseCoordinates(CanvasButton button)
{
    const QString name = QStringLiteral("MouseCoordinates");
    int n = in_.arrays().FindArrayAtLevel(name, 0);
    if (n == 0) {
        bool created = false;
        {
            ErrorSetAside aside(in_);
            n = in_.CreateArrayFromText(QStringLiteral("array ") + name + QStringLiteral("[3]float"));
            created = n > 0 && !in_.failed();
        }
        if (!created)
            return false;
        in_.arrays().at(n).function_level = 0;
    }
    t_arr_specification &a = in_.arrays().at(n);
    // A MouseCoordinates the script declared otherwise cannot take the click.
    if (a.data_type != wkFloat || a.count < 3 || !cellsReady(a))
        return false;
    a.P->f[0] = canvas_.cursor.CursorUser.x();
    a.P->f[1] = canvas_.cursor.CursorUser.y();
    a.P->f[2] = static_cast<double>(button);
    return true;
}

void CanvasMouse::runClickHandler(const TArea &area, CanvasButton button)
{
    in_.updateSettings([&](ProgramSettings &s) { s.workMode = true; });
    if (!fillMouseCoordinates(button))
        return;
    in_.host().refreshVariables();
    in_.RunClickHandler(area.FunctionName);
}

void CanvasMouse::openPictogramMenu(const TArea &area, QPoint at)
{
    const QString spec = in_.GetVariableText(area.var_name_specification);
    const QStringList statuses = Json_GetObjectArray(spec, QStringLiteral("statuses"));
    bool ok = false;
    const int current = in_.GetVariableText(area.var_name_status).trimmed().toInt(&ok);
    if (statuses.isEmpty() || !menu_)
        return;
    QStringList captions;
    {
        // A status without a readable name shows an empty caption.
        ErrorSetAside aside(in_);
        for (const QString &status : statuses) {
            aside.takeError();
            captions << Json_GetValue(in_, status, QStringLiteral("status_name"));
        }
    }
    const int tag = menu_->popupPictogramMenu(captions, ok ? current - 1 : -1, at);
    if (tag >= 0 && tag < statuses.size())
        mi_Click(area, statuses, tag);
}

void CanvasMouse::mi_Click(const TArea &area, const QStringList &statuses, int tag)
{
    const int index = in_.SetVariable(area.var_name_status, QString::number(tag + 1), wkFloat);
    in_.noteAssignment(index);
    Host &host = in_.host();
    host.refreshVariables();
    host.showGlobalGrid();
    QString error;
    {
        ErrorSetAside aside(in_);
        const QString picture = Json_GetValue(in_, statuses.at(tag), QStringLiteral("picture"));
        if (!picture.isEmpty())
            Picture_LoadTransformed(in_, canvas_, picture, area.transform, QPoint(area.Left, area.Bottom));
        canvas_.panel().canvasChanged();
        error = aside.takeError();
    }
    if (!error.isEmpty())
        host.showErrorBox(error);
}

} // namespace tesmora
