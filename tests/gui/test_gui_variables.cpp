// The variables view and the help window, offscreen.
#include "environment/help_window.h"
#include "environment/variables_view.h"

#include "../unit/script_host.h"

#include "core/message_catalogue.h"
#include "library/builtin_families.h"
#include "library/function_tables.h"
#include "library/text_forms.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QFontMetrics>
#include <gtest/gtest.h>
#include <functional>

using namespace tesmora;
using tesmora::test::ScriptRun;

// A face is monospaced when narrow and wide letters take the same width
// (the fixed-pitch flag of some installed faces is not reliable).
static bool isMonospaced(const QFont &font)
{
    const QFontMetrics m(font);
    return m.horizontalAdvance(QStringLiteral("iiii")) == m.horizontalAdvance(QStringLiteral("MMMM"));
}

namespace {

Tvariable var(const QString &name, TWordKind kind, const QString &text, int level = 0)
{
    Tvariable v;
    v.VarName = name;
    v.kind = kind;
    v.setText(text);
    v.function_level = level;
    return v;
}

QStringList column(const QTableWidget *grid, int c)
{
    QStringList out;
    for (int r = 0; r < grid->rowCount(); ++r)
        out << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
    return out;
}

QString header(const QTableWidget *grid, int c)
{
    return grid->horizontalHeaderItem(c)->text();
}

// What one opening of the help window showed.
struct Opening {
    QString title;
    QString text;   // the control's plain text
    QString window; // the window's text as written
    bool markup = false;
};

// Records every opening of `help` and closes it again from inside its modal
// loop, after running `whileOpen` there.
struct HelpProbe {
    HelpWindow &help;
    QList<Opening> openings;
    std::function<void()> whileOpen;

    explicit HelpProbe(HelpWindow &h) : help(h)
    {
        QObject::connect(&help, &HelpWindow::opened, &help, [this] {
            openings << Opening{help.windowTitle(), help.RE->toPlainText(), help.windowText(),
                                help.markupMode()};
            QTimer::singleShot(0, &help, [this] {
                if (whileOpen)
                    whileOpen();
                if (help.isVisible())
                    help.reject();
            });
        });
    }
    const Opening &last() const { return openings.last(); }
};

// The run state as if a run stood there (nothing else changes).
void setRunState(Interpreter &in, std::uint8_t state)
{
    Interpreter::RunPosition position = in.SaveRunPosition();
    position.runState = state;
    in.RestoreRunPosition(position);
}

// An interpreter whose program folder is a fresh temporary folder.
struct Fixture {
    QTemporaryDir dir;
    ScriptRun run;
    explicit Fixture(const QStringList &lines) : run(lines)
    {
        run.in.updateSettings([&](ProgramSettings &s) { s.programFolder = dir.path() + "/"; });
    }
    Interpreter &in() { return run.in; }
};

// The background colour of a grid cell (its top left corner, left of the text).
QColor cellColour(QTableWidget *grid, int row, int col)
{
    const QImage img = grid->viewport()->grab().toImage();
    const QRect r = grid->visualRect(grid->model()->index(row, col));
    return img.pixelColor(r.left() + 1, r.top() + 1);
}

} // namespace

// ---- Value texts, order, details ----------------------------------------------------

TEST(VariablesText, ValueTextByKindInBothGrids)
{
    // Strings between dots, double-quoted strings in quotes, integers as stored.
    EXPECT_EQ(VariableValueText(var("s", wkString, "abc"), false, 0), QString::fromUtf8("●abc●"));
    EXPECT_EQ(VariableValueText(var("s", wkString, ""), true, 0), QString::fromUtf8("●●"));
    EXPECT_EQ(VariableValueText(var("q", wkStringDQ, "abc"), false, 0), "\"abc\"");
    EXPECT_EQ(VariableValueText(var("n", wkInt, "0012"), false, 0), "0012");
    // Floats: empty or unreadable texts leave the cell empty.
    EXPECT_EQ(VariableValueText(var("f", wkFloat, ""), false, 0), "");
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "abc"), false, 0), "");
    // A whole value: "%6.0f"; a float holding 3 is six characters wide.
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "3"), false, 0), "     3");
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "3"), true, 0), "     3");
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "-42"), false, 0), "   -42");
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "1e3"), false, 0), "  1000");
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "1000000"), false, 0), "1000000");
    // Above a million the global grid switches to the width-11 number text,
    // the local grid keeps "%6.0f".
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "2500000"), false, 0), "    2500000");
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "2500000"), false, 0), NumText(11, 2500000));
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "2500000"), true, 0), "2500000");
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "-1000001"), false, 0), "   -1000001");
    // A fractional value: the width-11 number text in both grids.
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "2.5"), false, 0), "2.5        ");
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "2.5"), true, 0), NumText(11, 2.5));
    EXPECT_EQ(VariableValueText(var("f", wkFloat, "0.00001"), true, 0), NumText(11, 0.00001));
    // Truth values and other kinds in angle brackets.
    EXPECT_EQ(VariableValueText(var("b", wkBool, "true"), false, 0), "<true>");
    // An unknown identifier: message 76 in the global grid, like any other
    // kind in the local grid.
    EXPECT_EQ(VariableValueText(var("zz", wkUnknownIdentifier, "zz"), false, 0),
              "! Unrecognised identifier \"zz\".");
    EXPECT_EQ(VariableValueText(var("zz", wkUnknownIdentifier, "zz"), false, 1),
              QString::fromUtf8("! Неопознанный идентификатор \"zz\"."));
    EXPECT_EQ(VariableValueText(var("_z", wkUnknownIdentifier, "zz"), true, 0), "<zz>");
}

TEST(VariablesText, DisplayOrderExchangesPairsFromTheFirstPosition)
{
    // b, A, a in table order are listed A, a, b.
    QList<Tvariable> vars{var("b", wkInt, "1"), var("A", wkInt, "2"), var("a", wkInt, "3")};
    EXPECT_EQ(SortedVariableOrder(vars), (QList<int>{1, 2, 0}));
    // Equal names are never exchanged with each other, but an exchange with
    // a smaller name further on can still reverse them: B, b, A -> A, b, B.
    QList<Tvariable> same{var("B", wkInt, ""), var("b", wkInt, ""), var("A", wkInt, "")};
    EXPECT_EQ(SortedVariableOrder(same), (QList<int>{2, 1, 0}));
    // Only a-z are folded; code units are compared: "_" sorts after letters,
    // digits before them, and a non-ASCII letter after all of them.
    QList<Tvariable> mixed{var(QString::fromUtf8("é"), wkInt, ""), var("_x", wkInt, ""), var("z", wkInt, ""),
                           var("x1", wkInt, ""), var("X0", wkInt, "")};
    EXPECT_EQ(SortedVariableOrder(mixed), (QList<int>{4, 3, 2, 1, 0}));
    EXPECT_TRUE(SortedVariableOrder({}).isEmpty());

    // A_Sort_Variables writes the order into the interpreter.
    Fixture f({"zeta = 1", "Alpha = 2", "mid = 3", "stop"});
    f.run.start();
    VariablesView view;
    view.A_Sort_Variables(f.in());
    EXPECT_EQ(f.in().variableOrder(), (QList<int>{1, 2, 0}));
}

TEST(VariablesText, HexDigitsToBitsAndElapsedTime)
{
    EXPECT_EQ(HexDigitsToBits("1F"), " 0001 1111");
    EXPECT_EQ(HexDigitsToBits("A"), " 1010");
    EXPECT_EQ(HexDigitsToBits("0"), " 0000");
    EXPECT_EQ(HexDigitsToBits("9E"), " 1001 1110");
    EXPECT_EQ(HexDigitsToBits("x-1"), " 0001"); // other characters are skipped
    EXPECT_EQ(HexDigitsToBits(""), "");
    EXPECT_EQ(ElapsedTimeText(0), "00:00");
    EXPECT_EQ(ElapsedTimeText(65'999), "01:05");
    EXPECT_EQ(ElapsedTimeText(600'000), "10:00");
    EXPECT_EQ(ElapsedTimeText(6'000'000), "100:00");
}

TEST(VariablesText, DetailTextsOfVariablesAndArrays)
{
    // An integer: its text, hexadecimal and bits; "bin:" is followed by two blanks.
    EXPECT_EQ(VariableDetailsText(var("n", wkInt, "10"), 0), "Variable\rn = 10\rhex: A\rbin:  1010");
    EXPECT_EQ(VariableDetailsText(var("n", wkFloat, "31"), 0), "Variable\rn = 31\rhex: 1F\rbin:  0001 1111");
    EXPECT_EQ(VariableDetailsText(var("n", wkFloat, "0"), 0), "Variable\rn = 0\rhex: 0\rbin:  0000");
    // Negative whole numbers: the digits of the magnitude after a minus sign.
    EXPECT_EQ(VariableDetailsText(var("m", wkInt, "-1"), 0), "Variable\rm = -1\rhex: -1\rbin: -0001");
    EXPECT_EQ(VariableDetailsText(var("m", wkFloat, "-31"), 0),
              "Variable\rm = -31\rhex: -1F\rbin: -0001 1111");
    // A value with a full stop: "0.###############", two blanks, "%e".
    EXPECT_EQ(VariableDetailsText(var("f", wkFloat, "2.5"), 0), "Variable\rf = 2.5  2.50000000000000E+000");
    EXPECT_EQ(VariableDetailsText(var("f", wkFloat, "-1234.56"), 0),
              "Variable\rf = -1234.56  -1.23456000000000E+003");
    EXPECT_EQ(VariableDetailsText(var("f", wkFloat, "0.001"), 0),
              "Variable\rf = 0.001  1.00000000000000E-003");
    // Texts without a full stop that are not whole 64-bit values take the same form.
    EXPECT_EQ(VariableDetailsText(var("f", wkFloat, "1E-5"), 0),
              "Variable\rf = 0.00001  1.00000000000000E-005");
    EXPECT_EQ(VariableDetailsText(var("f", wkFloat, "1E20"), 0),
              "Variable\rf = 100000000000000000000  1.00000000000000E+020");
    // Anything else: the value between apostrophes on its own line.
    EXPECT_EQ(VariableDetailsText(var("s", wkString, "a b"), 0), "Variable\rs = \r'a b'");
    EXPECT_EQ(VariableDetailsText(var("t", wkBool, "true"), 1),
              QString::fromUtf8("Переменная\rt = \r'true'"));

    // By name: the lookup of the interpreter; "[]" names an array's full listing.
    Fixture f({"n = 10", "array arr[7]float=(1,2,3,4,5,6,7)", "stop"});
    f.run.start();
    const Interpreter &in = f.in();
    EXPECT_EQ(VariableDetailsText(in, "N"), "Variable\rn = 10\rhex: A\rbin:  1010");
    const int a = in.FindArray("arr");
    ASSERT_GT(a, 0);
    EXPECT_EQ(VariableDetailsText(in, "arr[]"), ArrayListing(in.arrays().at(a), 0));
    EXPECT_TRUE(VariableDetailsText(in, "arr[]").contains("[1-7]"));
    EXPECT_EQ(VariableDetailsText(in, "nothing"),
              "Variable\rnothing = \rUnrecognised identifier \"nothing\".");
    EXPECT_EQ(VariableDetailsText(in, "none[]"), "Variable\rnone = \rUnrecognised identifier \"none\".");
}

// ---- The panel --------------------------------------------------------------

TEST(VariablesView, CaptionsHeadersAndLayout)
{
    VariablesView view;
    view.resize(900, 220);
    EXPECT_EQ(view.Label_Global->text(), "Global variables");
    EXPECT_EQ(view.Label_Global->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(view.Label_Local->text(), "  Local variables");
    EXPECT_EQ(view.CheckBox_All_Llevels->text(), "Alll levels");
    EXPECT_FALSE(view.CheckBox_All_Llevels->isChecked());
    EXPECT_EQ(header(view.SG_GlobalVariables, 0), "var.names");
    EXPECT_EQ(header(view.SG_GlobalVariables, 1), "values");
    EXPECT_EQ(header(view.SG_LocalVariables, 0), "Function Level");
    EXPECT_EQ(header(view.SG_LocalVariables, 1), "var.names");
    EXPECT_EQ(header(view.SG_LocalVariables, 2), "values");
    // Design widths 81 / 25, 80, widened where the header text would be cut.
    auto fits = [](QTableWidget *g, int c, int designed) {
        return g->columnWidth(c) == std::max(designed, g->horizontalHeader()->sectionSizeHint(c));
    };
    EXPECT_TRUE(fits(view.SG_GlobalVariables, 0, 81));
    EXPECT_TRUE(fits(view.SG_LocalVariables, 0, 25));
    EXPECT_TRUE(fits(view.SG_LocalVariables, 1, 80));
    EXPECT_EQ(view.SG_GlobalVariables->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view.SG_GlobalVariables->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_GE(view.Label_Global->height(), 18);

    // Russian captions; "Alll levels" keeps its text.
    view.retranslate(1);
    EXPECT_EQ(view.Label_Global->text(), QString::fromUtf8("Глобальные переменные"));
    EXPECT_EQ(view.Label_Local->text(), QString::fromUtf8("  Локальные переменные"));
    EXPECT_EQ(view.CheckBox_All_Llevels->text(), "Alll levels");
    EXPECT_EQ(header(view.SG_LocalVariables, 0), QString::fromUtf8("Уровень функции"));
    EXPECT_GE(view.SG_LocalVariables->columnWidth(0),
              view.SG_LocalVariables->horizontalHeader()->sectionSizeHint(0));
    EXPECT_GE(view.SG_GlobalVariables->columnWidth(0),
              view.SG_GlobalVariables->horizontalHeader()->sectionSizeHint(0));

    // Row height from the editor font: round(size * 22 / 12), never below what the grid font needs.
    view.setRowHeightFromEditorFont(24);
    EXPECT_EQ(view.rowHeight(), 44);
    EXPECT_EQ(view.SG_GlobalVariables->verticalHeader()->defaultSectionSize(), 44);
    view.setRowHeightFromEditorFont(2);
    EXPECT_GE(view.rowHeight(), QFontMetrics(view.SG_GlobalVariables->font()).height());

    // The local panel keeps its width; the splitter stays 30 px from the left edge.
    view.show();
    view.setLocalPanelWidth(500);
    EXPECT_EQ(view.localPanelWidth(), 500);
    view.Splitter_Var->setSizes({5, 890});
    EXPECT_EQ(view.Splitter_Var->sizes(), (QList<int>{30, view.width() - 5 - 30}));
}

TEST(VariablesView, GlobalGridRowsAndCurrentRow)
{
    // With no variables: the header and one empty row.
    {
        Fixture f({"stop"});
        f.run.start();
        VariablesView view;
        view.A_Show_variables(f.in());
        EXPECT_EQ(view.SG_GlobalVariables->rowCount(), 1);
        EXPECT_EQ(column(view.SG_GlobalVariables, 0), QStringList{""});
        EXPECT_EQ(view.SG_GlobalVariables->currentRow(), 0);
        EXPECT_EQ(view.SG_LocalVariables->rowCount(), 1);
    }
    Fixture f({"b = 2.5", "Alpha = 'text'", "alpha2 = 3", "array arr[3]float=(1,2,3)", "c = 1 > 0",
               "d = \"dq\"", "stop"});
    f.run.start();
    VariablesView view;
    view.resize(1000, 250);
    view.show();
    view.A_Show_variables(f.in());
    QTableWidget *g = view.SG_GlobalVariables;
    // Variables in display order, then arrays in table order with "[]".
    EXPECT_EQ(column(g, 0), (QStringList{"Alpha", "alpha2", "b", "c", "d", "arr[]"}));
    EXPECT_EQ(column(g, 1), (QStringList{QString::fromUtf8("●text●"), "     3", NumText(11, 2.5), "<true>",
                                         "\"dq\"", "(1,2,3)"}));
    // Column 1 follows the window width on every refresh.
    EXPECT_EQ(g->columnWidth(1), view.window()->width() - 100);
    // The run ended after assigning d: its row is the current row.
    EXPECT_EQ(g->currentRow(), 4);

    // Stepping: the row of the variable just assigned becomes the current row,
    // painted sky blue; the others stay white.
    Fixture s({"b = 1", "a = 2", "array arr[2]int=(5,6)", "arr[1] = 7", "b = 3", "stop"});
    for (int i = 0; i < 2; ++i)
        s.run.step();
    view.A_Show_variables(s.in());
    EXPECT_EQ(column(g, 0), (QStringList{"a", "b"}));
    EXPECT_EQ(g->currentRow(), 0);
    EXPECT_EQ(cellColour(g, 0, 0), QColor(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(cellColour(g, 1, 0), QColor(Qt::white));
    s.run.step(); // array declared: its row
    view.A_Show_variables(s.in());
    EXPECT_EQ(column(g, 0), (QStringList{"a", "b", "arr[]"}));
    EXPECT_EQ(g->currentRow(), 2);
    EXPECT_EQ(cellColour(g, 2, 1), QColor(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(cellColour(g, 0, 1), QColor(Qt::white));
    s.run.step(); // an element assigned: the array's row again
    view.A_Show_variables(s.in());
    EXPECT_EQ(column(g, 1).at(2), "(7,6)");
    EXPECT_EQ(g->currentRow(), 2);
    s.run.step(); // b assigned
    view.A_Show_variables(s.in());
    EXPECT_EQ(g->currentRow(), 1);
    EXPECT_EQ(column(g, 1).at(1), "     3");
}

TEST(VariablesView, LocalGridShowsTheCurrentLevelOrAllLevels)
{
    const QStringList script = {"x = 1",
                                "y = f(2)",
                                "stop",
                                "function f(_a)",
                                "  _b = _a * 1000000",
                                "  array _arr[2]float=(1.5,2)",
                                "  _c = g(_b)",
                                "  return _c",
                                "function g(_p)",
                                "  _q = _p * 2.5",
                                "  return _q"};
    Fixture f(script);
    VariablesView view;
    view.resize(1000, 250);
    // Outside functions the local grid stays empty, even with all levels.
    f.run.step();
    view.CheckBox_All_Llevels->setChecked(true);
    view.A_Show_variables(f.in());
    EXPECT_EQ(column(view.SG_LocalVariables, 1), QStringList{""});
    view.CheckBox_All_Llevels->setChecked(false);

    // Step into g (level 2) until _q is assigned.
    for (int i = 0; i < 20 && f.in().FindVariable("_q") < 0; ++i)
        f.run.step();
    ASSERT_EQ(f.in().currentFunctionLevel(), 2);
    view.A_Show_variables(f.in());
    QTableWidget *l = view.SG_LocalVariables;
    EXPECT_EQ(column(l, 0), (QStringList{"2", "2"}));
    EXPECT_EQ(column(l, 1), (QStringList{"_p", "_q"}));
    // A whole float above a million: "%6.0f" in the local grid.
    EXPECT_EQ(column(l, 2), (QStringList{"2000000", "5000000"}));
    EXPECT_EQ(l->currentRow(), 1); // _q was assigned last
    // The globals are not in the local grid; the global grid has no locals.
    EXPECT_EQ(column(view.SG_GlobalVariables, 0), (QStringList{"x"}));

    // "Alll levels": level 1 too (sorted together), never level 0; clicking
    // the check box refreshes at once.
    view.CheckBox_All_Llevels->click();
    EXPECT_EQ(column(l, 0), (QStringList{"1", "1", "2", "2", "1"}));
    EXPECT_EQ(column(l, 1), (QStringList{"_a", "_b", "_p", "_q", "_arr[]"}));
    EXPECT_EQ(column(l, 2).at(1), "2000000");
    EXPECT_EQ(column(l, 2).at(4), "(1.5,2)");
    view.CheckBox_All_Llevels->click();
    EXPECT_EQ(column(l, 1), (QStringList{"_p", "_q"}));

    // The value column fills the rest of the local grid.
    view.show();
    view.A_Show_variables(f.in());
    EXPECT_EQ(l->columnWidth(2), l->viewport()->width() - l->columnWidth(0) - l->columnWidth(1));
}

TEST(VariablesView, StatusBarPanels)
{
    QMap<int, QString> panels;
    VariablesView view;
    view.setStatusSink([&](int p, const QString &t) { panels[p] = t; });
    view.setClock([] { return qint64(1'000'000 + 65'400); });
    int graphicsWidth = 0;
    view.setGraphicsPanelWidth([&] { return graphicsWidth; });

    Fixture f({"x = 1", "for i = 1, 5", "  x = x + i", "stop"});
    f.run.step();
    f.in().startRunClock(1'000'000);
    panels[3] = panels[4] = "stale";
    view.A_StatusBarFilling(f.in());
    EXPECT_EQ(panels[0], "Line=1");
    EXPECT_EQ(panels[1], "Processing Level=0");
    EXPECT_EQ(panels[2], "Function Level=0");
    EXPECT_EQ(panels[3], "");
    EXPECT_EQ(panels[4], "");
    EXPECT_EQ(panels[5], "time 01:05");
    EXPECT_FALSE(panels.contains(6));

    // Inside the loop: counter and limit; the time stays as it was.
    f.run.step();
    panels[5] = "kept";
    view.A_StatusBarFilling(f.in());
    EXPECT_EQ(panels[0], "Line=2");
    EXPECT_EQ(panels[1], "Processing Level=1");
    EXPECT_EQ(panels[3], "loop counter=1");
    EXPECT_EQ(panels[4], "loop limit=5");
    EXPECT_EQ(panels[5], "kept");

    // A loop variable whose text is not an integer gets " ???".
    const int i = f.in().FindVariable("i");
    f.in().SetVariable("i", "1.5", f.in().variables().at(i).kind);
    view.A_StatusBarFilling(f.in());
    EXPECT_EQ(panels[3], "loop counter=1.5 ???");

    // Without a loop variable the time is shown only while the graphics panel
    // is narrower than 4 px or no run is in progress.
    Fixture g({"x = 1", "stop"});
    g.in().startRunClock(1'000'000);
    setRunState(g.in(), rn_Run);
    graphicsWidth = 300;
    panels[5] = "kept";
    view.A_StatusBarFilling(g.in());
    EXPECT_EQ(panels[5], "kept");
    graphicsWidth = 3;
    view.A_StatusBarFilling(g.in());
    EXPECT_EQ(panels[5], "time 01:05");
    graphicsWidth = 300;
    setRunState(g.in(), rn_Step);
    panels[5] = "kept";
    view.A_StatusBarFilling(g.in());
    EXPECT_EQ(panels[5], "time 01:05");

    // The refresh fills the status bar too; labels can take the texts.
    QList<QLabel *> labels;
    for (int k = 0; k < 7; ++k)
        labels << new QLabel(&view);
    view.setStatusPanels(labels);
    g.in().moveToLine(1);
    view.A_Show_variables(g.in());
    EXPECT_EQ(labels[0]->text(), "Line=1");
    EXPECT_EQ(labels[2]->text(), "Function Level=0");
    EXPECT_EQ(labels[6]->text(), "");
}

// ---- Detail view ----------------------------------------------------------------

TEST(VariablesView, DoubleClickOpensTheDetailView)
{
    Fixture f({"n = 10", "array arr[3]float=(1,2,3)", "y = f(1)", "stop", "function f(_a)",
               "  _b = g(_a + 4)", "  return _b", "function g(_a)", "  _c = _a", "  return _c"});
    for (int i = 0; i < 20 && f.in().FindVariable("_c") < 0; ++i)
        f.run.step();
    ASSERT_EQ(f.in().currentFunctionLevel(), 2);
    VariablesView view;
    HelpWindow help;
    HelpProbe probe(help);
    view.setHelpWindow(&help);
    view.resize(1000, 250);
    view.show();
    view.A_Show_variables(f.in());
    EXPECT_TRUE(help.unprintableItemVisible());

    // The array row: the full listing, not the short text.
    QTableWidget *g = view.SG_GlobalVariables;
    ASSERT_EQ(column(g, 0), (QStringList{"n", "arr[]"}));
    const QPoint arrayCell = g->visualRect(g->model()->index(1, 0)).center();
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, arrayCell);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(1, 0)).center());
    ASSERT_EQ(probe.openings.size(), 1);
    EXPECT_EQ(probe.last().title, "Array");
    EXPECT_TRUE(probe.last().text.contains("The number of elements: 3."));
    EXPECT_TRUE(probe.last().text.contains("[1-3]"));
    // The grid hides "Show unprintable characters" for good.
    EXPECT_FALSE(help.unprintableItemVisible());

    // A variable row: hexadecimal and bits.
    emit g->cellDoubleClicked(0, 0);
    ASSERT_EQ(probe.openings.size(), 2);
    EXPECT_EQ(probe.last().title, "Variable");
    EXPECT_EQ(probe.last().text, "n = 10\n\nhex: A\nbin:  1010");

    // A local of another level shown through "Alll levels": that variable's
    // own value, although the current level has a variable of the same name.
    view.CheckBox_All_Llevels->click();
    QTableWidget *l = view.SG_LocalVariables;
    ASSERT_EQ(column(l, 1), (QStringList{"_a", "_a", "_c"}));
    ASSERT_EQ(column(l, 0), (QStringList{"1", "2", "2"}));
    emit l->cellDoubleClicked(0, 1);
    EXPECT_EQ(probe.last().text, "_a = 1\n\nhex: 1\nbin:  0001");
    emit l->cellDoubleClicked(1, 1);
    EXPECT_EQ(probe.last().text, "_a = 5\n\nhex: 5\nbin:  0101");
    EXPECT_FALSE(help.unprintableItemVisible());

    // The empty row opens nothing.
    Fixture e({"stop"});
    e.run.start();
    view.A_Show_variables(e.in());
    const int before = static_cast<int>(probe.openings.size());
    emit view.SG_GlobalVariables->cellDoubleClicked(0, 0);
    EXPECT_EQ(probe.openings.size(), before);
}

TEST(VariablesView, DetailViewNeedsTheTempFolder)
{
    Fixture f({"n = 10", "stop"});
    f.run.start();
    VariablesView view;
    HelpWindow help;
    HelpProbe probe(help);
    view.setHelpWindow(&help);
    QStringList messages;
    view.setMessageSink([&](const QString &m) { messages << m; });

    // The folder is created when missing.
    EXPECT_FALSE(QFileInfo::exists(f.dir.path() + "/Temp"));
    EXPECT_TRUE(view.ShowVariableDetails("n", f.in()));
    EXPECT_TRUE(QFileInfo(f.dir.path() + "/Temp").isDir());
    ASSERT_EQ(probe.openings.size(), 1);
    EXPECT_EQ(probe.last().text, "n = 10\n\nhex: A\nbin:  1010");
    EXPECT_TRUE(messages.isEmpty());

    // A folder that cannot be created: message 208 and no window.
    QFile blocker(f.dir.path() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    f.in().updateSettings([&](ProgramSettings &s) { s.programFolder = f.dir.path() + "/blocker/"; });
    EXPECT_FALSE(view.ShowVariableDetails("n", f.in()));
    EXPECT_EQ(probe.openings.size(), 1);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Missing directory \"")) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].endsWith("\". Create this directory manually."));
    EXPECT_TRUE(messages[0].contains("blocker/Temp"));
}

// ---- Word help ----------------------------------------------------------------------

TEST(HelpWindow, WordHelpChoosesTheSource)
{
    Fixture f({"total = 10", "s = \"a\"", "array data[2]float=(1,2)", "stop", "function Square(_v)",
               "  return _v * _v"});
    f.run.start();
    HelpWindow help;
    const Interpreter &in = f.in();

    // A built-in function by name (any case) and by its synonym.
    const int sleepRow = catalogueRow(FindCatalogueFunction(FunctionTable::Embedded, "Sleep"));
    const QString sleepText = "Imbedded function\rSleep(Seconds:float)\rSynonym: OS_Sleep.\r" +
                              functionDescription(FunctionTable::Embedded, sleepRow, 0);
    EXPECT_EQ(help.WordHelpText("sleep", in), sleepText);
    EXPECT_EQ(help.WordHelpText("os_sleep", in), sleepText);
    EXPECT_TRUE(help.WordHelpText("Str_UpperCase", in)
                    .startsWith("Imbedded function\rUpperCase(Str:string):string\r"));
    // The other catalogues with their own first lines.
    EXPECT_TRUE(help.WordHelpText("Circle", in).startsWith("Graphic module function.\rCircle("));
    EXPECT_TRUE(help.WordHelpText("PixelWrite", in).startsWith("Graphic module function.\rPixelWrite("));
    EXPECT_FALSE(help.WordHelpText("PixelWrite", in).contains("Synonym")); // it has none
    EXPECT_TRUE(help.WordHelpText("InputString", in).startsWith("Interactive function.\rInputString("));
    EXPECT_TRUE(help.WordHelpText("math_sin", in)
                    .startsWith("Java Script Function.\rsin(x:float)\rSynonym: math_sin.\r"));
    // A script function of the prepared script, names compared ignoring case.
    EXPECT_EQ(help.WordHelpText("square", in), "Function, created in script text.\rfunction Square(_v)");
    // A named constant.
    EXPECT_EQ(help.WordHelpText("pi", in), "constant\rPI = 3.14159265358979323846");
    EXPECT_EQ(help.WordHelpText("clRed", in), "constant\rclRed = $2040FF");
    // Variables, arrays and unknown words have no text of their own.
    EXPECT_EQ(help.WordHelpText("total", in), "");
    EXPECT_EQ(help.WordHelpText("data", in), "");
    EXPECT_EQ(help.WordHelpText("nonsense", in), "");
    // Russian texts.
    f.in().updateSettings([&](ProgramSettings &s) { s.language = 1; });
    EXPECT_TRUE(
        help.WordHelpText("sleep", in)
            .startsWith(QString::fromUtf8("Встроенная функция\rSleep(Seconds:float)\rСиноним: OS_Sleep.\r")));
    EXPECT_EQ(help.WordHelpText("pi", in), QString::fromUtf8("константа\rPI = 3.14159265358979323846"));
    f.in().updateSettings([&](ProgramSettings &s) { s.language = 0; });

    // A later source replaces an earlier one: a script function named like a
    // built-in wins, and a tutorial topic wins over everything.
    Fixture clash({"stop", "function Trim(_s)", "  return _s"});
    EXPECT_EQ(help.WordHelpText("trim", clash.in()), "Function, created in script text.\rfunction Trim(_s)");
    help.setTopicLookup([](const QString &w, int) {
        return w.compare("trim", Qt::CaseInsensitive) == 0 ? HelpWindow::Topic{"Trim", "About Trim"}
                                                           : HelpWindow::Topic{};
    });
    EXPECT_EQ(help.WordHelpText("trim", clash.in()), "<fnt1>Trim\r\rAbout Trim");
    EXPECT_EQ(help.WordHelpText("sleep", clash.in()), sleepText);
}

TEST(HelpWindow, ShowWordHelpOpensTheRightView)
{
    Fixture f({"total = 10", "s = \"a\"", "array data[2]float=(1,2)", "stop"});
    f.run.start();
    HelpWindow help;
    HelpProbe probe(help);
    const Interpreter &in = f.in();

    help.ShowWordHelp("sleep", in);
    ASSERT_EQ(probe.openings.size(), 1);
    EXPECT_EQ(probe.last().title, "Imbedded function");
    EXPECT_FALSE(probe.last().markup);
    EXPECT_TRUE(probe.last().text.startsWith("Sleep(Seconds:float)\n\nSynonym: OS_Sleep.\n"));

    help.ShowWordHelp("PI", in);
    EXPECT_EQ(probe.last().title, "constant");
    EXPECT_EQ(probe.last().text, "PI = 3.14159265358979323846\n");

    // A variable: its detail view; an array: its listing.
    help.ShowWordHelp("TOTAL", in);
    EXPECT_EQ(probe.last().title, "Variable");
    EXPECT_EQ(probe.last().text, "total = 10\n\nhex: A\nbin:  1010");
    help.ShowWordHelp("data", in);
    EXPECT_EQ(probe.last().title, "Array");
    EXPECT_TRUE(probe.last().text.contains("[1-2]"));
    // Opened from the editor, the menu item stays available.
    EXPECT_TRUE(help.unprintableItemVisible());

    // An unknown word opens nothing.
    const auto count = probe.openings.size();
    help.ShowWordHelp("nonsense", in);
    help.ShowWordHelp("", in);
    EXPECT_EQ(probe.openings.size(), count);
}

// ---- The help window's display -------------------------------------------------------

TEST(HelpWindow, MarkupModeRunsAndLineBreaks)
{
    HelpWindow help;
    HelpProbe probe(help);
    help.setWindowTitle("Tutorial");
    bool boldTitle = false, italicRun = false, monoBold = false, plainStart = false, plainAfterOther = false;
    probe.whileOpen = [&] {
        QTextDocument *doc = help.RE->document();
        auto formatAt = [&](const QString &needle) {
            const QTextCursor c = doc->find(needle);
            return c.charFormat();
        };
        plainStart = !formatAt("Lead").font().bold();
        boldTitle = formatAt("Title").font().bold();
        italicRun = formatAt("slanted").font().italic() && !formatAt("slanted").font().bold();
        const QFont code = formatAt("code").font();
        monoBold = code.bold() && isMonospaced(code);
        plainAfterOther = !formatAt("other").font().bold() && !formatAt("other").font().italic();
    };
    help.setHelpText("Lead <fnt1>Title\r\n<fnt2>slanted~~eol~~next<fnt4>code<fnt9>other");
    help.ShowHelp();
    ASSERT_EQ(probe.openings.size(), 1);
    EXPECT_TRUE(probe.last().markup);
    EXPECT_EQ(probe.last().title, "Tutorial"); // the caption is not changed
    EXPECT_EQ(probe.last().text, "Lead Title\nslanted\nnextcodeother");
    EXPECT_TRUE(plainStart);
    EXPECT_TRUE(boldTitle);
    EXPECT_TRUE(italicRun);
    EXPECT_TRUE(monoBold);
    EXPECT_TRUE(plainAfterOther);
    // Closing empties the buffer and the control and stops the timer.
    EXPECT_TRUE(help.HelpText.isEmpty());
    EXPECT_TRUE(help.RE->toPlainText().isEmpty());
    EXPECT_FALSE(help.Timer1->isActive());

    // A text without "<fnt1>" (here "<fnt2>" only) is a description.
    help.setHelpText("Caption\r<fnt2>x");
    help.ShowHelp();
    EXPECT_FALSE(probe.last().markup);
    EXPECT_EQ(probe.last().title, "Caption");

    // Nothing opens for an empty text.
    help.setHelpText("");
    help.ShowHelp();
    EXPECT_EQ(probe.openings.size(), 2);
}

TEST(HelpWindow, DescriptionModeLayout)
{
    HelpWindow help;
    HelpProbe probe(help);
    QList<QTextCharFormat> formats;
    QStringList blocks;
    probe.whileOpen = [&] {
        for (QTextBlock b = help.RE->document()->begin(); b.isValid(); b = b.next()) {
            blocks << b.text();
            QTextCursor c(b);
            c.movePosition(QTextCursor::EndOfBlock);
            formats << c.charFormat();
        }
    };
    const QString rule(56, '-');
    help.setHelpText(
        "Imbedded function\rMax(x:float)\rThe larger value.\r\u2502 a \u2502 b \u2502\rexample:\r"
        "x = Max(1, 2)\r" +
        rule + "\r\nNext(y)\rText");
    help.ShowHelp();
    EXPECT_EQ(probe.last().title, "Imbedded function");
    ASSERT_EQ(blocks, (QStringList{"Max(x:float)", "", "The larger value.", "\u2502 a \u2502 b \u2502",
                                   "example:", "", "x = Max(1, 2)", rule, "", "Next(y)", "", "Text"}));
    auto mono = [](const QTextCharFormat &f) { return isMonospaced(f.font()); };
    // The first line of an entry: bold heading followed by an empty line.
    EXPECT_TRUE(formats[0].font().bold());
    EXPECT_FALSE(mono(formats[0]));
    // The description in italics; box-drawing lines in a fixed font.
    EXPECT_TRUE(formats[2].font().italic());
    EXPECT_FALSE(formats[2].font().bold());
    EXPECT_FALSE(mono(formats[2]));
    EXPECT_TRUE(mono(formats[3]));
    EXPECT_TRUE(formats[3].font().italic());
    // The line holding "Example" (any case) is still a description line;
    // everything after it is bold and fixed up to the separator.
    EXPECT_TRUE(formats[4].font().italic());
    EXPECT_TRUE(formats[6].font().bold());
    EXPECT_TRUE(mono(formats[6]));
    EXPECT_TRUE(formats[7].font().bold());
    EXPECT_TRUE(mono(formats[7]));
    // After the separator the next entry starts with a heading.
    EXPECT_TRUE(formats[9].font().bold());
    EXPECT_FALSE(mono(formats[9]));
    EXPECT_TRUE(formats[11].font().italic());
}

TEST(HelpWindow, UnprintableCharactersView)
{
    EXPECT_EQ(HelpWindow::UnprintableText(QString("AB\r\nC")), "AB'#$D#$A'C");
    EXPECT_EQ(HelpWindow::UnprintableText(QString("\rA")), "#$D'A"); // none at the very beginning
    EXPECT_EQ(HelpWindow::UnprintableText(QString("A\x1B")), "A'#$1B");
    EXPECT_EQ(HelpWindow::UnprintableText(QString(QChar(0)) + "\t"), "#$0#$9");
    EXPECT_EQ(HelpWindow::UnprintableText(QString::fromUtf8("ä ")), QString::fromUtf8("ä "));
    EXPECT_EQ(HelpWindow::UnprintableText(""), "");

    // From the menu: the text between the first and the last apostrophe.
    Fixture f({"s = \"x\"", "stop"});
    f.run.start();
    const int i = f.in().FindVariable("s");
    f.in().SetVariable("s", "AB\r\nC", f.in().variables().at(i).kind);
    HelpWindow help;
    HelpProbe probe(help);
    QString shown;
    probe.whileOpen = [&] {
        help.mi_ShowUnprintable->trigger();
        shown = help.RE->toPlainText();
    };
    help.ShowWordHelp("s", f.in());
    EXPECT_EQ(shown, "AB'#$D#$A'C");
    // Control characters other than line ends survive into the view.
    f.in().SetVariable("s", QString("a\tb\rc"), f.in().variables().at(i).kind);
    help.ShowWordHelp("s", f.in());
    EXPECT_EQ(shown, "a'#$9'b'#$D'c");
    // A window without any apostrophe becomes empty.
    help.setHelpText("Imbedded function\rSleep(Seconds:float)\rNo quotes here.");
    help.ShowHelp();
    EXPECT_EQ(shown, "");
}

TEST(HelpWindow, KeysPopupMenuAndCopy)
{
    HelpWindow help;
    HelpProbe probe(help);
    QClipboard *clipboard = QGuiApplication::clipboard();
    QString copied, copiedByInsert, afterNoSelection;
    bool selectionCleared = false, popupShown = false, unprintableListed = false, escClosed = false;
    probe.whileOpen = [&] {
        QTextCursor c = help.RE->textCursor();
        c.setPosition(0);
        c.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
        help.RE->setTextCursor(c);
        clipboard->setText("before");
        QTest::keyClick(help.RE, Qt::Key_C, Qt::ControlModifier);
        copied = clipboard->text();
        selectionCleared = !help.RE->textCursor().hasSelection();
        // Without a selection nothing is copied.
        clipboard->setText("untouched");
        QTest::keyClick(help.RE, Qt::Key_C, Qt::ControlModifier);
        afterNoSelection = clipboard->text();
        help.RE->selectAll();
        QTest::keyClick(help.RE, Qt::Key_Insert, Qt::ShiftModifier);
        copiedByInsert = clipboard->text();
        // Releasing the right button opens the popup menu.
        QTest::mouseRelease(help.RE->viewport(), Qt::RightButton, {}, QPoint(10, 10));
        popupShown = help.PopupMenu_RE->isVisible();
        unprintableListed = help.mi_ShowUnprintable->isVisible();
        help.PopupMenu_RE->hide();
        QTest::keyClick(help.RE, Qt::Key_Escape);
        escClosed = !help.isVisible();
    };
    help.setHelpText("Caption\rHeading words\rsecond line");
    help.ShowHelp();
    EXPECT_EQ(copied, "Heading");
    EXPECT_TRUE(selectionCleared);
    EXPECT_EQ(afterNoSelection, "untouched");
    EXPECT_EQ(copiedByInsert, "Heading words\n\nsecond line");
    EXPECT_TRUE(popupShown);
    EXPECT_TRUE(unprintableListed);
    EXPECT_TRUE(escClosed);
    EXPECT_EQ(help.mi_Copy->text(), "Copy (Ctrl C)");
    EXPECT_EQ(help.mi_ShowUnprintable->text(), "Show unprintable characters");
}

TEST(HelpWindow, MouseTrackingClosesOnlyAfterTheWindowWasEntered)
{
    HelpWindow help;
    HelpProbe probe(help);
    bool timerRunning = false, stillOpenNeverEntered = false, openWithin50 = false, closedBeyond50 = false;
    probe.whileOpen = [&] {
        timerRunning = help.Timer1->isActive() && help.Timer1->interval() == 250;
        const QRect r = help.frameGeometry();
        help.trackMouse(r.topLeft() - QPoint(500, 500));
        stillOpenNeverEntered = help.isVisible() && !help.mouseEntered();
        help.trackMouse(r.center());
        help.trackMouse(QPoint(r.right() + 50, r.center().y()));
        help.trackMouse(QPoint(r.center().x(), r.top() - 50));
        openWithin50 = help.isVisible() && help.mouseEntered();
        help.trackMouse(QPoint(r.center().x(), r.bottom() + 51));
        closedBeyond50 = !help.isVisible();
    };
    help.setHelpText("Caption\rText");
    help.ShowHelp();
    EXPECT_TRUE(timerRunning);
    EXPECT_TRUE(stillOpenNeverEntered);
    EXPECT_TRUE(openWithin50);
    EXPECT_TRUE(closedBeyond50);
    EXPECT_FALSE(help.Timer1->isActive());
    // The next showing starts without the entered flag.
    bool reset = false;
    probe.whileOpen = [&] { reset = !help.mouseEntered(); };
    help.setHelpText("Caption\rText");
    help.ShowHelp();
    EXPECT_TRUE(reset);
}

TEST(HelpWindow, FirstShowingIsPlacedBesideTheLeftPanel)
{
    QWidget main;
    main.setGeometry(40, 30, 600, 400);
    QWidget left(&main);
    left.setGeometry(0, 0, 150, 400);
    main.show();
    HelpWindow help(&main);
    HelpProbe probe(help);
    help.setPlacementSource(&main, &left);
    EXPECT_FALSE(help.placed());
    QPoint first;
    probe.whileOpen = [&] { first = help.frameGeometry().topLeft(); };
    help.setHelpText("Caption\rText");
    help.ShowHelp();
    EXPECT_TRUE(help.placed());
    // Beside the left panel, 10 px down, unless the window (as wide as the
    // tutorials need) would reach past the screen's edge: then it is moved in.
    const QRect area = main.screen()->availableGeometry();
    EXPECT_EQ(first.y(), main.frameGeometry().top() + 10);
    EXPECT_EQ(first.x(),
              std::min(main.frameGeometry().left() + 150, area.right() + 1 - help.frameGeometry().width()));
    // Later showings leave the window where it is.
    help.move(first + QPoint(7, 5));
    QPoint second;
    probe.whileOpen = [&] { second = help.frameGeometry().topLeft(); };
    help.setHelpText("Caption\rText");
    help.ShowHelp();
    EXPECT_EQ(second, first + QPoint(7, 5));

    // Kept on the desktop: never further right than desktop width - own width.
    const int desktop = main.screen()->virtualGeometry().width();
    QWidget wide;
    wide.setGeometry(desktop - 100, 30, 600, 400);
    QWidget wideLeft(&wide);
    wideLeft.setGeometry(0, 0, 300, 400);
    HelpWindow clamped(&wide);
    HelpProbe clampedProbe(clamped);
    clamped.setPlacementSource(&wide, &wideLeft);
    QPoint at;
    clampedProbe.whileOpen = [&] { at = clamped.frameGeometry().topLeft(); };
    clamped.setHelpText("Caption\rText");
    clamped.ShowHelp();
    EXPECT_EQ(at.x(), desktop - clamped.frameGeometry().width());
}
