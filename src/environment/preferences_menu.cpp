#include "preferences_menu.h"

#include <QActionGroup>

namespace tesmora {

PreferencesMenu::PreferencesMenu(QAction *fontAction, QWidget *parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("PopupActionBar_Preferences"));
    setToolTipsVisible(true);
    // The captions of tagged items are the catalogue's texts in the
    // interface language; these are the English ones until it is applied.
    mi_EditorKind = addMenu(QStringLiteral("Editor Kind"));
    mi_EditorKind->setObjectName(QStringLiteral("mi_EditorKind"));
    mi_EditorKind->setToolTipsVisible(true);
    mi_EditorKind->menuAction()->setProperty("tag", 262);
    mi_InternalEditor = item(mi_EditorKind, 264, QStringLiteral("Internal Editor"), "mi_InternalEditor");
    mi_ExternalEditor = item(mi_EditorKind, 265, QStringLiteral("External Editor"), "mi_ExternalEditor");
    mi_SpecifyEditor =
        item(mi_EditorKind, 266, QStringLiteral("Specify an external editor"), "mi_SpecifyEditor");
    mi_InternalEditor->setCheckable(true);
    mi_ExternalEditor->setCheckable(true);
    connect(mi_InternalEditor, &QAction::triggered, this,
            [this] { emit editorKindChosen(QStringLiteral("ekInternal")); });
    connect(mi_ExternalEditor, &QAction::triggered, this,
            [this] { emit editorKindChosen(QStringLiteral("ekExternal")); });
    connect(mi_SpecifyEditor, &QAction::triggered, this, &PreferencesMenu::specifyEditorRequested);

    mi_Language = addMenu(QStringLiteral("Interface Language"));
    mi_Language->setObjectName(QStringLiteral("mi_Language"));
    mi_Language->menuAction()->setProperty("tag", 261);
    // The language names stay as they are in both languages.
    mi_English = item(mi_Language, 0, QStringLiteral("English"), "mi_English");
    mi_Russian = item(mi_Language, 0, QString::fromUtf8("Русский"), "mi_Russian");
    auto *languages = new QActionGroup(this);
    for (QAction *a : {mi_English, mi_Russian}) {
        a->setCheckable(true);
        languages->addAction(a);
    }
    connect(mi_English, &QAction::triggered, this, [this] { emit languageChosen(0); });
    connect(mi_Russian, &QAction::triggered, this, [this] { emit languageChosen(1); });

    addAction(fontAction);
}

QAction *PreferencesMenu::item(QMenu *menu, int tag, const QString &text, const char *name)
{
    QAction *a = menu->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    if (tag > 0)
        a->setProperty("tag", tag);
    return a;
}

void PreferencesMenu::showEditorKind(bool internalEditor)
{
    mi_InternalEditor->setChecked(internalEditor);
    mi_ExternalEditor->setChecked(!internalEditor);
}

void PreferencesMenu::showLanguage(int language)
{
    mi_English->setChecked(language == 0);
    mi_Russian->setChecked(language == 1);
}

void PreferencesMenu::showExternalEditor(const QString &path)
{
    mi_SpecifyEditor->setToolTip(path);
}

} // namespace tesmora
