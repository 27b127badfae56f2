// Pictures drawn rotated and mirrored, and the graphics functions that make
// the canvas clickable: Pictograms, Define_Mouse_Click_Handler and
// Get_User_Cursor_Pos.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

namespace tesmora {

class Canvas;
class Interpreter;

// Reads a .bmp picture (a name without a folder is looked up in the pictures
// folder), transforms it by `flags` and draws it on layer 2 with its
// bottom-left corner at pixel `bottomLeft`. Returns the drawn size; an empty
// size after message 170 (missing or unreadable file) or 172 (not ".bmp").
QSize Picture_LoadTransformed(Interpreter &in, Canvas &canvas, const QString &name, int flags,
                              QPoint bottomLeft);

} // namespace tesmora
