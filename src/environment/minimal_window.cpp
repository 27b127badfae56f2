#include "minimal_window.h"

#include "platform/paths.h"

#include <Qsci/qsciscintilla.h>
#include <QFont>
#include <QLocale>
#include <QMessageBox>
#include <QStatusBar>

namespace tesmora {

MinimalWindow::MinimalWindow(QWidget *parent) : QMainWindow(parent), interp_(this)
{
    interp_.ProgramFolder = defaultProgramFolder();
    interp_.Language = QLocale::system().language() == QLocale::Russian ? 1 : 0;
    editor_ = new QsciScintilla(this);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(11);
    editor_->setFont(font);
    editor_->setMarginType(0, QsciScintilla::TextMarginRightJustified);
    editor_->setMarginWidth(0, QStringLiteral("00000"));
    setCentralWidget(editor_);
    statusBar()->showMessage(interp_.MessageText(8));
    resize(900, 600);
}

void MinimalWindow::loadScript(const QString &fileName)
{
    interp_.LoadScript(fileName);
    if (interp_.failed()) {
        showErrorBox(interp_.ErrorText);
        interp_.ErrorText.clear();
    }
    interp_.PrepareScript();
}

void MinimalWindow::setEditorText(const QStringList &lines)
{
    editor_->setText(lines.join(QLatin1Char('\n')));
    // Lines are numbered from 0, as in every message.
    for (int i = 0; i < lines.size(); ++i)
        editor_->setMarginText(i, QString::number(i), 0);
}

void MinimalWindow::setEditorReadOnly(bool readOnly) { editor_->setReadOnly(readOnly); }

void MinimalWindow::setCaption(const QString &caption) { setWindowTitle(caption); }

void MinimalWindow::showErrorBox(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QString(), text, QMessageBox::Ok, this);
    box.exec();
}

} // namespace tesmora
