// Find and replace in the script editor: the plain-text search and the two
// small dialogs that drive it.
#include "script_editor.h"

#include "script_lexer.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tesmora {

namespace {

// The dialogs' own texts in the interface language.
QString dialogText(const char *english, int language)
{
    static const QHash<QString, QString> russian = {
        {QStringLiteral("Replace"), QString::fromUtf8("Заменить")},
        {QStringLiteral("Find"), QString::fromUtf8("Найти")},
        {QStringLiteral("Find what:"), QString::fromUtf8("Что искать:")},
        {QStringLiteral("Replace with:"), QString::fromUtf8("Заменить на:")},
        {QStringLiteral("Match whole word only"), QString::fromUtf8("Только слово целиком")},
        {QStringLiteral("Match case"), QString::fromUtf8("С учётом регистра")},
        {QStringLiteral("Down"), QString::fromUtf8("Вниз")},
        {QStringLiteral("Up"), QString::fromUtf8("Вверх")},
        {QStringLiteral("Direction"), QString::fromUtf8("Направление")},
        {QStringLiteral("Find Next"), QString::fromUtf8("Найти далее")},
        {QStringLiteral("Replace All"), QString::fromUtf8("Заменить все")},
        {QStringLiteral("Cancel"), QString::fromUtf8("Отмена")},
    };
    const QString en = QString::fromLatin1(english);
    return language == 1 ? russian.value(en, en) : en;
}

} // namespace

// The find dialog (Find next, direction, whole word; always case-sensitive)
// or the replace dialog (Find next, Replace, Replace all, match case, whole
// word; always forward).
class ScriptFindDialog : public QDialog {
  public:
    ScriptFindDialog(ScriptEditor *editor, bool replace) : QDialog(editor), editor_(editor), replace_(replace)
    {
        setWindowTitle(replace ? dialogText("Replace", editor->language())
                               : dialogText("Find", editor->language()));
        setModal(false);
        auto *grid = new QGridLayout;
        findEdit_ = new QLineEdit;
        grid->addWidget(new QLabel(dialogText("Find what:", editor->language())), 0, 0);
        grid->addWidget(findEdit_, 0, 1);
        if (replace) {
            replaceEdit_ = new QLineEdit;
            grid->addWidget(new QLabel(dialogText("Replace with:", editor->language())), 1, 0);
            grid->addWidget(replaceEdit_, 1, 1);
        }
        wholeWord_ = new QCheckBox(dialogText("Match whole word only", editor->language()));
        matchCase_ = new QCheckBox(dialogText("Match case", editor->language()));
        matchCase_->setChecked(!replace);
        matchCase_->setVisible(replace);
        auto *options = new QVBoxLayout;
        options->addWidget(wholeWord_);
        options->addWidget(matchCase_);
        auto *lower = new QHBoxLayout;
        lower->addLayout(options);
        down_ = new QRadioButton(dialogText("Down", editor->language()), this);
        down_->setChecked(true);
        down_->setVisible(!replace);
        if (!replace) {
            auto *dir = new QGroupBox(dialogText("Direction", editor->language()));
            auto *up = new QRadioButton(dialogText("Up", editor->language()));
            auto *dl = new QHBoxLayout(dir);
            dl->addWidget(up);
            dl->addWidget(down_);
            lower->addWidget(dir);
        }
        auto *left = new QVBoxLayout;
        left->addLayout(grid);
        left->addLayout(lower);
        left->addStretch();

        auto *buttons = new QVBoxLayout;
        auto *findNext = new QPushButton(dialogText("Find Next", editor->language()));
        findNext->setDefault(true);
        connect(findNext, &QPushButton::clicked, this, [this] {
            editor_->findNext(findEdit_->text(), !replace_ ? down_->isChecked() : true,
                              matchCase_->isChecked(), wholeWord_->isChecked());
        });
        buttons->addWidget(findNext);
        if (replace) {
            auto *one = new QPushButton(dialogText("Replace", editor->language()));
            auto *all = new QPushButton(dialogText("Replace All", editor->language()));
            connect(one, &QPushButton::clicked, this, [this] {
                editor_->replaceNext(findEdit_->text(), replaceEdit_->text(), matchCase_->isChecked(),
                                     wholeWord_->isChecked());
            });
            connect(all, &QPushButton::clicked, this, [this] {
                editor_->replaceAll(findEdit_->text(), replaceEdit_->text(), matchCase_->isChecked(),
                                    wholeWord_->isChecked());
            });
            buttons->addWidget(one);
            buttons->addWidget(all);
        }
        auto *cancel = new QPushButton(dialogText("Cancel", editor->language()));
        connect(cancel, &QPushButton::clicked, this, &QDialog::close);
        buttons->addWidget(cancel);
        buttons->addStretch();

        auto *top = new QHBoxLayout(this);
        top->addLayout(left, 1);
        top->addLayout(buttons);
        setMinimumWidth(420);
    }

    void open(const QString &selected)
    {
        if (!selected.isEmpty())
            findEdit_->setText(selected);
        show();
        raise();
        activateWindow();
        findEdit_->setFocus();
        findEdit_->selectAll();
    }

  private:
    ScriptEditor *editor_;
    bool replace_;
    QLineEdit *findEdit_ = nullptr;
    QLineEdit *replaceEdit_ = nullptr;
    QCheckBox *wholeWord_ = nullptr;
    QCheckBox *matchCase_ = nullptr;
    QRadioButton *down_ = nullptr;
};

ScriptFindDialog *ScriptEditor::findDialog(bool replace)
{
    QPointer<ScriptFindDialog> &d = replace ? replaceDialog_ : findDialog_;
    if (!d)
        d = new ScriptFindDialog(this, replace);
    return d;
}

namespace {

// The selection, when it is short and on one line, becomes the search text.
QString selectedSearchText(const QsciScintilla *e)
{
    const QString s = e->selectedText();
    if (s.size() < 25 && !s.contains(QLatin1Char('\n')) && !s.contains(QLatin1Char('\r')))
        return s;
    return {};
}

} // namespace

void ScriptEditor::showFindDialog()
{
    findDialog(false)->open(selectedSearchText(editor_));
}

void ScriptEditor::showReplaceDialog()
{
    findDialog(true)->open(selectedSearchText(editor_));
}

bool ScriptEditor::searchFrom(const QString &text, long from, long to, bool matchCase, bool wholeWord)
{
    // The component folds only ASCII letters, so the search runs on the text
    // itself; positions go in and out as the component's byte offsets.
    const QString hay = editor_->text();
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    auto charOffset = [&](long bytes) {
        return static_cast<qsizetype>(
            QString::fromUtf8(editor_->bytes(0, static_cast<int>(bytes)).left(bytes)).size());
    };
    auto byteOffset = [&](qsizetype chars) {
        return static_cast<long>(QStringView(hay).left(chars).toUtf8().size());
    };
    auto wholeAt = [&](qsizetype i) {
        if (!wholeWord)
            return true;
        const bool before = i > 0 && isHighlighterIdentChar(hay.at(i - 1));
        const qsizetype e = i + text.size();
        const bool after = e < hay.size() && isHighlighterIdentChar(hay.at(e));
        return !before && !after;
    };
    const bool forward = to >= from;
    const qsizetype fromChar = charOffset(from);
    const qsizetype limit = charOffset(to);
    qsizetype i = -1;
    if (forward) {
        i = hay.indexOf(text, fromChar, cs);
        while (i >= 0 && !wholeAt(i))
            i = hay.indexOf(text, i + 1, cs);
        if (i >= 0 && i + text.size() > limit)
            i = -1;
    } else if (fromChar - text.size() >= limit) {
        i = hay.lastIndexOf(text, fromChar - text.size(), cs);
        while (i >= 0 && !wholeAt(i))
            i = i > 0 ? hay.lastIndexOf(text, i - 1, cs) : -1;
        if (i >= 0 && i < limit)
            i = -1;
    }
    if (i < 0)
        return false;
    const long start = byteOffset(i);
    const long end = start + static_cast<long>(hay.mid(i, text.size()).toUtf8().size());
    editor_->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, static_cast<unsigned long>(start));
    editor_->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, static_cast<unsigned long>(end));
    return true;
}

bool ScriptEditor::findNext(const QString &text, bool down, bool matchCase, bool wholeWord)
{
    if (text.isEmpty()) {
        QApplication::beep();
        return false;
    }
    const long selStart = editor_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long selEnd = editor_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
    const long length = editor_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const bool found = down ? searchFrom(text, selEnd, length, matchCase, wholeWord)
                            : searchFrom(text, selStart, 0, matchCase, wholeWord);
    if (!found) {
        QApplication::beep();
        return false;
    }
    const long s = editor_->SendScintilla(QsciScintillaBase::SCI_GETTARGETSTART);
    const long e = editor_->SendScintilla(QsciScintillaBase::SCI_GETTARGETEND);
    editor_->SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(s), e);
    editor_->SendScintilla(QsciScintillaBase::SCI_SCROLLCARET);
    return true;
}

bool ScriptEditor::replaceNext(const QString &text, const QString &replacement, bool matchCase,
                               bool wholeWord)
{
    if (text.isEmpty() || editor_->isReadOnly()) {
        QApplication::beep();
        return false;
    }
    const long selStart = editor_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long length = editor_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    if (!searchFrom(text, selStart, length, matchCase, wholeWord)) {
        QApplication::beep();
        return false;
    }
    const QByteArray bytes = replacement.toUtf8();
    const long start = editor_->SendScintilla(QsciScintillaBase::SCI_GETTARGETSTART);
    editor_->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()),
                           bytes.constData());
    editor_->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(start + bytes.size()));
    return true;
}

int ScriptEditor::replaceAll(const QString &text, const QString &replacement, bool matchCase, bool wholeWord)
{
    if (text.isEmpty() || editor_->isReadOnly()) {
        QApplication::beep();
        return 0;
    }
    const QByteArray bytes = replacement.toUtf8();
    int count = 0;
    long from = 0;
    editor_->beginUndoAction();
    for (;;) {
        const long length = editor_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        if (from > length || !searchFrom(text, from, length, matchCase, wholeWord))
            break;
        const long start = editor_->SendScintilla(QsciScintillaBase::SCI_GETTARGETSTART);
        editor_->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()),
                               bytes.constData());
        from = start + bytes.size();
        ++count;
    }
    editor_->endUndoAction();
    if (count == 0)
        QApplication::beep();
    else
        editor_->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(from));
    return count;
}

} // namespace tesmora
