// The symbol keyboard under the editor: Greek letters, powers, roots and
// subscript digits that ordinary keyboards lack, and a close button.
#pragma once

#include <QWidget>

class QToolButton;

namespace tesmora {

class SymbolKeyboard : public QWidget {
    Q_OBJECT
  public:
    explicit SymbolKeyboard(QWidget *parent = nullptr);

    // The characters of the buttons, in their order.
    static QStringList symbols();
    QList<QToolButton *> symbolButtons() const { return buttons_; }
    QToolButton *closeButton() const { return close_; }

  signals:
    void symbolChosen(const QString &symbol);
    void closeRequested();

  private:
    QList<QToolButton *> buttons_;
    QToolButton *close_ = nullptr;
};

} // namespace tesmora

class QsciScintilla;

namespace tesmora {

// Inserts `symbol` where a keyboard button puts it: at the caret, or at the
// start of the selection, which stays in the text but is no longer selected.
void insertSymbolAtCaret(QsciScintilla *editor, const QString &symbol);

} // namespace tesmora
