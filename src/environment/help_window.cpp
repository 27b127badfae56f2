// The help window: markup and description modes, the popup menu, the keys
// and the mouse tracking that closes the window when the pointer leaves it.
#include "help_window.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include "help_reference.h"
#include "dialog_windows.h"
#include "help_topics.h"
#include "variables_view.h"

#include "core/message_catalogue.h"
#include "platform/ini_file.h"
#include "graphics/colors.h"
#include "library/builtin_families.h"
#include "library/function_tables.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace tesmora {

namespace {

constexpr int kFontPixels = 19;
constexpr int kTrackingMs = 250;
constexpr int kLeaveMargin = 50;
constexpr int kDesignWidth = 535;
constexpr int kDesignHeight = 227;

QFont requestFont(const QString &family, QFont::StyleHint hint, bool bold, bool italic)
{
    QFont f(family);
    f.setStyleHint(hint);
    // Where the named face is missing and the match is not fixed-pitch, the
    // system's fixed font stands in.
    if (hint == QFont::Monospace && !QFontInfo(f).fixedPitch()) {
        const QFontMetrics m(f);
        if (m.horizontalAdvance(QStringLiteral("iiii")) != m.horizontalAdvance(QStringLiteral("MMMM")))
            f.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    }
    f.setPixelSize(kFontPixels);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QTextCharFormat formatOf(const QFont &font)
{
    QTextCharFormat f;
    f.setFont(font);
    f.setForeground(Qt::black);
    return f;
}

QFont baseFont()
{
    return requestFont(QStringLiteral("Arial Unicode MS"), QFont::SansSerif, false, false);
}
QFont monoFont(bool bold)
{
    return requestFont(QStringLiteral("Courier New"), QFont::Monospace, bold, false);
}

// Lines as a list of strings keeps them: CR LF, CR and LF each end a line; a
// line break at the very end adds no empty line.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << current;
            current.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        lines << current;
    return lines;
}

// "\r\n", "\r", "\n" and "~~eol~~" all become the control's line break.
QString withLineBreaks(QString s)
{
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    s.replace(QStringLiteral("~~eol~~"), QStringLiteral("\n"));
    return s;
}

} // namespace

HelpWindow::HelpWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm_help"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);

    const QColor skyBlue = colorFromScript(0xF0CAA6);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, skyBlue);
    setPalette(pal);
    setAutoFillBackground(true);

    RE = new QTextEdit(this);
    RE->setObjectName(QStringLiteral("RE"));
    RE->setReadOnly(true);
    RE->setAcceptRichText(false);
    RE->setFont(baseFont());
    RE->document()->setDefaultFont(baseFont());
    RE->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    RE->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RE->setLineWrapMode(QTextEdit::WidgetWidth);
    RE->setContextMenuPolicy(Qt::PreventContextMenu);
    QPalette rp = RE->palette();
    rp.setColor(QPalette::Base, skyBlue);
    rp.setColor(QPalette::Text, Qt::black);
    RE->setPalette(rp);
    RE->installEventFilter(this);
    RE->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RE);
    resize(kDesignWidth, kDesignHeight);

    PopupMenu_RE = new QMenu(this);
    PopupMenu_RE->setObjectName(QStringLiteral("PopupMenu_RE"));
    mi_Copy = PopupMenu_RE->addAction(QStringLiteral("Copy (Ctrl C)"));
    mi_Copy->setObjectName(QStringLiteral("mi_Copy"));
    mi_ShowUnprintable = PopupMenu_RE->addAction(QStringLiteral("Show unprintable characters"));
    mi_ShowUnprintable->setObjectName(QStringLiteral("mi_ShowUnprintable"));
    connect(mi_Copy, &QAction::triggered, this, &HelpWindow::CopySelection);
    connect(mi_ShowUnprintable, &QAction::triggered, this, &HelpWindow::ShowUnprintableCharacters);

    Timer1 = new QTimer(this);
    Timer1->setInterval(kTrackingMs);
    connect(Timer1, &QTimer::timeout, this, [this] { trackMouse(QCursor::pos()); });
    connect(this, &QDialog::finished, this, &HelpWindow::cleanUp);

    topicLookup_ = [](const QString &word, int language) {
        const int row = FindHelpTopic(word);
        if (row < 0)
            return Topic{};
        const HelpTopic &t = helpTopic(row);
        return Topic{t.name, t.text[language == 1 ? 1 : 0]};
    };
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::setHelpText(const QString &text)
{
    rawText_ = text;
    rawLines_ = splitLines(text);
    HelpText = rawLines_;
}

void HelpWindow::reportMessage(const QString &text)
{
    if (messageSink_) {
        messageSink_(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, untitledWindowTitle(language_), text, QMessageBox::Ok,
                    parentWidget());
    box.exec();
}

void HelpWindow::setPlacementSource(QWidget *mainWindow, QWidget *leftPanel)
{
    mainWindow_ = mainWindow;
    leftPanel_ = leftPanel;
}

void HelpWindow::hideUnprintableItem()
{
    unprintableHidden_ = true;
    mi_ShowUnprintable->setVisible(false);
}

bool HelpWindow::unprintableItemVisible() const
{
    return !unprintableHidden_ && mi_ShowUnprintable->isVisible();
}

// ---- Showing -------------------------------------------------------------------

QRect keptInside(QRect frame, const QRect &area)
{
    frame.setWidth(std::min(frame.width(), area.width()));
    frame.setHeight(std::min(frame.height(), area.height()));
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() + 1 - frame.height()));
    return frame;
}

int HelpWindow::tutorialClientWidth() const
{
    // Prose wraps; the box-drawn tables and the examples (the fixed font of
    // "<fnt4>") do not, so the widest of their lines sets the width.
    const QFontMetrics fixed(monoFont(true));
    int widest = 0;
    for (int row = 0; row < kHelpTopicRows; ++row) {
        for (const QString &text : helpTopic(row).text) {
            const QStringList runs = text.split(QStringLiteral("<fnt"));
            for (const QString &run : runs) {
                const bool fixedRun = run.startsWith(QLatin1Char('4'));
                for (const QString &line : withLineBreaks(run.mid(2)).split(QLatin1Char('\n'))) {
                    if (fixedRun || line.contains(QChar(0x2500)) || line.contains(QChar(0x2502)))
                        widest = std::max(widest, fixed.horizontalAdvance(line));
                }
            }
        }
    }
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, RE);
    const int margins =
        2 * (RE->frameWidth() + static_cast<int>(RE->document()->documentMargin())) + scrollBar + 4;
    return std::max(kDesignWidth, widest + margins);
}

void HelpWindow::loadBounds(const IniFile &ini)
{
    const QString section = QStringLiteral("FormHelp");
    const int width = ini.intValue(section, QStringLiteral("Width"), 0);
    const int height = ini.intValue(section, QStringLiteral("Height"), 0);
    rememberedBounds_ = width > 0 && height > 0
                            ? QRect(ini.intValue(section, QStringLiteral("Left"), 0),
                                    ini.intValue(section, QStringLiteral("Top"), 0), width, height)
                            : QRect();
}

void HelpWindow::saveBounds(IniFile &ini) const
{
    if (!placed_)
        return;
    const QString section = QStringLiteral("FormHelp");
    ini.setValue(section, QStringLiteral("Left"), x());
    ini.setValue(section, QStringLiteral("Top"), y());
    ini.setValue(section, QStringLiteral("Width"), width());
    ini.setValue(section, QStringLiteral("Height"), height());
}

void HelpWindow::placeOnFirstShow()
{
    if (placed_)
        return;
    placed_ = true;
    QWidget *main = mainWindow_ ? mainWindow_.data() : (parentWidget() ? parentWidget()->window() : nullptr);
    const QScreen *screen = main && main->screen() ? main->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    winId(); // the native window knows its frame
    // Before the window manager has framed the window its frame is unknown:
    // room is kept for a title bar and borders.
    QMargins frame(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                   frameGeometry().right() - geometry().right(),
                   frameGeometry().bottom() - geometry().bottom());
    if (frame.isNull())
        frame = QMargins(4, 30, 4, 4);
    QRect wanted = rememberedBounds_;
    if (!wanted.isValid()) {
        const QRect mainFrame = main ? main->frameGeometry() : area;
        const int left = mainFrame.left() + (main && leftPanel_ ? leftPanel_->width() : 0);
        wanted = QRect(left, mainFrame.top() + 10, tutorialClientWidth(),
                       std::max(kDesignHeight, area.height() * 3 / 5));
    }
    const QRect placed = keptInside(QRect(wanted.topLeft(), wanted.size().grownBy(frame)), area);
    resize(placed.size().shrunkBy(frame));
    move(placed.topLeft());
}

bool HelpWindow::prepareDisplay()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    placeOnFirstShow();
    RE->clear();
    windowText_.clear();
    if (HelpText.isEmpty()) {
        QApplication::restoreOverrideCursor();
        return false;
    }
    const bool asWritten = HelpText == rawLines_;
    const QString whole = asWritten ? rawText_ : HelpText.join(QStringLiteral("\r\n"));
    markupMode_ = whole.contains(QStringLiteral("<fnt1>"));
    if (markupMode_)
        showMarkup(whole);
    else
        showDescription();
    RE->moveCursor(QTextCursor::Start);
    RE->ensureCursorVisible();
    QApplication::restoreOverrideCursor();
    Timer1->start();
    mouseEntered_ = false;
    return true;
}

void HelpWindow::ShowHelp()
{
    if (!prepareDisplay())
        return;
    emit opened();
    exec();
}

void HelpWindow::showMarkup(const QString &whole)
{
    // Runs between "<fntN>" tags; the tag (six characters) goes, its digit
    // chooses the run's font.
    QTextCursor c(RE->document());
    const QString tag = QStringLiteral("<fnt");
    qsizetype pos = whole.indexOf(tag);
    QString shown;
    auto put = [&](const QString &run, const QTextCharFormat &format) {
        const QString text = withLineBreaks(run);
        c.insertText(text, format);
        shown += run;
    };
    const QTextCharFormat plain = formatOf(baseFont());
    put(pos < 0 ? whole : whole.left(pos), plain);
    while (pos >= 0) {
        const QChar digit = pos + 4 < whole.size() ? whole.at(pos + 4) : QChar();
        const qsizetype start = std::min(pos + 6, whole.size());
        const qsizetype next = whole.indexOf(tag, start);
        const QString run = whole.mid(start, next < 0 ? -1 : next - start);
        QTextCharFormat format = plain;
        switch (digit.unicode()) {
        case u'1':
        case u'3':
            format = formatOf(requestFont(QStringLiteral("Arial Unicode MS"), QFont::SansSerif, true, false));
            break;
        case u'2':
            format = formatOf(requestFont(QStringLiteral("Arial Unicode MS"), QFont::SansSerif, false, true));
            break;
        case u'4':
            format = formatOf(monoFont(true));
            break;
        default:
            break;
        }
        put(run, format);
        pos = next;
    }
    shown.replace(QStringLiteral("~~eol~~"), QStringLiteral("\r\n"));
    windowText_ = shown;
}

void HelpWindow::showDescription()
{
    const QStringList &lines = HelpText;
    setWindowTitle(lines.first());
    // The window's text as written: everything after the first line.
    if (HelpText == rawLines_) {
        const qsizetype cr = rawText_.indexOf(QLatin1Char('\r'));
        const qsizetype lf = rawText_.indexOf(QLatin1Char('\n'));
        qsizetype br = cr < 0 ? lf : (lf < 0 ? cr : std::min(cr, lf));
        if (br >= 0 && rawText_.at(br) == QLatin1Char('\r') && br + 1 < rawText_.size() &&
            rawText_.at(br + 1) == QLatin1Char('\n'))
            ++br;
        windowText_ = br < 0 ? QString() : rawText_.mid(br + 1);
    } else {
        windowText_ = lines.mid(1).join(QStringLiteral("\r\n"));
    }

    const QTextCharFormat heading =
        formatOf(requestFont(QStringLiteral("Arial"), QFont::SansSerif, true, false));
    const QTextCharFormat description =
        formatOf(requestFont(QStringLiteral("Arial Unicode MS"), QFont::SansSerif, false, true));
    QFont boxFont = monoFont(false);
    boxFont.setItalic(true);
    const QTextCharFormat table = formatOf(boxFont);
    const QTextCharFormat example = formatOf(monoFont(true));
    const QString exampleWord = upperAZ(catalogueText(87, language_));
    const QString separator = QStringLiteral("---------------");

    QTextCursor c(RE->document());
    bool first = true;
    auto add = [&](const QString &text, const QTextCharFormat &format) {
        if (!first)
            c.insertBlock(QTextBlockFormat(), format);
        first = false;
        c.setCharFormat(format);
        c.insertText(text, format);
    };
    int state = 0;
    for (int i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        switch (state) {
        case 0:
            add(line, heading);
            add(QString(), heading);
            state = 1;
            break;
        case 1:
            add(line, line.contains(QChar(0x2500)) || line.contains(QChar(0x2502)) ? table : description);
            break;
        default:
            add(line, example);
            break;
        }
        if (!exampleWord.isEmpty() && upperAZ(line).contains(exampleWord)) {
            add(QString(), example);
            state = 2;
        }
        if (line.contains(separator)) {
            add(QString(), description);
            state = 0;
        }
    }
}

void HelpWindow::cleanUp()
{
    HelpText.clear();
    rawText_.clear();
    rawLines_.clear();
    windowText_.clear();
    RE->clear();
    Timer1->stop();
}

// ---- Keys, menu and mouse ---------------------------------------------------------

void HelpWindow::CopySelection()
{
    QTextCursor c = RE->textCursor();
    if (!c.hasSelection())
        return;
    const QString text = c.selection().toPlainText();
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
    c.setPosition(c.selectionStart());
    RE->setTextCursor(c);
}

QString HelpWindow::UnprintableText(const QString &text)
{
    QString out;
    bool inCodes = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        const bool code = u < 32;
        if (i > 0 && code != inCodes)
            out += QLatin1Char('\'');
        inCodes = code;
        if (code)
            out += QStringLiteral("#$") + QString::number(u, 16).toUpper();
        else
            out += text.at(i);
    }
    return out;
}

void HelpWindow::ShowUnprintableCharacters()
{
    const qsizetype first = windowText_.indexOf(QLatin1Char('\''));
    const qsizetype last = windowText_.lastIndexOf(QLatin1Char('\''));
    const QString inner =
        first >= 0 && last > first ? windowText_.mid(first + 1, last - first - 1) : QString();
    windowText_ = UnprintableText(inner);
    RE->clear();
    QTextCursor c(RE->document());
    c.insertText(windowText_, formatOf(baseFont()));
    RE->moveCursor(QTextCursor::Start);
}

void HelpWindow::trackMouse(const QPoint &globalPos)
{
    if (!isVisible())
        return;
    const QRect r = frameGeometry();
    if (!mouseEntered_) {
        mouseEntered_ = r.contains(globalPos);
        return;
    }
    if (globalPos.x() < r.left() - kLeaveMargin || globalPos.x() > r.right() + kLeaveMargin ||
        globalPos.y() < r.top() - kLeaveMargin || globalPos.y() > r.bottom() + kLeaveMargin)
        reject();
}

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == RE && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
        const bool ctrlC = key->key() == Qt::Key_C && (key->modifiers() & Qt::ControlModifier);
        const bool shiftInsert = key->key() == Qt::Key_Insert && (key->modifiers() & Qt::ShiftModifier);
        if ((ctrlC || shiftInsert) && RE->textCursor().hasSelection()) {
            CopySelection();
            return true;
        }
    }
    if (watched == RE->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            PopupMenu_RE->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- Word help -------------------------------------------------------------------

QString HelpWindow::WordHelpText(const QString &word, const Interpreter &in) const
{
    const QString w = word.trimmed();
    if (w.isEmpty())
        return {};
    const int language = in.language();
    QString text;
    // Later sources replace the text of earlier ones.
    struct Source {
        FunctionTable table;
        int kindMessage;
    };
    static const Source sources[] = {{FunctionTable::Embedded, 32},
                                     {FunctionTable::Graph, 33},
                                     {FunctionTable::Dialog, 43},
                                     {FunctionTable::JavaScript, 35}};
    for (const Source &s : sources) {
        const int row = catalogueRow(FindCatalogueFunction(s.table, w));
        if (row < 0)
            continue;
        const T_FunctionDescription &d = functionTable(s.table)[static_cast<size_t>(row)];
        const QString description = rowDescription(s.table, row, language);
        text = catalogueText(s.kindMessage, language) + QLatin1Char('\r') + d.formula() + QLatin1Char('\r');
        if (!d.sinonim().isEmpty())
            text += catalogueText(86, language) + d.sinonim() + QStringLiteral(".\r");
        text += description;
    }
    for (int i = 0; i < in.scriptFunctionNames().size() && i < in.scriptFunctionHeaders().size(); ++i) {
        if (in.scriptFunctionNames().at(i).compare(w, Qt::CaseInsensitive) == 0) {
            text = catalogueText(36, language) + QLatin1Char('\r') + in.scriptFunctionHeaders().at(i);
            break;
        }
    }
    const ConstantInfo constant = in.Constant_Lookup(w);
    if (constant.line >= 0)
        text = catalogueText(37, language) + QLatin1Char('\r') + constant.name + QStringLiteral(" = ") +
               constant.value;
    if (topicLookup_) {
        const Topic topic = topicLookup_(w, language);
        if (!topic.name.isEmpty())
            text = QStringLiteral("<fnt1>") + topic.name + QStringLiteral("\r\r") + topic.text;
    }
    return text;
}

void HelpWindow::ShowWordHelp(const QString &word, const Interpreter &in)
{
    language_ = in.language();
    const QString text = WordHelpText(word, in);
    if (!text.isEmpty()) {
        setHelpText(text);
        ShowHelp();
        return;
    }
    const QString w = word.trimmed();
    if (w.isEmpty())
        return;
    auto report = [this](const QString &t) { reportMessage(t); };
    if (in.FindVariable(w) >= 0)
        ShowVariableDetails(w, in, *this, report);
    else if (in.FindArray(w) > 0)
        ShowVariableDetails(w + QStringLiteral("[]"), in, *this, report);
}

} // namespace tesmora
