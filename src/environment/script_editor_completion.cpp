// The completion list of the script editor and the matching-bracket marks.
#include "script_editor.h"

#include "core/interpreter.h"
#include "library/function_tables.h"
#include "script_lexer.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QTimer>

#include <algorithm>

namespace tesmora {

void ScriptEditor::BuildCompletionList(const Interpreter &interp)
{
    QStringList variables;
    variables.reserve(interp.variables().size());
    for (const Tvariable &v : interp.variables())
        variables.append(v.VarName);
    BuildCompletionList(variables, interp.constantList());
}

void ScriptEditor::BuildCompletionList(const QStringList &variableNames, const QStringList &constantList)
{
    QStringList list;
    for (FunctionTable table :
         {FunctionTable::Embedded, FunctionTable::Graph, FunctionTable::Dialog, FunctionTable::JavaScript}) {
        for (const T_FunctionDescription &row : functionTable(table)) {
            const QString formula = row.formula();
            if (formula.isEmpty())
                continue;
            list.append(formula);
            const QString synonym = row.sinonim();
            if (!synonym.isEmpty()) {
                const qsizetype br = formula.indexOf(QLatin1Char('('));
                list.append(synonym + QLatin1Char('(') + (br < 0 ? formula : formula.mid(br + 1)));
            }
        }
    }
    for (const QString &name : variableNames)
        if (!name.isEmpty())
            list.append(name);
    // Constants are "NAME = value" lines.
    for (const QString &entry : constantList) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq > 0) {
            const QString name = entry.left(eq).trimmed();
            if (!name.isEmpty())
                list.append(name);
        }
    }
    for (const char *w : {"repeat", "break", "breakif", "continue", "continueif", "stop", "array", "function",
                          "Int", "float", "string", "else"})
        list.append(QString::fromLatin1(w));
    std::stable_sort(list.begin(), list.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    completion_ = list;
}

QString ScriptEditor::completionInsertText(const QString &entry)
{
    const qsizetype br = entry.indexOf(QLatin1Char('('));
    return br > 0 ? entry.left(br) : entry;
}

QStringList ScriptEditor::completionMatches(const QString &prefix) const
{
    QStringList out;
    for (const QString &e : completion_)
        if (e.startsWith(prefix, Qt::CaseInsensitive))
            out.append(e);
    return out;
}

QString ScriptEditor::completionPrefix() const
{
    int line = 0, index = 0;
    editor_->getCursorPosition(&line, &index);
    QString t = editor_->text(line);
    int start = std::min<int>(index, static_cast<int>(t.size()));
    const int end = start;
    while (start > 0 && isHighlighterIdentChar(t.at(start - 1)))
        --start;
    return t.mid(start, end - start);
}

bool ScriptEditor::isCompletionActive() const
{
    return editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE) != 0;
}

void ScriptEditor::showCompletion()
{
    if (editor_->isReadOnly())
        return;
    const QString prefix = completionPrefix();
    const QStringList matches = completionMatches(prefix);
    if (matches.isEmpty()) {
        if (isCompletionActive())
            editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCCANCEL);
        return;
    }
    const QByteArray items = matches.join(QLatin1Char('\n')).toUtf8();
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCSHOW,
                           static_cast<unsigned long>(prefix.toUtf8().size()), items.constData());
    fitCompletionList();
}

namespace {

constexpr int kCompletionRows = 15;
constexpr int kCompletionWidth = 300;

// The component's list widget while it is shown. A list it has let go may
// still wait, emptied, for its deletion; the newest one with entries is it.
QListWidget *shownListOf(QsciScintilla *editor)
{
    QListWidget *shown = nullptr;
    for (QListWidget *list : editor->findChildren<QListWidget *>())
        if (list->isVisible() && list->count() > 0)
            shown = list;
    return shown;
}

} // namespace

void ScriptEditor::fitCompletionList()
{
    QListWidget *list = shownListOf(editor_);
    if (!list)
        return;
    // Entries wider than the list end in an ellipsis instead of a scroll
    // bar, which would cover a single row; the whole text is its tool tip.
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideRight);
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setToolTip(list->item(i)->text());
    const int rows = std::min(list->count(), kCompletionRows);
    const int height = rows * list->sizeHintForRow(0) + 2 * list->frameWidth();
    // The component puts the list below the caret line, or above it when
    // there is no room below; the side it chose is kept.
    const long pos = editor_->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const int caretY =
        static_cast<int>(editor_->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, pos));
    const QPoint caretTop = editor_->viewport()->mapToGlobal(QPoint(0, caretY));
    const QRect old = list->geometry();
    const QPoint oldTop = list->isWindow() ? old.topLeft() : list->parentWidget()->mapToGlobal(old.topLeft());
    const bool above = oldTop.y() < caretTop.y();
    QRect fitted(old.topLeft(), QSize(kCompletionWidth, height));
    if (above)
        fitted.moveBottom(old.bottom());
    list->setGeometry(fitted);
}

void ScriptEditor::refilterCompletion()
{
    refilterPending_ = false;
    if (isCompletionActive())
        showCompletion();
}

bool ScriptEditor::fullStopOpensCompletion() const
{
    int line = 0, index = 0;
    editor_->getCursorPosition(&line, &index);
    QString text = editor_->text(line);
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    const int dot = index - 1;
    if (dot < 0 || dot >= text.size() || text.at(dot) != QLatin1Char('.'))
        return false;
    if (dot > 0 && text.at(dot - 1).isDigit())
        return false;
    for (const HighlightToken &t : lexer_->tokens(text.left(index)))
        if (dot >= t.start && dot < t.start + t.length)
            return t.kind == tkSymbol;
    return false;
}

void ScriptEditor::handleCharAdded(int ch)
{
    if (editor_->isReadOnly())
        return;
    if (ch == '.') {
        if (!fullStopOpensCompletion())
            return;
        // After a full stop where a name can follow the list opens by itself.
        QTimer::singleShot(0, this, [this] {
            if (editor_->isReadOnly() || isCompletionActive())
                return;
            showCompletion();
            completionUntouched_ = true;
        });
        return;
    }
    if (!isCompletionActive())
        return;
    if (ch < 0x80 && !isHighlighterIdentChar(QChar(ch)))
        editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCCANCEL);
    else
        completionUntouched_ = false;
}

void ScriptEditor::noteCompletionKey(const QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (completionUntouched_ && e->modifiers() == Qt::NoModifier) {
            // Only closed: the component then breaks the line.
            editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCCANCEL);
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        completionUntouched_ = false;
        break;
    default:
        break;
    }
}

void ScriptEditor::handleCompletionSelection(const char *selection, int position)
{
    // Only the name is inserted, not the parameter list of the entry.
    const QString name = completionInsertText(QString::fromUtf8(selection));
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCCANCEL);
    const long caret = editor_->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const QByteArray bytes = name.toUtf8();
    editor_->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, static_cast<unsigned long>(position));
    editor_->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, static_cast<unsigned long>(caret));
    editor_->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()),
                           bytes.constData());
    editor_->SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                           static_cast<unsigned long>(position + bytes.size()));
}

void ScriptEditor::updateBraceHighlight()
{
    auto clear = [this] { editor_->SendScintilla(QsciScintillaBase::SCI_BRACEHIGHLIGHT, -1UL, -1L); };
    if (editor_->hasSelectedText()) {
        clear();
        return;
    }
    auto isBracket = [](long c) {
        return c == '(' || c == ')' || c == '[' || c == ']' || c == '{' || c == '}';
    };
    const long pos = editor_->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long length = editor_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long at = pos < length ? editor_->SendScintilla(QsciScintillaBase::SCI_GETCHARAT, pos) : 0;
    const long before = pos > 0 ? editor_->SendScintilla(QsciScintillaBase::SCI_GETCHARAT, pos - 1) : 0;
    if (!isBracket(at) && !isBracket(before)) {
        clear();
        return;
    }
    const long p = isBracket(at) ? pos : pos - 1;
    // Brackets inside strings and comments do not count.
    const long style = editor_->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, p);
    if (style != ScriptLexer::styleForKind(tkSymbol)) {
        clear();
        return;
    }
    const long match =
        editor_->SendScintilla(QsciScintillaBase::SCI_BRACEMATCH, static_cast<unsigned long>(p), 0L);
    if (match >= 0)
        editor_->SendScintilla(QsciScintillaBase::SCI_BRACEHIGHLIGHT, static_cast<unsigned long>(p), match);
    else
        editor_->SendScintilla(QsciScintillaBase::SCI_BRACEBADLIGHT, static_cast<unsigned long>(p));
}

} // namespace tesmora
