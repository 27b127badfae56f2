// The help menu, the function reference, the keyword search and the
// tutorial topics, driven offscreen through the main window.
#include "desktop.h"
#include "environment/help_menu.h"
#include "environment/help_reference.h"
#include "environment/help_topics.h"
#include "environment/help_window.h"
#include "environment/main_window.h"
#include "environment/script_editor.h"

#include "core/message_catalogue.h"
#include "library/function_tables.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

using namespace tesmora;

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

// What one opening of the help window showed.
struct Opening {
    QString title;
    QString text;
    bool markup = false;
};

// Records every opening of the help window and closes it from inside its
// modal loop.
struct HelpProbe {
    HelpWindow &help;
    QList<Opening> openings;

    explicit HelpProbe(HelpWindow &h) : help(h)
    {
        QObject::connect(&help, &HelpWindow::opened, &help, [this] {
            openings << Opening{help.windowTitle(), help.RE->toPlainText(), help.markupMode()};
            QTimer::singleShot(0, &help, [this] { help.reject(); });
        });
    }
};

// A main window over a fresh program folder with a small script.
struct Window {
    QTemporaryDir home;
    test::Desktop desktop;
    std::unique_ptr<TForm_Interpretator> w;

    explicit Window(int language = 0)
    {
        QDir(home.path()).mkpath("Scripts");
        QFile f(home.filePath("Scripts/test.txt"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("total = 10\nfor i = 1, 2\n  total = total + i\nstop\nfunction Twice(_x)\n  return _x * 2\n");
        f.close();
        qputenv("TESMORA_HOME", home.path().toUtf8());
        w = std::make_unique<TForm_Interpretator>(QStringList{"test.txt"}, desktop.adapters());
        w->reportError = [](const QString &) {};
        w->StartUp();
        if (language != w->interpreter().language())
            w->setLanguage(language);
    }
    ~Window() { qunsetenv("TESMORA_HOME"); }
    QMenu *menu() { return w->helpMenu()->menu(); }
    QMenu *submenu(const char *name) { return menu()->findChild<QMenu *>(QString::fromLatin1(name)); }
    QAction *item(const QString &name) { return menu()->findChild<QAction *>(name); }
};

// The object names of a menu's entries, "-" for a separator.
QStringList entryNames(const QMenu *m)
{
    QStringList out;
    for (const QAction *a : m->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    return out;
}

// Answers the next modal input box with `text` (empty: cancel). The timer
// waits for the box to appear and gives up after a few hundred tries.
void answerInputBox(const QString &text, bool *asked, QString *caption, QString *prompt)
{
    auto *timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!box) {
            if (++*tries > 500)
                timer->deleteLater();
            return;
        }
        timer->deleteLater();
        *asked = true;
        *caption = box->windowTitle();
        *prompt = box->labelText();
        box->findChild<QLineEdit *>()->setText(text);
        if (text.isEmpty())
            box->reject();
        else
            box->accept();
    });
    timer->start(1);
}

} // namespace

TEST(HelpMenu, OrderTagsAndHiddenCategories)
{
    Window t;
    EXPECT_EQ(entryNames(t.menu()), (QStringList{"mi_Tutorial_for_Syntax",
                                                 "mi_Editor_Tutorial",
                                                 "mi_Search_by_keywords",
                                                 "-",
                                                 "mi_Math_functions",
                                                 "mi_String_functions",
                                                 "mi_DateTime_functions",
                                                 "mi_Interactive_functions",
                                                 "mi_Graphics_functions",
                                                 "mi_Array_functions",
                                                 "mi_File_functions",
                                                 "mi_Net_functions",
                                                 "mi_Regular_expressions",
                                                 "mi_OS_functions",
                                                 "mi_DataBase_functions",
                                                 "mi_Matrix_functions",
                                                 "mi_Brouser_functions",
                                                 "mi_Excel_functions",
                                                 "mi_Arduino_functions",
                                                 "mi_Misc_functions",
                                                 "-",
                                                 "mi_Launch_From_Command_Line",
                                                 "-",
                                                 "mi_About"}));
    EXPECT_EQ(entryNames(t.submenu("mi_Tutorial_for_Syntax")), (QStringList{"mi_Assignment_operator",
                                                                            "mi_Data_types",
                                                                            "mi_Operators",
                                                                            "mi_Bitwise_operators",
                                                                            "mi_For",
                                                                            "mi_Repeat",
                                                                            "mi_Break",
                                                                            "mi_BreakIf",
                                                                            "mi_Continue",
                                                                            "mi_ContinueIf",
                                                                            "mi_If",
                                                                            "mi_Array",
                                                                            "mi_Function",
                                                                            "mi_Functions_Return_Values",
                                                                            "mi_Include",
                                                                            "-",
                                                                            "mi_Extended_character_set",
                                                                            "mi_Simbols_Degrees_And_Roots",
                                                                            "mi_Line_continuation_character",
                                                                            "mi_TRY_keyword"}));
    // Captions from the catalogue by tag; untagged tutorial items keep theirs.
    const QList<QAction *> top = t.menu()->actions();
    EXPECT_EQ(top.at(0)->text(), catalogueText(250, 0));
    EXPECT_EQ(top.at(1)->text(), catalogueText(269, 0));
    EXPECT_EQ(top.at(2)->text(), "Search by keywords");
    EXPECT_EQ(top.at(2)->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(top.at(4)->text(), "Mathematical functions");
    EXPECT_EQ(t.item("mi_Function")->text(), "functions");
    EXPECT_EQ(t.item("mi_About")->text(), "About Tesmora");
    // Built once: a second start-up adds nothing.
    const auto mathItems = t.submenu("mi_Math_functions")->actions().size();
    t.w->helpMenu()->BuildFunctionReferenceMenus();
    EXPECT_EQ(t.submenu("mi_Math_functions")->actions().size(), mathItems);
    // Seven categories are hidden and empty; the nine others have items.
    for (const char *name :
         {"mi_Net_functions", "mi_Regular_expressions", "mi_OS_functions", "mi_DataBase_functions",
          "mi_Brouser_functions", "mi_Excel_functions", "mi_Arduino_functions"}) {
        EXPECT_FALSE(t.submenu(name)->menuAction()->isVisible()) << name;
        EXPECT_TRUE(t.submenu(name)->actions().isEmpty()) << name;
    }
    for (const char *name : {"mi_Math_functions", "mi_String_functions", "mi_DateTime_functions",
                             "mi_Interactive_functions", "mi_Graphics_functions", "mi_Array_functions",
                             "mi_File_functions", "mi_Matrix_functions", "mi_Misc_functions"}) {
        EXPECT_TRUE(t.submenu(name)->menuAction()->isVisible()) << name;
        EXPECT_FALSE(t.submenu(name)->actions().isEmpty()) << name;
    }

    // Russian: the tagged captions follow the language, the untagged stay.
    t.w->setLanguage(1);
    EXPECT_EQ(top.at(0)->text(), catalogueText(250, 1));
    EXPECT_EQ(top.at(2)->text(), catalogueText(230, 1));
    EXPECT_EQ(t.item("mi_Data_types")->text(), catalogueText(252, 1));
    EXPECT_EQ(t.item("mi_For")->text(), "For");
}

TEST(HelpMenu, FunctionItemsSortedCaptionsHintsAndInsertionRule)
{
    Window t;
    for (QMenu *sub : t.menu()->findChildren<QMenu *>()) {
        const QList<QAction *> items = sub->actions();
        // Alphabetical by caption, case folded, after any Introduction item.
        bool pastIntroduction = false;
        for (int i = 0; i < items.size(); ++i) {
            if (!items.at(i)->objectName().contains("___"))
                continue;
            const bool intro = items.at(i)->property("tag").toInt() == 247;
            if (intro) {
                EXPECT_FALSE(pastIntroduction) << items.at(i)->objectName().toStdString();
                continue;
            }
            pastIntroduction = true;
            if (i + 1 < items.size()) {
                EXPECT_LE(items.at(i)->text().toLower().compare(items.at(i + 1)->text().toLower()), 0)
                    << items.at(i)->text().toStdString() << " / " << items.at(i + 1)->text().toStdString();
            }
        }
    }
    // The graphics introduction stays first although "Circle(...)" sorts
    // before it; its caption follows the language.
    QMenu *graphics = t.submenu("mi_Graphics_functions");
    QAction *first = graphics->actions().first();
    EXPECT_EQ(first->objectName(), "mi_Graphics_functions___Introduction3");
    EXPECT_EQ(first->text(), "Introduction");
    t.w->setLanguage(1);
    EXPECT_EQ(first->text(), catalogueText(247, 1));
    t.w->setLanguage(0);

    // Caption with the synonym; the hint is the description.
    QAction *sleep = t.item("mi_Misc_functions___Sleep");
    ASSERT_NE(sleep, nullptr);
    EXPECT_EQ(sleep->text(), "Sleep(Seconds:float) Synonym:  OS_Sleep");
    EXPECT_EQ(sleep->toolTip(), rowDescription(FunctionTable::Embedded, 0, 0));
    EXPECT_FALSE(sleep->toolTip().isEmpty());
    // A row with two categories is in both submenus.
    EXPECT_NE(t.item("mi_String_functions___InputString"), nullptr);
    EXPECT_NE(t.item("mi_Interactive_functions___InputString"), nullptr);
    EXPECT_NE(t.item("mi_Math_functions___sin"), nullptr);

    // A later insertion into a submenu that already holds items keeps the
    // order and never goes above an Introduction item.
    QMenu *math = t.submenu("mi_Math_functions");
    const int before = static_cast<int>(math->actions().size());
    t.w->helpMenu()->AddCategoryFunctions(math, FunctionTable::Graph); // graphics rows are not fMath
    EXPECT_EQ(math->actions().size(), before);
    t.w->helpMenu()->AddCategoryFunctions(graphics, FunctionTable::Graph);
    EXPECT_EQ(graphics->actions().first(), first);
    QStringList captions;
    for (const QAction *a : graphics->actions())
        if (!a->text().contains("Introduction"))
            captions << a->text().toLower();
    for (int i = 0; i + 1 < captions.size(); ++i)
        EXPECT_LE(captions.at(i).compare(captions.at(i + 1)), 0) << captions.at(i).toStdString();
}

TEST(HelpMenu, FunctionItemClickShowsTheDescription)
{
    Window t;
    HelpProbe probe(*t.w->helpWindow());
    t.item("mi_Misc_functions___Sleep")->trigger();
    ASSERT_EQ(probe.openings.size(), 1);
    EXPECT_EQ(probe.openings.last().title, "Imbedded function");
    EXPECT_FALSE(probe.openings.last().markup);
    EXPECT_TRUE(probe.openings.last().text.startsWith("Sleep(Seconds:float)\n\nSynonym: OS_Sleep\n"));
    EXPECT_TRUE(probe.openings.last().text.contains(QString(56, '-')));

    // The first line tells the table, in the order built-in, JavaScript,
    // graphics, dialog; an Introduction formula shows message 20.
    EXPECT_TRUE(
        FunctionItemText("sin", 0).startsWith("Java Script Function.\rsin(x:float)\rSynonym: math_sin\r"));
    EXPECT_TRUE(FunctionItemText("Circle", 0).startsWith("Graphic module function.\rCircle("));
    EXPECT_TRUE(FunctionItemText("InputString", 1).startsWith(catalogueText(43, 1) + "\rInputString("));
    EXPECT_TRUE(FunctionItemText("Introduction3", 1)
                    .startsWith(catalogueText(33, 1) + "\r" + catalogueText(20, 1) + "\r"));
    EXPECT_TRUE(FunctionItemText("os_sleep", 0).startsWith("Imbedded function\rSleep("));
    EXPECT_TRUE(FunctionItemText("NoSuchFunction", 0).isEmpty());

    // In Russian the entry follows the interface language.
    t.w->setLanguage(1);
    t.item("mi_Math_functions___sqrt")->trigger();
    EXPECT_EQ(probe.openings.last().title, catalogueText(32, 1));
}

TEST(HelpMenu, KeywordSearchRules)
{
    // One character, blanks only, separators only: nothing to search.
    EXPECT_TRUE(KeywordSearchText("s", 0).isEmpty());
    EXPECT_TRUE(KeywordSearchText("  x  ", 0).isEmpty());
    EXPECT_TRUE(KeywordSearchText(";;,", 0).isEmpty());

    // Every keyword must occur in the formula, synonym or description.
    const QString both = KeywordSearchText("sin cos", 0);
    EXPECT_TRUE(both.startsWith(" sin,cos\r\n"));
    const QString sinOnly = KeywordSearchText("sin", 0);
    const QString cosOnly = KeywordSearchText("cos", 0);
    EXPECT_TRUE(sinOnly.contains("\r\nsin(x:float)\r\n"));
    EXPECT_TRUE(cosOnly.contains("\r\ncos(x:float)\r\n"));
    const QString rule = QString(56, '-');
    const QStringList entries = both.split(rule + "\r\n", Qt::SkipEmptyParts);
    for (const QString &e : entries.mid(1)) {
        EXPECT_TRUE(e.toUpper().contains("SIN")) << e.toStdString();
        EXPECT_TRUE(e.toUpper().contains("COS")) << e.toStdString();
    }
    // The sine entry does not mention the cosine, so it is left out.
    EXPECT_FALSE(both.contains("\r\nsin(x:float)\r\n"));
    EXPECT_TRUE(both.contains("\r\ncos(x:float)\r\n")); // "cosine" holds "sin"
    EXPECT_LT(both.count(rule), sinOnly.count(rule));
    // Separators: blanks, ";" and "," in any mix.
    EXPECT_TRUE(KeywordSearchText("sin;;cos", 0).startsWith(" sin,cos\r\n"));
    EXPECT_EQ(KeywordSearchText("sin;;cos", 0).mid(9), both.mid(9));
    EXPECT_TRUE(KeywordSearchText("sin ,  cos", 0).startsWith(" sin,cos\r\n"));
    // Synonyms are searched and listed.
    EXPECT_TRUE(KeywordSearchText("os_sleep", 0).contains("Sleep(Seconds:float)\r\nSynonym: OS_Sleep\r\n"));
    // The built-in table is listed before the JavaScript table.
    const QString sq = KeywordSearchText("sqrt", 0);
    EXPECT_TRUE(sq.contains("sqrt(X:float)"));
    // Nothing matches: only the caption line.
    EXPECT_EQ(KeywordSearchText("zzqqxx", 0), " zzqqxx\r\n");
}

TEST(HelpMenu, F1AsksForKeywordsAndShowsTheResult)
{
    Window t;
    HelpProbe probe(*t.w->helpWindow());
    bool asked = false;
    QString caption, prompt;
    answerInputBox("sin cos", &asked, &caption, &prompt);
    t.w->show();
    QApplication::setActiveWindow(t.w.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(t.w.get()));
    QTest::keyClick(t.w->editor()->SynEditor(), Qt::Key_F1);
    EXPECT_TRUE(asked);
    EXPECT_EQ(caption, "Built-in functions reference.");
    EXPECT_EQ(prompt, "Enter keywords");
    ASSERT_EQ(probe.openings.size(), 1);
    EXPECT_EQ(probe.openings.last().title, " sin,cos");
    EXPECT_FALSE(probe.openings.last().text.isEmpty());

    // One letter: the window does not open.
    asked = false;
    answerInputBox("x", &asked, &caption, &prompt);
    QTest::keyClick(t.w->editor()->SynEditor(), Qt::Key_F1);
    EXPECT_TRUE(asked);
    EXPECT_EQ(probe.openings.size(), 1);

    // No match: the window opens with only its caption.
    answerInputBox("zzqqxx", &asked, &caption, &prompt);
    t.item("mi_Search_by_keywords")->trigger();
    ASSERT_EQ(probe.openings.size(), 2);
    EXPECT_EQ(probe.openings.last().title, " zzqqxx");
    EXPECT_EQ(probe.openings.last().text, "");

    // Russian captions.
    t.w->setLanguage(1);
    answerInputBox("", &asked, &caption, &prompt);
    QTest::keyClick(t.w->editor()->SynEditor(), Qt::Key_F1);
    EXPECT_EQ(caption, catalogueText(221, 1));
    EXPECT_EQ(prompt, catalogueText(210, 1));
    EXPECT_EQ(probe.openings.size(), 2);
}

TEST(HelpTopics, TableAndFindHelpTopic)
{
    const char *names[] = {"DataTypes",
                           "AssignmentOperator",
                           "Operators",
                           "BitwiseOperators",
                           "For",
                           "Repeat",
                           "Break",
                           "BreakIf",
                           "Continue",
                           "ContinueIf",
                           "If",
                           "Array",
                           "Function",
                           "FunctionsReturnValues",
                           "Include",
                           "LaunchFromCommandLine",
                           "ExtendedCharacterSet",
                           "SimbolsDegreesAndRoots",
                           "LineContinuationCharacter",
                           "TRYkeyword",
                           "EditorTutorial"};
    for (int row = 0; row < 21; ++row) {
        EXPECT_EQ(helpTopic(row).name, names[row]);
        for (int language : {0, 1}) {
            const QString &text = helpTopic(row).text[language];
            EXPECT_TRUE(text.startsWith("<fnt1>")) << names[row];
            EXPECT_TRUE(text.contains("<fnt4>")) << names[row]; // an example at least
            EXPECT_FALSE(text.contains('\n')) << names[row];    // line breaks are ~~eol~~
        }
        EXPECT_NE(helpTopic(row).text[0], helpTopic(row).text[1]);
        EXPECT_EQ(FindHelpTopic(names[row]), row);
    }
    EXPECT_TRUE(helpTopic(21).name.isEmpty());
    EXPECT_TRUE(helpTopic(22).text[0].isEmpty());

    // Case folded and trimmed; empty and unknown words give -1.
    EXPECT_EQ(FindHelpTopic("  for "), 4);
    EXPECT_EQ(FindHelpTopic("BREAKIF"), 7);
    EXPECT_EQ(FindHelpTopic("trykeyword"), 19);
    EXPECT_EQ(FindHelpTopic(""), -1);
    EXPECT_EQ(FindHelpTopic("   "), -1);
    EXPECT_EQ(FindHelpTopic("Fo"), -1);
    EXPECT_EQ(FindHelpTopic("stop"), -1);

    // Menu item names reach their topics through the "mi_" / "_" rule.
    EXPECT_EQ(TopicForMenuItem("mi_Functions_Return_Values"), 13);
    EXPECT_EQ(TopicForMenuItem("mi_Data_types"), 0);
    EXPECT_EQ(TopicForMenuItem("mi_TRY_keyword"), 19);
    EXPECT_EQ(TopicForMenuItem("mi_Launch_From_Command_Line"), 15);
    EXPECT_EQ(TopicForMenuItem("mi_Search_by_keywords"), -1);
}

TEST(HelpTopics, TutorialItemsOpenTheirTopicsInTheInterfaceLanguage)
{
    Window t;
    HelpWindow &help = *t.w->helpWindow();
    HelpProbe probe(help);
    // Every tutorial item and the two topic items of the main menu open a topic.
    QList<QAction *> items = t.submenu("mi_Tutorial_for_Syntax")->actions();
    items << t.item("mi_Editor_Tutorial") << t.item("mi_Launch_From_Command_Line");
    int opened = 0;
    for (QAction *a : items) {
        if (a->isSeparator())
            continue;
        a->trigger();
        ++opened;
        ASSERT_EQ(probe.openings.size(), opened) << a->objectName().toStdString();
        EXPECT_TRUE(probe.openings.last().markup);
        EXPECT_EQ(probe.openings.last().title, "Tutorial for Syntax");
    }
    EXPECT_EQ(opened, 21);
    t.item("mi_Repeat")->trigger();
    EXPECT_TRUE(probe.openings.last().text.startsWith("Repeat\n"));
    EXPECT_FALSE(probe.openings.last().text.contains("<fnt"));
    t.w->setLanguage(1);
    t.item("mi_Data_types")->trigger();
    EXPECT_EQ(probe.openings.last().title, catalogueText(250, 1));
    EXPECT_TRUE(probe.openings.last().text.startsWith(QString::fromUtf8("Типы данных\n")));
}

TEST(HelpTopics, RightClickHelpReachesTopicsAndFallsBackToVariables)
{
    Window t;
    t.w->interpreter().A_StartExecute(RunSender::StartAction);
    HelpWindow &help = *t.w->helpWindow();
    HelpProbe probe(help);
    const Interpreter &in = t.w->interpreter();
    // A keyword: the topic, with its name as heading.
    EXPECT_TRUE(help.WordHelpText("for", in).startsWith("<fnt1>For\r\r<fnt1>For~~eol~~"));
    help.ShowWordHelp("FOR", in);
    ASSERT_EQ(probe.openings.size(), 1);
    EXPECT_TRUE(probe.openings.last().markup);
    EXPECT_TRUE(probe.openings.last().text.startsWith("For\n\nFor\n"));
    // A built-in function, a constant, a script function.
    help.ShowWordHelp("sleep", in);
    EXPECT_EQ(probe.openings.last().title, "Imbedded function");
    help.ShowWordHelp("pi", in);
    EXPECT_EQ(probe.openings.last().title, "constant");
    help.ShowWordHelp("twice", in);
    EXPECT_EQ(probe.openings.last().title, "Function, created in script text.");
    // A variable: its detail view.
    help.ShowWordHelp("total", in);
    EXPECT_EQ(probe.openings.last().title, "Variable");
    EXPECT_TRUE(probe.openings.last().text.startsWith("total = 13"));
    // Russian topic text.
    t.w->setLanguage(1);
    help.ShowWordHelp("If", t.w->interpreter());
    EXPECT_TRUE(probe.openings.last().text.contains(QString::fromUtf8("условие")));
}

TEST(HelpMenu, HelpActionOpensTheMenuAtThePointer)
{
    Window t;
    t.w->show();
    QCursor::setPos(QPoint(200, 150));
    t.w->action(337)->trigger();
    EXPECT_TRUE(t.menu()->isVisible());
    t.menu()->hide();
}
