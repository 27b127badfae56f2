// The help menu: tutorial items open topics, function items open their
// reference entry, and the category submenus list the catalogue rows in
// alphabetical order.
#include "help_menu.h"

#include "help_reference.h"
#include "help_topics.h"
#include "help_window.h"

#include "core/message_catalogue.h"

#include <QAction>
#include <QCursor>
#include <QInputDialog>
#include <QMenu>
#include <QWidget>

namespace tesmora {

namespace {

constexpr int kIntroductionTag = 247;
// Parameter lists longer than this are shortened in menu captions.
constexpr int kMenuParameterChars = 32;

// A formula as a menu caption: a long parameter list is cut after the last
// parameter that fits and ends in "…", so that a submenu stays narrower than
// the screen. The help window shows the formula whole.
QString menuFormula(const QString &formula)
{
    const qsizetype open = formula.indexOf(QLatin1Char('('));
    const qsizetype close = formula.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open || close - open - 1 <= kMenuParameterChars)
        return formula;
    const QString parameters = formula.mid(open + 1, close - open - 1);
    qsizetype cut = parameters.lastIndexOf(QLatin1Char(','), kMenuParameterChars);
    if (cut <= 0)
        cut = kMenuParameterChars;
    return formula.left(open + 1) + parameters.left(cut) + QChar(0x2026) + formula.mid(close);
}
const char *const kTagProperty = "tag";
const char *const kCategoryProperty = "category";

struct TutorialItem {
    const char *name;
    int tag;             // 0: the caption is the fixed text below
    const char *caption; // English caption of an untagged item
};

// The "Tutorial for Syntax" submenu; a null name is a separator.
constexpr TutorialItem kTutorialItems[] = {
    {"mi_Assignment_operator", 251, ""},
    {"mi_Data_types", 252, ""},
    {"mi_Operators", 253, ""},
    {"mi_Bitwise_operators", 254, ""},
    {"mi_For", 0, "For"},
    {"mi_Repeat", 0, "Repeat"},
    {"mi_Break", 0, "Break"},
    {"mi_BreakIf", 0, "BreakIf"},
    {"mi_Continue", 0, "Continue"},
    {"mi_ContinueIf", 0, "ContinueIf"},
    {"mi_If", 0, "If"},
    {"mi_Array", 0, "Array"},
    {"mi_Function", 0, "functions"},
    {"mi_Functions_Return_Values", 0, "Functions returning values"},
    {"mi_Include", 0, "Include"},
    {nullptr, 0, ""},
    {"mi_Extended_character_set", 257, ""},
    {"mi_Simbols_Degrees_And_Roots", 258, ""},
    {"mi_Line_continuation_character", 259, ""},
    {"mi_TRY_keyword", 260, ""},
};

struct CategoryItem {
    const char *name;
    int tag;
    fType category; // fNone: a submenu hidden at start-up that gets no items
};

constexpr CategoryItem kCategories[] = {
    {"mi_Math_functions", 231, fMath},         {"mi_String_functions", 232, fStr},
    {"mi_DateTime_functions", 233, fDateTime}, {"mi_Interactive_functions", 234, fDialog},
    {"mi_Graphics_functions", 235, fGraph},    {"mi_Array_functions", 236, fArr},
    {"mi_File_functions", 237, fFile},         {"mi_Net_functions", 245, fNone},
    {"mi_Regular_expressions", 238, fNone},    {"mi_OS_functions", 239, fNone},
    {"mi_DataBase_functions", 240, fNone},     {"mi_Matrix_functions", 241, fMatrix},
    {"mi_Brouser_functions", 242, fNone},      {"mi_Excel_functions", 243, fNone},
    {"mi_Arduino_functions", 246, fNone},      {"mi_Misc_functions", 244, fMisc},
};

const QString kItemSeparator = QStringLiteral("___");

} // namespace

HelpMenu::HelpMenu(QWidget *owner, HelpWindow *helpWindow, std::function<int()> language)
    : QObject(owner), owner_(owner), helpWindow_(helpWindow), language_(std::move(language))
{
    Menu_help = new QMenu(owner);
    Menu_help->setObjectName(QStringLiteral("Menu_help"));
    Menu_help->setToolTipsVisible(true);

    auto *tutorial = new QMenu(Menu_help);
    tutorial->setObjectName(QStringLiteral("mi_Tutorial_for_Syntax"));
    QAction *tutorialAction = Menu_help->addMenu(tutorial);
    tutorialAction->setObjectName(QStringLiteral("mi_Tutorial_for_Syntax"));
    tutorialAction->setProperty(kTagProperty, 250);
    for (const TutorialItem &t : kTutorialItems) {
        if (!t.name) {
            tutorial->addSeparator();
            continue;
        }
        addTopicItem(tutorial, QString::fromLatin1(t.name), t.tag, QString::fromLatin1(t.caption));
    }
    addTopicItem(Menu_help, QStringLiteral("mi_Editor_Tutorial"), 269);
    mi_Search = addItem(Menu_help, QStringLiteral("mi_Search_by_keywords"), 230);
    connect(mi_Search, &QAction::triggered, this, &HelpMenu::searchByKeywords);
    mi_Search->setShortcut(QKeySequence(Qt::Key_F1));
    mi_Search->setShortcutContext(Qt::WindowShortcut);
    Menu_help->addSeparator();
    for (const CategoryItem &c : kCategories)
        addCategory(QString::fromLatin1(c.name), c.tag, c.category, c.category == fNone);
    Menu_help->addSeparator();
    addTopicItem(Menu_help, QStringLiteral("mi_Launch_From_Command_Line"), 248);
    Menu_help->addSeparator();
    QAction *about = addItem(Menu_help, QStringLiteral("mi_About"), 255);
    connect(about, &QAction::triggered, this, [this] {
        if (onAbout)
            onAbout();
    });
    retranslate(language_ ? language_() : 0);
}

QAction *HelpMenu::addItem(QMenu *menu, const QString &name, int tag, const QString &caption)
{
    auto *a = new QAction(caption, menu);
    a->setObjectName(name);
    a->setProperty(kTagProperty, tag);
    menu->addAction(a);
    return a;
}

void HelpMenu::addTopicItem(QMenu *menu, const QString &name, int tag, const QString &caption)
{
    QAction *a = addItem(menu, name, tag, caption);
    connect(a, &QAction::triggered, this, [this, name] { showTopicItem(name); });
}

QMenu *HelpMenu::addCategory(const QString &name, int tag, fType category, bool hidden)
{
    auto *submenu = new QMenu(Menu_help);
    submenu->setObjectName(name);
    submenu->setToolTipsVisible(true);
    QAction *a = Menu_help->addMenu(submenu);
    a->setObjectName(name);
    a->setProperty(kTagProperty, tag);
    a->setProperty(kCategoryProperty, static_cast<int>(category));
    a->setVisible(!hidden);
    return submenu;
}

void HelpMenu::BuildFunctionReferenceMenus()
{
    if (built_)
        return; // once: a second start-up must not list every function twice
    built_ = true;
    startupLanguage_ = language_ ? language_() : 0;
    const QList<QAction *> items = Menu_help->actions();
    for (int i = 3; i < items.size(); ++i) {
        QMenu *submenu = items.at(i)->menu();
        if (!submenu)
            continue;
        for (FunctionTable t : {FunctionTable::Embedded, FunctionTable::Dialog, FunctionTable::Graph,
                                FunctionTable::JavaScript})
            AddCategoryFunctions(submenu, t);
    }
}

void HelpMenu::AddCategoryFunctions(QMenu *submenu, FunctionTable table)
{
    const fType category = static_cast<fType>(submenu->menuAction()->property(kCategoryProperty).toInt());
    if (category == fNone)
        return;
    const auto rows = functionTable(table);
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const T_FunctionDescription &d = rows[static_cast<size_t>(row)];
        if (!d.Types.contains(category) || d.formula().isEmpty())
            continue;
        QString caption = menuFormula(d.formula());
        if (!d.sinonim().isEmpty())
            caption +=
                QLatin1Char(' ') + catalogueText(86, startupLanguage_) + QLatin1Char(' ') + d.sinonim();
        const QString name = submenu->objectName() + kItemSeparator + d.name();
        auto *item = new QAction(caption, submenu);
        item->setObjectName(name);
        const QString hint = rowDescription(table, row, startupLanguage_);
        item->setToolTip(hint);
        item->setStatusTip(hint);
        if (caption.contains(QStringLiteral("Introduction")))
            item->setProperty(kTagProperty, kIntroductionTag);
        connect(item, &QAction::triggered, this, [this, name] { showFunctionItem(name); });

        // Alphabetical by caption, case folded; "Introduction" items stay
        // where they are.
        QAction *before = nullptr;
        const QString own = caption.toLower();
        for (QAction *existing : submenu->actions()) {
            if (existing->text().toLower().compare(own) > 0 &&
                !existing->text().contains(QStringLiteral("Introduction"))) {
                before = existing;
                break;
            }
        }
        submenu->insertAction(before, item);
    }
}

void HelpMenu::retranslate(int language)
{
    const QList<QAction *> all = Menu_help->findChildren<QAction *>();
    for (QAction *a : all) {
        const int tag = a->property(kTagProperty).toInt();
        if (tag <= 0)
            continue;
        const QString caption = catalogueText(tag, language);
        if (!caption.isEmpty())
            a->setText(caption);
    }
}

void HelpMenu::popupAtCursor()
{
    Menu_help->popup(QCursor::pos());
}

void HelpMenu::showTopicItem(const QString &itemName)
{
    const int row = TopicForMenuItem(itemName);
    if (row < 0 || !helpWindow_)
        return;
    const int language = language_ ? language_() : 0;
    helpWindow_->setWindowTitle(catalogueText(250, language));
    helpWindow_->setHelpText(helpTopic(row).text[language == 1 ? 1 : 0]);
    helpWindow_->ShowHelp();
}

void HelpMenu::showFunctionItem(const QString &itemName)
{
    const qsizetype at = itemName.indexOf(kItemSeparator);
    if (at < 0 || !helpWindow_)
        return;
    const QString text =
        FunctionItemText(itemName.mid(at + kItemSeparator.size()), language_ ? language_() : 0);
    if (text.isEmpty())
        return;
    helpWindow_->setHelpText(text);
    helpWindow_->ShowHelp();
}

void HelpMenu::searchByKeywords()
{
    if (!helpWindow_)
        return;
    const int language = language_ ? language_() : 0;
    QInputDialog box(owner_);
    box.setObjectName(QStringLiteral("InputBox_Keywords"));
    box.setWindowTitle(catalogueText(221, language));
    box.setLabelText(catalogueText(210, language));
    box.setTextValue(QString());
    if (box.exec() != QDialog::Accepted)
        return;
    const QString text = KeywordSearchText(box.textValue(), language);
    if (text.isEmpty())
        return;
    helpWindow_->setHelpText(text);
    helpWindow_->ShowHelp();
}

} // namespace tesmora
