// The About window and the symbol keyboard of the main window.
#include "main_window.h"

#include "about_window.h"
#include "platform/paths.h"
#include "script_editor.h"
#include "symbol_keyboard.h"

#include <QAction>
#include <QFileInfo>
#include <QScreen>

namespace tesmora {

void TForm_Interpretator::createSmallWindows(SymbolKeyboard *keyboard)
{
    about_ = new TAbout(this);
    connect(keyboard, &SymbolKeyboard::symbolChosen, this, [this](const QString &symbol) {
        insertSymbolAtCaret(SynEditor->SynEditor(), symbol);
        activateWindow();
        SynEditor->SynEditor()->setFocus();
    });
    connect(keyboard, &SymbolKeyboard::closeRequested, this, [this] {
        Panel_Additional_Keyboard->setVisible(false);
        action(333)->setEnabled(true);
    });
}

QString TForm_Interpretator::userGuidePath() const
{
    const QString name = QStringLiteral("guide/UserGuide.html");
    const QString inProgramFolder = programFolder() + name;
    if (QFileInfo::exists(inProgramFolder))
        return inProgramFolder;
    return bundledFilesFolder() + name;
}

void TForm_Interpretator::showAboutWindow()
{
    about_->setText(interp_.MessageText(8));
    about_->setGuide(userGuidePath());
    // Centred on the desktop.
    if (const QScreen *s = screen()) {
        QRect r = about_->frameGeometry();
        r.moveCenter(s->availableGeometry().center());
        about_->move(r.topLeft());
    }
    about_->exec();
}

} // namespace tesmora
