// The preferences menu the Settings action pops up: the editor kind, the
// interface language and the editor font.
#pragma once

#include <QMenu>

class QActionGroup;

namespace tesmora {

class PreferencesMenu : public QMenu {
    Q_OBJECT
  public:
    PreferencesMenu(QAction *fontAction, QWidget *parent);

    // Checks the items that show the current choices.
    void showEditorKind(bool internalEditor);
    void showLanguage(int language);
    // The hint of "Specify an external editor": the editor's path.
    void showExternalEditor(const QString &path);

    QMenu *mi_EditorKind = nullptr;
    QAction *mi_InternalEditor = nullptr;
    QAction *mi_ExternalEditor = nullptr;
    QAction *mi_SpecifyEditor = nullptr;
    QMenu *mi_Language = nullptr;
    QAction *mi_English = nullptr;
    QAction *mi_Russian = nullptr;

  signals:
    void editorKindChosen(const QString &kind);
    void specifyEditorRequested();
    void languageChosen(int language);

  private:
    QAction *item(QMenu *menu, int tag, const QString &text, const char *name);
};

} // namespace tesmora
