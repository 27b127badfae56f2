// The dialog functions: what a script's call hands to the dialogs and what
// comes back, the Menu errors, and the help examples run with answers.
#include "graphics/dialog_functions.h"
#include "library/builtin_families.h"
#include "library/function_tables.h"
#include "script_host.h"

#include <QQueue>

using namespace tesmora;
using namespace tesmora::test;

namespace {

// Records every dialog a script asks for and answers from a queue.
struct RecordingDialogs : DialogProvider {
    struct Ask {
        QString kind, prompt, second;
        int number = 0;
        QStringList items;
    };
    QList<Ask> asked;
    QQueue<QString> answers;
    bool accept = true;
    int *refreshesAtFirstAsk = nullptr;
    const ScriptHost *host = nullptr;

    QString next() { return answers.isEmpty() ? QString() : answers.dequeue(); }
    void note(const Ask &a)
    {
        if (asked.isEmpty() && refreshesAtFirstAsk && host)
            *refreshesAtFirstAsk = host->refreshes;
        asked << a;
    }
    bool inputString(const QString &p, const QString &d, QString &answer) override
    {
        note({"InputString", p, d, 0, {}});
        answer = next();
        return accept;
    }
    bool inputText(const QString &p, const QString &d, QString &answer) override
    {
        note({"InputText", p, d, 0, {}});
        answer = next();
        return accept;
    }
    int message(const QString &p, const QString &c, int buttons) override
    {
        note({"Message", p, c, buttons, {}});
        return next().toInt();
    }
    int menu(const QString &p, const QStringList &items, int selected) override
    {
        note({"Menu", p, {}, selected, items});
        return next().toInt();
    }
    bool checkQuestion(const QString &) override { return true; }
};

struct DialogRun : ScriptRun {
    RecordingDialogs dialogs;
    DialogFunctions executor{dialogs};
    int refreshesAtFirstAsk = -1;

    // The executor and the dialogs are given before they are built; the
    // script is only prepared, not run, until then.
    DialogRun(const QStringList &lines, const QStringList &answers)
        : ScriptRun(lines, {.dialogs = &executor, .dialogProvider = &dialogs})
    {
        for (const QString &a : answers)
            dialogs.answers.enqueue(a);
        dialogs.host = &host;
        dialogs.refreshesAtFirstAsk = &refreshesAtFirstAsk;
    }
};

} // namespace

TEST(DialogFunctions, InputDialogsGetPromptAndDefaultOnlyWithTwoArguments)
{
    DialogRun r({"a = InputString('Enter the name of the fruit','apple')", "b = InputQuery('Name?')",
                 "c = InputText('Poem')", "d = InputText('Poem', 'line')", "stop"},
                {"pear", "x", "typed", "kept"});
    r.start();
    ASSERT_EQ(r.error(), "");
    ASSERT_EQ(r.dialogs.asked.size(), 4);
    EXPECT_EQ(r.dialogs.asked[0].kind, "InputString");
    EXPECT_EQ(r.dialogs.asked[0].prompt, "Enter the name of the fruit");
    EXPECT_EQ(r.dialogs.asked[0].second, "apple");
    EXPECT_EQ(r.dialogs.asked[1].kind, "InputString"); // the synonym
    EXPECT_EQ(r.dialogs.asked[1].second, "");
    EXPECT_EQ(r.dialogs.asked[2].second, "");
    EXPECT_EQ(r.dialogs.asked[3].second, "line");
    EXPECT_EQ(r.var("a"), "pear");
    EXPECT_EQ(r.kind("a"), wkString);
    EXPECT_EQ(r.var("d"), "kept");
    // The variables view was refreshed before the first dialog asked.
    EXPECT_GE(r.refreshesAtFirstAsk, 1);

    // Cancel: InputString gives the empty text, InputText the memo's text.
    DialogRun c({"a = InputString('p','apple')", "b = InputText('p','memo')", "stop"},
                {"typed", "typed too"});
    c.dialogs.accept = false;
    c.start();
    ASSERT_EQ(c.error(), "");
    EXPECT_EQ(c.var("a"), "");
    EXPECT_EQ(c.kind("a"), wkString);
    EXPECT_EQ(c.var("b"), "typed too");
}

TEST(DialogFunctions, MessageButtonsCaptionAndResult)
{
    DialogRun r({"a = Message('Would you like to save the file?','',3)", "b = Message('Game over!')",
                 "c = Show_Message('Text','Title')", "d = Message('Sure?','Q',4+32)",
                 "e = Message('x','',2.5)", "stop"},
                {"6", "1", "2", "7", "3"});
    r.start();
    ASSERT_EQ(r.error(), "");
    ASSERT_EQ(r.dialogs.asked.size(), 5);
    // An empty caption is still a given argument: the set 3 arrives.
    EXPECT_EQ(r.dialogs.asked[0].number, 3);
    EXPECT_EQ(r.dialogs.asked[0].second, "");
    EXPECT_EQ(r.dialogs.asked[1].number, 0);
    EXPECT_EQ(r.dialogs.asked[2].second, "Title");
    EXPECT_EQ(r.dialogs.asked[2].number, 0);
    EXPECT_EQ(r.dialogs.asked[3].number, 36);
    EXPECT_EQ(r.dialogs.asked[4].number, 2); // rounded half to even
    EXPECT_EQ(r.var("a"), "6");
    EXPECT_EQ(r.kind("a"), wkFloat);
    EXPECT_EQ(r.var("d"), "7");

    // The option value: set and icon.
    EXPECT_EQ(decodeMessageOptions(3 + 32).buttonSet, 3);
    EXPECT_EQ(decodeMessageOptions(3 + 32).icon, 32);
    EXPECT_EQ(decodeMessageOptions(64).buttonSet, 0);
    EXPECT_EQ(messageButtonCodes(3), (QList<int>{6, 7, 2}));
    EXPECT_EQ(messageButtonCodes(2), (QList<int>{3, 4, 5}));
    EXPECT_EQ(messageButtonCodes(5), (QList<int>{4, 2}));
    EXPECT_EQ(messageButtonCodes(9), (QList<int>{1}));
    for (int set : {1, 3, 5})
        EXPECT_TRUE(messageSetHasCancel(set)) << set;
    for (int set : {0, 2, 4})
        EXPECT_FALSE(messageSetHasCancel(set)) << set;
}

TEST(DialogFunctions, MenuItemsSelectionAndArrayErrors)
{
    DialogRun r({"array MenuList[4]string=('a','','c','d')", "k = Menu('Make a choice:',MenuList,2)",
                 "array g[2,2]string=(('1','2'),('3','4'))", "j = Show_Menu('',g)", "stop"},
                {"3", "0"});
    r.start();
    ASSERT_EQ(r.error(), "");
    ASSERT_EQ(r.dialogs.asked.size(), 2);
    EXPECT_EQ(r.dialogs.asked[0].items, (QStringList{"a", "", "c", "d"}));
    EXPECT_EQ(r.dialogs.asked[0].number, 2);
    EXPECT_EQ(r.dialogs.asked[1].items, (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(r.dialogs.asked[1].number, 0);
    EXPECT_EQ(r.dialogs.asked[1].prompt, "");
    EXPECT_EQ(r.var("k"), "3");
    EXPECT_EQ(r.var("j"), "0");

    DialogRun f({"array A[3]float=(1,2,3)", "k = Menu('x', A)", "stop"}, {});
    f.start();
    EXPECT_TRUE(f.error().startsWith("The array \"A\" must be string")) << f.error().toStdString();
    EXPECT_TRUE(f.dialogs.asked.isEmpty());
    EXPECT_FALSE(f.in.FindVariable("k") >= 0);

    // The executor itself meets a name that is no array: message 147.
    ScriptHost host;
    Interpreter in({.host = &host});
    RecordingDialogs dialogs;
    DialogFunctions executor(dialogs);
    WordList args;
    args[0].kind = wkString;
    args[0].setText("x");
    args[1].kind = wkArrayName;
    args[1].setText("Nothing");
    args.last = 1;
    TWordStatus result;
    executor.execute(in, "Menu", args, result);
    EXPECT_TRUE(in.errorText().startsWith("Unknown array name \"Nothing\".")) << in.errorText().toStdString();
    EXPECT_TRUE(dialogs.asked.isEmpty());
}

TEST(DialogHelp, EveryRowHasTextsWithExamplesThatRunAnswered)
{
    const auto table = functionTable(FunctionTable::Dialog);
    for (int row = 0; row < static_cast<int>(table.size()); ++row) {
        const QString name = table[static_cast<size_t>(row)].name();
        for (int language : {0, 1}) {
            const QString text = functionDescription(FunctionTable::Dialog, row, language);
            if (name.isEmpty()) {
                EXPECT_TRUE(text.isEmpty()) << row;
                continue;
            }
            ASSERT_FALSE(text.isEmpty()) << row << " " << language;
            EXPECT_EQ(text.count(QLatin1Char('\n')), text.count(QStringLiteral("\r\n")));
            const QString marker = language == 0 ? QStringLiteral("Example:") : QStringLiteral("Пример:");
            const qsizetype at = text.indexOf(marker);
            ASSERT_GE(at, 0) << row;
            const QStringList lines = text.mid(at + marker.size() + 2).split(QStringLiteral("\r\n"));
            EXPECT_TRUE(lines.join("\n").contains(name + "(")) << row;
            // Answers that take every branch: OK/Yes and item 2.
            DialogRun r(lines + QStringList{"stop"}, {"answer", "6", "2", "1", "1"});
            r.start();
            EXPECT_EQ(r.error(), "") << "row " << row << " language " << language;
            EXPECT_GE(r.dialogs.asked.size(), 1) << row;
        }
    }
    EXPECT_NE(functionDescription(FunctionTable::Dialog, 2, 0),
              functionDescription(FunctionTable::Dialog, 2, 1));
}
