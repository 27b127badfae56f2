// The marks of the script editor (breakpoints, bookmarks, the current-line
// mark), the gutter click and the mark indicator strip.
#include "script_editor.h"

#include "core/interpreter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tesmora {

namespace {

constexpr int kMaxMarksPerLine = 16;

EditorMark markOf(int marker, int line0)
{
    if (marker == ScriptEditor::kBreakpointImage)
        return {marker, -1, line0 + 1};
    return {marker, marker, line0 + 1};
}

} // namespace

// ---- Marks --------------------------------------------------------------------

void ScriptEditor::addMarker(int line, int marker)
{
    if (line < 0 || line >= lineCount())
        return;
    if (!(editor_->markersAtLine(line) & (1u << marker)))
        editor_->markerAdd(line, marker);
}

void ScriptEditor::Set_CurrentLine_Mark(int line)
{
    SynEdit_Set_CurrentLine(line);
    UpdateStopMark(-1);
    editor_->markerDeleteAll(kCurrentLineMark);
    addMarker(line, kCurrentLineMark);
    SynEdit_Set_CurrentLine(line);
    PaintIndicatorStrip();
}

void ScriptEditor::SynEdit_Set_CurrentLine(int line)
{
    if (line < 0 || line >= lineCount())
        return;
    // By line and column: the component counts in UTF-8 bytes, so a
    // character offset would land elsewhere on lines with non-ASCII text.
    editor_->setCursorPosition(line, 0);
    editor_->ensureLineVisible(line);
}

void ScriptEditor::UpdateStopMark(int line)
{
    const int l = line < 0 ? caretLine() : line;
    marks1_.clear();
    stopMark_ = false;
    if (l < 0 || l >= lineCount())
        return;
    const unsigned mask = editor_->markersAtLine(l) & kMarkMask;
    for (int m = 0; m <= kCurrentLineMark && marks1_.size() < kMaxMarksPerLine; ++m) {
        if (mask & (1u << m)) {
            const EditorMark mark = markOf(m, l);
            marks1_.append(mark);
            if (mark.bookmarkNumber < 0)
                stopMark_ = true;
        }
    }
}

bool ScriptEditor::hasBreakpoint(int line) const
{
    if (line < 0 || line >= lineCount())
        return false;
    return editor_->markersAtLine(line) & (1u << kBreakpointImage);
}

void ScriptEditor::setBreakpoint(int line, bool on)
{
    if (on)
        addMarker(line, kBreakpointImage);
    else if (line >= 0 && line < lineCount())
        editor_->markerDelete(line, kBreakpointImage);
}

int ScriptEditor::currentLineMarkLine() const
{
    return editor_->markerFindNext(0, 1u << kCurrentLineMark);
}

QList<EditorMark> ScriptEditor::marks() const
{
    QList<EditorMark> out;
    int line = editor_->markerFindNext(0, kMarkMask);
    while (line >= 0) {
        const unsigned mask = editor_->markersAtLine(line) & kMarkMask;
        for (int m = 0; m <= kCurrentLineMark; ++m)
            if (mask & (1u << m))
                out.append(markOf(m, line));
        line = editor_->markerFindNext(line + 1, kMarkMask);
    }
    return out;
}

QList<EditorMark> ScriptEditor::saveMarks() const
{
    QList<EditorMark> all = marks();
    if (all.size() > kSavedMarksCapacity) {
        // Keep the current-line mark whatever else is dropped.
        const int cur = currentLineMarkLine();
        all = all.mid(0, kSavedMarksCapacity);
        if (cur >= 0 && !all.contains(markOf(kCurrentLineMark, cur)))
            all.last() = markOf(kCurrentLineMark, cur);
    }
    return all;
}

void ScriptEditor::restoreMarks(const QList<EditorMark> &list)
{
    clearMarks();
    for (const EditorMark &m : list) {
        if (m.line < 1)
            break;
        int marker = m.imageIndex;
        if (m.bookmarkNumber >= 0 && m.bookmarkNumber <= 9)
            marker = m.bookmarkNumber;
        else if (m.bookmarkNumber == kCurrentLineMark)
            marker = kCurrentLineMark;
        else if (m.bookmarkNumber < 0)
            marker = kBreakpointImage;
        addMarker(m.line - 1, marker);
    }
}

void ScriptEditor::clearMarks()
{
    for (int m = 0; m <= kCurrentLineMark; ++m)
        if (kMarkMask & (1u << m))
            editor_->markerDeleteAll(m);
}

void ScriptEditor::toggleBookmark(int number)
{
    if (number < 0 || number > 9)
        return;
    const int line = caretLine();
    const bool here = editor_->markersAtLine(line) & (1u << number);
    editor_->markerDeleteAll(number);
    if (!here)
        addMarker(line, number);
    PaintIndicatorStrip();
    emit marksChanged();
}

void ScriptEditor::gotoBookmark(int number)
{
    const int line = bookmarkLine(number);
    if (line >= 0)
        SynEdit_Set_CurrentLine(line);
}

int ScriptEditor::bookmarkLine(int number) const
{
    if (number < 0 || number > 9)
        return -1;
    return editor_->markerFindNext(0, 1u << number);
}

void ScriptEditor::gutterClicked(int line, Qt::KeyboardModifiers modifiers)
{
    // The click puts the caret on the line, as a click in the text would.
    if (line >= 0 && line < lineCount())
        editor_->setCursorPosition(line, 0);
    if (!working_)
        return;
    const int L = line + 1;
    const QStringList text = lines();
    if (L > text.size() || L < 1)
        return;
    // Blank and comment-only lines take no marks; the first line always does.
    if (Interpreter::StripComment(text[L - 1]).trimmed().isEmpty() && L > 1)
        return;
    if (modifiers & Qt::ControlModifier) {
        emit executionPointRequested(L - 1);
        Set_CurrentLine_Mark(L - 1);
    } else {
        UpdateStopMark(-1);
        const bool had = stopMark_;
        editor_->markerDelete(L - 1, kBreakpointImage);
        if (!had)
            addMarker(L - 1, kBreakpointImage);
    }
    PaintIndicatorStrip();
    emit marksChanged();
}

// ---- Indicator strip ------------------------------------------------------------

int ScriptEditor::indicatorY(int line, int stripHeight, int lineCount)
{
    if (lineCount <= 0)
        return 0;
    const double k = double(stripHeight) / lineCount;
    // The component's lines are 1-based; halves go to the even neighbour.
    return static_cast<int>(std::nearbyint((line + 1) * k));
}

int ScriptEditor::indicatorLine(int y, int stripHeight, int lineCount)
{
    if (lineCount <= 0 || stripHeight <= 0)
        return 0;
    const int line = static_cast<int>(std::nearbyint(double(lineCount) * y / stripHeight)) - 1;
    return std::clamp(line, 0, lineCount - 1);
}

void ScriptEditor::PaintIndicatorStrip()
{
    const int n = lineCount();
    if (n < 5)
        return;
    const QSize size = strip_->size();
    if (size.isEmpty())
        return;
    const qreal dpr = strip_->devicePixelRatioF();
    QImage img(qCeil(size.width() * dpr), qCeil(size.height() * dpr), QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    img.fill(colours_.workingGutter);
    QPainter p(&img);
    const int h = size.height();
    const int w = size.width();
    // Rectangles from (x1, y1) up to, not including, (x2, y2).
    auto block = [&](int x1, int y1, int x2, int y2, const QColor &c) {
        p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), c);
    };
    const QList<EditorMark> all = marks();
    for (const EditorMark &m : all)
        if (m.bookmarkNumber < 0) {
            const int y = indicatorY(m.line - 1, h, n);
            block(0, y - 1, w, y + 1, Qt::red);
        }
    for (const EditorMark &m : all)
        if (m.bookmarkNumber >= 0 && m.bookmarkNumber <= 9) {
            const int y = indicatorY(m.line - 1, h, n);
            block(0, y - 4, 7, y + 4, colours_.stripBookmark);
        }
    for (const EditorMark &m : all)
        if (m.bookmarkNumber == kCurrentLineMark) {
            const int y = indicatorY(m.line - 1, h, n);
            block(8, y - 4, 15, y + 4, Qt::red);
            block(10, y - 2, 13, y + 2, Qt::yellow);
        }
    p.end();
    strip_->setImage(img);
}

void ScriptEditor::indicatorClicked(int y)
{
    const int n = lineCount();
    if (n <= 0)
        return;
    SynEdit_Set_CurrentLine(indicatorLine(y, strip_->height(), n));
}

} // namespace tesmora
