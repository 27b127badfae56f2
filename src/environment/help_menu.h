// The help menu (Menu_help): the syntax tutorial, the editor tutorial, the
// keyword search, the function reference by category, the command-line
// topic and About.
#pragma once

#include "library/function_tables.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace tesmora {

class HelpWindow;

class HelpMenu : public QObject {
    Q_OBJECT
  public:
    // `language` tells the interface language whenever an item is used.
    HelpMenu(QWidget *owner, HelpWindow *helpWindow, std::function<int()> language);

    QMenu *menu() const { return Menu_help; }
    // "Search by keywords": also bound to F1 of the owner window.
    QAction *searchAction() const { return mi_Search; }

    // Fills the category submenus from the four function tables, in the
    // start-up language (the items' hints); later calls do nothing.
    void BuildFunctionReferenceMenus();
    // Adds the rows of one table that belong to the submenu's category.
    void AddCategoryFunctions(QMenu *submenu, FunctionTable table);

    // Captions of tagged items (and of function items with tag 247) in the
    // interface language.
    void retranslate(int language);

    // Opens the menu at the mouse pointer.
    void popupAtCursor();

    // The item handlers, as the menu runs them.
    void showTopicItem(const QString &itemName);
    void showFunctionItem(const QString &itemName);
    void searchByKeywords();

    // Called for "About Tesmora".
    std::function<void()> onAbout;

  private:
    QAction *addItem(QMenu *menu, const QString &name, int tag, const QString &caption = {});
    void addTopicItem(QMenu *menu, const QString &name, int tag, const QString &caption = {});
    QMenu *addCategory(const QString &name, int tag, fType category, bool hidden);

    QMenu *Menu_help = nullptr;
    QAction *mi_Search = nullptr;
    QPointer<QWidget> owner_;
    QPointer<HelpWindow> helpWindow_;
    std::function<int()> language_;
    int startupLanguage_ = 0;
    bool built_ = false;
};

} // namespace tesmora
