#include "script_editor.h"

#include <QCursor>
#include <QScrollBar>
#include <QToolTip>

#include "core/interpreter.h"
#include "script_lexer.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace tesmora {

namespace {

// Gutter columns, left to right: breakpoints and bookmarks, line numbers,
// the current-line arrow (so that it never hides a mark of its line), folding.
constexpr int kSymbolMargin = 0;
constexpr int kNumberMargin = 1;
constexpr int kArrowMargin = 2;
constexpr int kFoldMargin = 3;
constexpr int kSymbolMarginWidth = 24;
constexpr int kArrowMarginWidth = 14;
constexpr int kGutterWidth = 45; // marks and numbers together
constexpr int kFoldMarginWidth = 14;

// QScintilla takes fonts in points; the sizes of this editor are given in
// (logical) pixels.
QFont pointFont(QFont f)
{
    if (f.pixelSize() > 0)
        f.setPointSizeF(f.pixelSize() * 72.0 / 96.0);
    return f;
}

// ---- Mark images -----------------------------------------------------------

QImage newImage(int w, int h, qreal dpr)
{
    QImage img(qCeil(w * dpr), qCeil(h * dpr), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::transparent);
    return img;
}

// Breakpoints and bookmarks share a column: the dot takes its left half and
// the bookmark its right half, so that both show on one line.
constexpr int kMarkImageWidth = 22;

QImage breakpointImage(qreal dpr)
{
    QImage img = newImage(kMarkImageWidth, 14, dpr);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(5.5, 5.0), 7.5);
    g.setColorAt(0.0, QColor(0xFF, 0x8A, 0x80));
    g.setColorAt(1.0, QColor(0xD0, 0x10, 0x10));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x80, 0x00, 0x00), 1.0));
    p.drawEllipse(QRectF(1.5, 1.5, 11, 11));
    return img;
}

QImage bookmarkImage(int number, qreal dpr, const QFont &font)
{
    QImage img = newImage(kMarkImageWidth, 14, dpr);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(kMarkImageWidth - 13, 0);
    QPainterPath path;
    path.addRoundedRect(QRectF(1.5, 0.5, 11, 13), 2, 2);
    p.setPen(QPen(QColor(0x10, 0x10, 0x30), 1.0));
    p.setBrush(QColor(0x2A, 0x3A, 0x6A));
    p.drawPath(path);
    QFont f = font;
    f.setBold(true);
    f.setPixelSize(10);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(1.5, 0.5, 11, 13), Qt::AlignCenter, QString::number(number));
    return img;
}

QImage currentLineImage(qreal dpr)
{
    QImage img = newImage(14, 14, dpr);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(1.5, 4.5);
    arrow.lineTo(7.0, 4.5);
    arrow.lineTo(7.0, 1.0);
    arrow.lineTo(13.0, 7.0);
    arrow.lineTo(7.0, 13.0);
    arrow.lineTo(7.0, 9.5);
    arrow.lineTo(1.5, 9.5);
    arrow.closeSubpath();
    p.setBrush(QColor(0xFF, 0xE0, 0x20));
    p.setPen(QPen(QColor(0xC0, 0x00, 0x00), 1.2));
    p.drawPath(arrow);
    return img;
}

// Every mark image, kept alive for the component, which refers to them.
struct MarkImages {
    qreal dpr = 0;
    QImage images[ScriptEditor::kCurrentLineMark + 1];
};

} // namespace

// ---------------------------------------------------------------------------
// The text component

ScriptTextEdit::ScriptTextEdit(ScriptEditor *owner) : QsciScintilla(owner), owner_(owner) {}

void ScriptTextEdit::keyPressEvent(QKeyEvent *e)
{
    // Tab indents: Ctrl+Tab and Ctrl+Shift+Tab leave the text for the
    // window's other parts.
    if ((e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) && (e->modifiers() & Qt::ControlModifier)) {
        QWidget::focusNextPrevChild(e->key() == Qt::Key_Tab && !(e->modifiers() & Qt::ShiftModifier));
        return;
    }
    if (owner_->handleKey(e))
        return;
    QsciScintilla::keyPressEvent(e);
}

void ScriptTextEdit::keyReleaseEvent(QKeyEvent *e)
{
    QsciScintilla::keyReleaseEvent(e);
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier) && ScriptEditor::physicalDigit(e) >= 0)
        owner_->PaintIndicatorStrip();
}

void ScriptTextEdit::contextMenuEvent(QContextMenuEvent *e)
{
    QPoint pos = e->pos();
    if (e->reason() == QContextMenuEvent::Keyboard) {
        const long cur = SendScintilla(SCI_GETCURRENTPOS);
        pos = QPoint(static_cast<int>(SendScintilla(SCI_POINTXFROMPOSITION, 0, cur)),
                     static_cast<int>(SendScintilla(SCI_POINTYFROMPOSITION, 0, cur)) + 2);
    }
    owner_->rightClick(pos, viewport()->mapToGlobal(pos));
    e->accept();
}

// ---------------------------------------------------------------------------
// The indicator strip

IndicatorStrip::IndicatorStrip(QWidget *parent) : QWidget(parent)
{
    setFixedWidth(ScriptEditor::kStripWidth);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void IndicatorStrip::setBackground(const QColor &colour)
{
    background_ = colour;
    update();
}

void IndicatorStrip::setImage(const QImage &image)
{
    image_ = image;
    update();
}

QSize IndicatorStrip::sizeHint() const
{
    return {ScriptEditor::kStripWidth, 100};
}

void IndicatorStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), background_);
    if (!image_.isNull())
        p.drawImage(QPoint(0, 0), image_);
}

void IndicatorStrip::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        emit clicked(qRound(e->position().y()));
}

void IndicatorStrip::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    emit resized();
}

// ---------------------------------------------------------------------------
// The editor

ScriptEditor::ScriptEditor(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    editor_ = new ScriptTextEdit(this);
    editor_->setObjectName(QStringLiteral("SynEditor"));
    strip_ = new IndicatorStrip(this);
    strip_->setObjectName(QStringLiteral("Image_indicator"));
    layout->addWidget(editor_, 1);
    layout->addWidget(strip_, 0);

    lexer_ = new ScriptLexer(editor_);
    lexer_->setTabWidth(kTabWidth);
    // The main window's colours are the ones in force.
    lexer_->setAttributes(ScriptLexer::mainWindowAttributes());

    font_ = QFont(QStringLiteral("Courier New"));
    font_.setStyleHint(QFont::Monospace);
    font_.setFixedPitch(true);
    font_.setPixelSize(13);
    gutterFont_ = QFont(QStringLiteral("Terminal"));
    gutterFont_.setStyleHint(QFont::Monospace);
    gutterFont_.setFixedPitch(true);
    gutterFont_.setPixelSize(13);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PopupMenu_SynEdit"));
    actCopy_ = popup_->addAction(QStringLiteral("Copy (Ctrl C)"), editor_, &QsciScintilla::copy);
    actCut_ = popup_->addAction(QStringLiteral("Cut (Ctrl X)"), editor_, &QsciScintilla::cut);
    actPaste_ = popup_->addAction(QStringLiteral("Paste (Ctrl V)"), editor_, &QsciScintilla::paste);
    actDelete_ = popup_->addAction(QStringLiteral("Delete"), editor_, &QsciScintilla::removeSelectedText);

    configureEditor();

    connect(editor_, &QsciScintilla::marginClicked, this,
            [this](int margin, int line, Qt::KeyboardModifiers m) {
                if (margin == kSymbolMargin || margin == kNumberMargin || margin == kArrowMargin)
                    gutterClicked(line, m);
            });
    connect(editor_, &QsciScintilla::linesChanged, this, &ScriptEditor::updateLineNumbers);
    // Scroll hint: while the scroll bar is dragged, the top line's number.
    connect(editor_->verticalScrollBar(), &QScrollBar::sliderMoved, this, [this](int value) {
        QToolTip::showText(QCursor::pos(), QStringLiteral("Line: %1").arg(value),
                           editor_->verticalScrollBar());
    });
    connect(editor_, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { updateBraceHighlight(); });
    connect(editor_, &QsciScintillaBase::SCN_CHARADDED, this, &ScriptEditor::handleCharAdded);
    connect(editor_, qOverload<const char *, int>(&QsciScintillaBase::SCN_AUTOCSELECTION), this,
            &ScriptEditor::handleCompletionSelection);
    connect(editor_, &QsciScintilla::textChanged, this, [this] {
        if (isCompletionActive() && !refilterPending_) {
            refilterPending_ = true;
            QTimer::singleShot(0, this, &ScriptEditor::refilterCompletion);
        }
    });
    connect(strip_, &IndicatorStrip::clicked, this, &ScriptEditor::indicatorClicked);
    connect(strip_, &IndicatorStrip::resized, this, &ScriptEditor::PaintIndicatorStrip);

    setFocusProxy(editor_);
    setWorkingMode(true);
}

ScriptEditor::~ScriptEditor() = default;

void ScriptEditor::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    defineMarkers(); // at the pixel ratio of the screen the editor is on
}

bool ScriptEditor::event(QEvent *e)
{
    if (e->type() == QEvent::PaletteChange)
        followPalette();
    if (e->type() == QEvent::ScreenChangeInternal) {
        defineMarkers();
        PaintIndicatorStrip();
    }
    return QWidget::event(e);
}

void ScriptEditor::configureEditor()
{
    QsciScintilla *e = editor_;
    e->setUtf8(true);
    e->setEolMode(QsciScintilla::EolUnix);
    e->setLexer(lexer_);
    e->setFrameShape(QFrame::NoFrame);
    configureIndentation();

    // The caret may go past the line end; the horizontal range follows the
    // longest line seen.
    e->SendScintilla(QsciScintillaBase::SCI_SETVIRTUALSPACEOPTIONS, QsciScintillaBase::SCVS_USERACCESSIBLE);
    e->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);
    e->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1);
    // Keep two lines of context when the caret is brought into view.
    e->SendScintilla(QsciScintillaBase::SCI_SETYCARETPOLICY,
                     QsciScintillaBase::CARET_SLOP | QsciScintillaBase::CARET_EVEN, 2);
    e->setCaretWidth(2);
    // Selected text keeps its colours on a light selection background.
    e->resetSelectionForegroundColor();
    // Brackets are matched by this class (see updateBraceHighlight).
    e->setBraceMatching(QsciScintilla::NoBraceMatch);

    configureGutter();
    configureCompletion();
    releaseWindowKeys();
    colours_ = EditorColours::forPalette(palette());
    applyColours();
    setEditorFont(font_);
    defineMarkers();
    updateLineNumbers();
}

void ScriptEditor::configureIndentation()
{
    // Tabs: two blanks; new lines take the indentation of the line above;
    // Backspace in the indentation removes one level.
    QsciScintilla *e = editor_;
    e->setTabWidth(kTabWidth);
    e->setIndentationWidth(kTabWidth);
    e->setIndentationsUseTabs(false);
    e->setAutoIndent(true);
    e->setBackspaceUnindents(true);
    e->setIndentationGuides(true);
}

void ScriptEditor::configureGutter()
{
    // Gutter: marks, then line numbers counted from 0, then the fold column.
    QsciScintilla *e = editor_;
    e->setMarginType(kSymbolMargin, QsciScintilla::SymbolMargin);
    e->setMarginMarkerMask(kSymbolMargin, static_cast<int>(kMarkMask & ~(1u << kCurrentLineMark)));
    e->setMarginSensitivity(kSymbolMargin, true);
    e->setMarginType(kArrowMargin, QsciScintilla::SymbolMargin);
    e->setMarginMarkerMask(kArrowMargin, static_cast<int>(1u << kCurrentLineMark));
    e->setMarginSensitivity(kArrowMargin, true);
    e->setMarginType(kNumberMargin, QsciScintilla::TextMarginRightJustified);
    e->setMarginMarkerMask(kNumberMargin, 0);
    e->setMarginSensitivity(kNumberMargin, true);
    e->setFolding(QsciScintilla::BoxedTreeFoldStyle, kFoldMargin);
    e->setMarginWidth(kFoldMargin, kFoldMarginWidth);
    e->SendScintilla(QsciScintillaBase::SCI_SETAUTOMATICFOLD, QsciScintillaBase::SC_AUTOMATICFOLD_CHANGE);
    // A little air between the gutter and the text.
    e->SendScintilla(QsciScintillaBase::SCI_SETMARGINLEFT, 0UL, 4L);
}

void ScriptEditor::configureCompletion()
{
    // Completion: entries one per line, 15 lines, chosen with Enter or a
    // fill-up character; the list is filtered here as the prefix grows.
    QsciScintilla *e = editor_;
    e->setAutoCompletionSource(QsciScintilla::AcsNone);
    e->setAutoCompletionThreshold(-1);
    e->SendScintilla(QsciScintillaBase::SCI_AUTOCSETSEPARATOR, '\n');
    e->SendScintilla(QsciScintillaBase::SCI_AUTOCSETTYPESEPARATOR, 0x1E);
    e->SendScintilla(QsciScintillaBase::SCI_AUTOCSETMAXHEIGHT, 15);
    e->SendScintilla(QsciScintillaBase::SCI_AUTOCSETIGNORECASE, 1);
    e->SendScintilla(QsciScintillaBase::SCI_AUTOCSETORDER, 2 /* SC_ORDER_CUSTOM */);
    e->SendScintilla(QsciScintillaBase::SCI_AUTOCSETFILLUPS, 0UL, "()[]. ");
    e->SendScintilla(QsciScintillaBase::SCI_AUTOCSETAUTOHIDE, 1);
    e->SendScintilla(QsciScintillaBase::SCI_AUTOCSETCHOOSESINGLE, 0UL);
    e->SendScintilla(QsciScintillaBase::SCI_AUTOCSETCANCELATSTART, 1);
}

void ScriptEditor::releaseWindowKeys()
{
    // Keys that belong to the main window's actions are taken from the
    // component's own key map (Ctrl+L line cut, Ctrl+T line transpose).
    for (int key : {(Qt::CTRL | Qt::Key_L).toCombined(), (Qt::CTRL | Qt::Key_T).toCombined()}) {
        if (QsciCommand *c = editor_->standardCommands()->boundTo(key)) {
            if (c->key() == key)
                c->setKey(0);
            else
                c->setAlternateKey(0);
        }
    }
}

void ScriptEditor::applyColours()
{
    // The text colours come from the highlighter; the rest is the
    // component's own.
    lexer_->setAttributes(colours_.attributes);
    lexer_->setEditorColors(colours_.text, colours_.paper);
    editor_->setIndentationGuidesForegroundColor(colours_.indentGuide);
    editor_->setSelectionBackgroundColor(colours_.selection);
    editor_->setCaretForegroundColor(colours_.text);
    editor_->setMarginsForegroundColor(colours_.marginText);
    editor_->setMatchedBraceForegroundColor(colours_.braceText);
    editor_->setMatchedBraceBackgroundColor(colours_.braceBack);
    editor_->setUnmatchedBraceForegroundColor(colours_.braceText);
    editor_->setUnmatchedBraceBackgroundColor(colours_.braceBack);
    strip_->setBackground(colours_.workingGutter);
    applyGutterColors();
}

void ScriptEditor::followPalette()
{
    EditorColours wanted = EditorColours::forPalette(palette());
    if (wanted.paper == colours_.paper)
        return;
    colours_ = std::move(wanted);
    applyColours();
    setEditorFont(font_); // the highlighter's styles take the font again
    PaintIndicatorStrip();
}

void ScriptEditor::defineMarkers()
{
    static MarkImages images; // shared: the component keeps pointers to them
    const qreal dpr = std::max<qreal>(1.0, std::ceil(editor_->devicePixelRatioF()));
    if (images.dpr != dpr) {
        images.dpr = dpr;
        for (int i = 0; i <= 9; ++i)
            images.images[i] = bookmarkImage(i, dpr, gutterFont_);
        images.images[kBreakpointImage] = breakpointImage(dpr);
        images.images[kCurrentLineMark] = currentLineImage(dpr);
    }
    editor_->SendScintilla(QsciScintillaBase::SCI_RGBAIMAGESETSCALE, static_cast<unsigned long>(dpr * 100));
    for (int i = 0; i <= kCurrentLineMark; ++i)
        if (!images.images[i].isNull())
            editor_->markerDefine(images.images[i], i);
}

void ScriptEditor::setEditorFont(const QFont &font)
{
    font_ = font;
    const QFont pf = pointFont(font);
    editor_->setFont(pf);
    lexer_->setEditorFont(pf);
    // Matching brackets: the editor font, bold as the symbol attribute.
    for (int style : {int(QsciScintillaBase::STYLE_BRACELIGHT), int(QsciScintillaBase::STYLE_BRACEBAD)}) {
        const QByteArray family = pf.family().toUtf8();
        editor_->SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, static_cast<unsigned long>(style),
                               family.constData());
        editor_->SendScintilla(QsciScintillaBase::SCI_STYLESETSIZEFRACTIONAL,
                               static_cast<unsigned long>(style), static_cast<long>(pf.pointSizeF() * 100));
    }
    const bool bold = lexer_->attribute(ScriptLexer::AttrSymbol).bold;
    editor_->SendScintilla(QsciScintillaBase::SCI_STYLESETBOLD, QsciScintillaBase::STYLE_BRACELIGHT,
                           long(bold));
    editor_->SendScintilla(QsciScintillaBase::SCI_STYLESETBOLD, QsciScintillaBase::STYLE_BRACEBAD,
                           long(bold));
    // The completion list is about 300 px wide.
    const int charWidth = std::max(1, QFontMetrics(font).averageCharWidth());
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCSETMAXWIDTH,
                           static_cast<unsigned long>(300 / charWidth));
    setGutterFont(gutterFont_);
}

void ScriptEditor::setGutterFont(const QFont &font)
{
    gutterFont_ = font;
    editor_->setMarginsFont(pointFont(font));
    updateGutterWidth();
    applyGutterColors();
}

void ScriptEditor::updateGutterWidth()
{
    // Marks and numbers take 45 px together, more when four digits need it.
    const QFontMetrics fm(gutterFont_);
    const int numbers =
        std::max(kGutterWidth - kSymbolMarginWidth, fm.horizontalAdvance(QStringLiteral("0000 ")));
    editor_->setMarginWidth(kSymbolMargin, kSymbolMarginWidth);
    editor_->setMarginWidth(kNumberMargin, numbers);
    editor_->setMarginWidth(kArrowMargin, kArrowMarginWidth);
}

void ScriptEditor::applyGutterColors()
{
    const QColor gutter = working_ ? colours_.workingGutter : colours_.editGutter;
    editor_->setMarginsBackgroundColor(gutter);
    editor_->setFoldMarginColors(gutter, gutter);
    editor_->setMarginBackgroundColor(kSymbolMargin, gutter);
    editor_->setMarginBackgroundColor(kArrowMargin, gutter);
    // Fold boxes: white inside, grey lines.
    for (int m = int(QsciScintillaBase::SC_MARKNUM_FOLDEREND);
         m <= int(QsciScintillaBase::SC_MARKNUM_FOLDEROPEN); ++m) {
        editor_->setMarkerForegroundColor(colours_.foldBoxFill, m);
        editor_->setMarkerBackgroundColor(colours_.foldBoxLine, m);
    }
    editor_->setCaretLineVisible(working_);
    // Also while another widget has the focus: the active line shows where a
    // run stopped, an error box over the window included.
    editor_->SendScintilla(QsciScintillaBase::SCI_SETCARETLINEVISIBLEALWAYS, 1UL);
    editor_->setCaretLineBackgroundColor(colours_.activeLine);
}

void ScriptEditor::updateLineNumbers()
{
    const int count = editor_->lines();
    for (int l = 0; l < count; ++l)
        editor_->setMarginText(l, QString::number(l) + QLatin1Char(' '), QsciScintillaBase::STYLE_LINENUMBER);
}

// ---- Text -------------------------------------------------------------------

void ScriptEditor::setScriptText(const QStringList &lines)
{
    const QList<EditorMark> kept = marks();
    const bool readOnly = editor_->isReadOnly();
    editor_->setReadOnly(false);
    editor_->setText(lines.join(QLatin1Char('\n')));
    editor_->setReadOnly(readOnly);
    editor_->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    const int count = lineCount();
    QList<EditorMark> survivors;
    for (const EditorMark &m : kept)
        if (m.line <= count)
            survivors.append(m);
    clearMarks();
    for (const EditorMark &m : survivors)
        addMarker(m.line - 1, m.imageIndex);
    updateLineNumbers();
    editor_->setModified(false);
}

QStringList ScriptEditor::lines() const
{
    QStringList out;
    const int count = editor_->lines();
    out.reserve(count);
    for (int l = 0; l < count; ++l) {
        QString t = editor_->text(l);
        while (!t.isEmpty() && (t.endsWith(QLatin1Char('\n')) || t.endsWith(QLatin1Char('\r'))))
            t.chop(1);
        qsizetype end = t.size();
        while (end > 0 && (t.at(end - 1) == QLatin1Char(' ') || t.at(end - 1) == QLatin1Char('\t')))
            --end;
        t.truncate(end);
        out.append(t);
    }
    return out;
}

int ScriptEditor::lineCount() const
{
    return editor_->lines();
}
bool ScriptEditor::isModified() const
{
    return editor_->isModified();
}
void ScriptEditor::setModified(bool modified)
{
    editor_->setModified(modified);
}
void ScriptEditor::setReadOnly(bool readOnly)
{
    editor_->setReadOnly(readOnly);
}
bool ScriptEditor::isReadOnly() const
{
    return editor_->isReadOnly();
}
int ScriptEditor::topLine() const
{
    return editor_->firstVisibleLine();
}
void ScriptEditor::setTopLine(int line)
{
    editor_->setFirstVisibleLine(line);
}

int ScriptEditor::caretLine() const
{
    int line = 0, index = 0;
    editor_->getCursorPosition(&line, &index);
    return line;
}

int ScriptEditor::caretColumn() const
{
    int line = 0, index = 0;
    editor_->getCursorPosition(&line, &index);
    return index;
}

void ScriptEditor::setCaret(int line, int column)
{
    editor_->setCursorPosition(line, column);
}

// ---- Modes --------------------------------------------------------------------

void ScriptEditor::setWorkingMode(bool working)
{
    working_ = working;
    editor_->setReadOnly(working);
    applyGutterColors();
    actCut_->setEnabled(!working);
    actPaste_->setEnabled(!working);
    actDelete_->setEnabled(!working);
    if (working) {
        if (isCompletionActive())
            editor_->cancelList();
        PaintIndicatorStrip();
    }
}

// ---- Keys, indentation, popup ---------------------------------------------------

int ScriptEditor::physicalDigit(const QKeyEvent *e)
{
    // X11 and Wayland report evdev key codes: the digit row is 10 ("1") to
    // 19 ("0") whatever the layout makes of it.
    const QString platform = QGuiApplication::platformName();
    const quint32 code = e->nativeScanCode();
    if ((platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"))) && code >= 10 &&
        code <= 19)
        return static_cast<int>((code - 9) % 10);
    if (e->key() >= Qt::Key_0 && e->key() <= Qt::Key_9)
        return e->key() - Qt::Key_0;
    // Without key codes: the shifted digit row of the common layout.
    static const char shifted[] = ")!@#$%^&*(";
    for (int d = 0; d < 10; ++d)
        if (e->key() == shifted[d])
            return d;
    return -1;
}

bool ScriptEditor::handleKey(QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods =
        e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    const int digit = physicalDigit(e);
    if (digit >= 0 && mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
        toggleBookmark(digit);
        return true;
    }
    if (digit >= 0 && mods == Qt::ControlModifier && e->key() != Qt::Key_unknown) {
        gotoBookmark(digit);
        return true;
    }
    if (isCompletionActive()) {
        noteCompletionKey(e);
        return false;
    }
    if (e->key() == Qt::Key_Tab && mods == Qt::NoModifier) {
        IndentSelectedLines(false);
        return true;
    }
    if (e->key() == Qt::Key_Backtab || (e->key() == Qt::Key_Tab && mods == Qt::ShiftModifier)) {
        IndentSelectedLines(true);
        return true;
    }
    if (e->key() == Qt::Key_Space && mods == Qt::ControlModifier) {
        showCompletion();
        completionUntouched_ = false; // asked for: Enter chooses
        return true;
    }
    if (e->key() == Qt::Key_F1 && mods == Qt::ControlModifier)
        return true; // context help of the editor: nothing
    if (e->key() == Qt::Key_End && mods == Qt::NoModifier) {
        // End goes to the last non-blank character first, then to the end
        // of the line.
        int line = 0, index = 0;
        editor_->getCursorPosition(&line, &index);
        const QString text = editor_->text(line).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
        int lastNonBlank = static_cast<int>(text.size());
        while (lastNonBlank > 0 && text.at(lastNonBlank - 1).isSpace())
            --lastNonBlank;
        editor_->setCursorPosition(line,
                                   index == lastNonBlank ? static_cast<int>(text.size()) : lastNonBlank);
        return true;
    }
    return false;
}

void ScriptEditor::IndentSelectedLines(bool shift)
{
    if (editor_->isReadOnly())
        return;
    int lineFrom = 0, indexFrom = 0, lineTo = 0, indexTo = 0;
    if (editor_->hasSelectedText()) {
        editor_->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    } else {
        editor_->getCursorPosition(&lineFrom, &indexFrom);
        lineTo = lineFrom;
        indexTo = indexFrom;
    }
    const int first = lineFrom;
    const int last = indexTo == 0 ? lineTo - 1 : lineTo;
    editor_->beginUndoAction();
    for (int l = first; l <= last; ++l) {
        const long pos = editor_->positionFromLineIndex(l, 0);
        if (!shift) {
            editor_->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(pos), "  ");
        } else {
            const QString t = editor_->text(l);
            int k = 0;
            while (k < 2 && k < t.size() && t.at(k) == QLatin1Char(' '))
                ++k;
            if (k > 0)
                editor_->SendScintilla(QsciScintillaBase::SCI_DELETERANGE, static_cast<unsigned long>(pos),
                                       long(k));
        }
    }
    editor_->endUndoAction();
    const int count = lineCount();
    if (last + 1 < count) {
        editor_->setSelection(first, 0, last + 1, 0);
    } else {
        const int endLine = std::max(first, last);
        QString t = editor_->text(endLine);
        while (t.endsWith(QLatin1Char('\n')) || t.endsWith(QLatin1Char('\r')))
            t.chop(1);
        editor_->setSelection(first, 0, endLine, static_cast<int>(t.size()));
    }
    editor_->setFocus();
}

QString ScriptEditor::wordAt(int line, int column) const
{
    if (line < 0 || line >= lineCount())
        return {};
    QString t = editor_->text(line);
    while (t.endsWith(QLatin1Char('\n')) || t.endsWith(QLatin1Char('\r')))
        t.chop(1);
    if (column < 0 || column >= t.size() || !isHighlighterIdentChar(t.at(column)))
        return {};
    int start = column;
    while (start > 0 && isHighlighterIdentChar(t.at(start - 1)))
        --start;
    int end = column;
    while (end < t.size() && isHighlighterIdentChar(t.at(end)))
        ++end;
    return t.mid(start, end - start);
}

void ScriptEditor::rightClick(const QPoint &viewportPos, const QPoint &globalPos)
{
    const long pos = editor_->SendScintilla(QsciScintillaBase::SCI_CHARPOSITIONFROMPOINTCLOSE,
                                            static_cast<unsigned long>(std::max(0, viewportPos.x())),
                                            long(viewportPos.y()));
    QString word;
    bool insideSelection = false;
    if (pos >= 0) {
        int line = 0, index = 0;
        editor_->lineIndexFromPosition(static_cast<int>(pos), &line, &index);
        word = wordAt(line, index);
        if (editor_->hasSelectedText()) {
            const long s = editor_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
            const long e = editor_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
            insideSelection = pos >= s && pos <= e;
        }
    }
    if (insideSelection || word.isEmpty()) {
        popup_->popup(globalPos);
        return;
    }
    emit wordHelpRequested(word);
}

} // namespace tesmora
