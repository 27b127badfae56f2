#include "symbol_keyboard.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace tesmora {

namespace {

// Greek small (25) and capital (4) letters, powers (2), roots (3) and
// subscript digits (10).
const char16_t kSymbols[] = u"αβγδεζηθικλμνξοπρςστυφχψωΛΔΣΩ²³√∛∜₀₁₂₃₄₅₆₇₈₉";

// The cube and fourth roots and the subscript digits need a wider button.
int buttonWidth(const QString &symbol)
{
    const char16_t c = symbol.at(0).unicode();
    return (c == u'∛' || c == u'∜' || (c >= u'₀' && c <= u'₉')) ? 24 : 21;
}

} // namespace

QStringList SymbolKeyboard::symbols()
{
    QStringList list;
    for (const QChar c : QString::fromUtf16(kSymbols))
        list << QString(c);
    return list;
}

SymbolKeyboard::SymbolKeyboard(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Panel_Additional_Keyboard"));
    setFixedHeight(38);
    QFont f(QStringLiteral("Tahoma"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(19);
    setFont(f);
    // The symbols sit in a row that is cut off at the right in a narrow
    // window, so the close button always stays in view.
    auto *row = new QWidget(this);
    row->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(0);
    for (const QString &s : symbols()) {
        auto *b = new QToolButton(row);
        b->setText(s);
        b->setFixedSize(buttonWidth(s), 32);
        // The editor keeps the focus: the caret stays where the symbol goes.
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, s] { emit symbolChosen(s); });
        rowLayout->addWidget(b);
        buttons_ << b;
    }
    rowLayout->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(row, 1);
    close_ = new QToolButton(this);
    close_->setObjectName(QStringLiteral("Button_Close_Keyboard"));
    close_->setText(QString::fromUtf8("✕"));
    close_->setFixedSize(24, 32);
    close_->setFocusPolicy(Qt::NoFocus);
    connect(close_, &QToolButton::clicked, this, &SymbolKeyboard::closeRequested);
    layout->addWidget(close_);
}

} // namespace tesmora

#include <Qsci/qsciscintilla.h>

namespace tesmora {

void insertSymbolAtCaret(QsciScintilla *editor, const QString &symbol)
{
    int lineFrom = -1, indexFrom = -1, lineTo = -1, indexTo = -1;
    editor->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    if (lineFrom >= 0)
        editor->setCursorPosition(lineFrom, indexFrom); // selection length 0, at its start
    editor->replaceSelectedText(symbol);
}

} // namespace tesmora
