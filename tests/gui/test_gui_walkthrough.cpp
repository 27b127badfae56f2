// The window as a learner meets it: runs, marks, loading, editing and the
// error box, driven with the keys and clicks a learner uses.
#include "gui_window.h"
#include "environment/variables_view.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>

using namespace tesmora;
using namespace tesmora::test;

namespace {

// The texts of the status bar panels, left to right.
QStringList statusTexts(TForm_Interpretator &w)
{
    QStringList out;
    for (int i = 0; i < 7; ++i) {
        auto *panel = w.statusBar()->findChild<QLabel *>(QStringLiteral("StatusPanel%1").arg(i));
        out << (panel ? panel->text() : QStringLiteral("<missing>"));
    }
    return out;
}

// Names in column 0 of the global grid.
QStringList globalNames(TForm_Interpretator &w)
{
    QStringList out;
    QTableWidget *g = w.variablesView()->SG_GlobalVariables;
    for (int r = 0; r < g->rowCount(); ++r)
        if (g->item(r, 0) && !g->item(r, 0)->text().isEmpty())
            out << g->item(r, 0)->text();
    return out;
}

const QByteArray kCalls = "a = Outer(1)\n"       // 0
                          "b = a + 1\n"          // 1
                          "stop\n"               // 2
                          "function Outer(_x)\n" // 3
                          "  _y = Inner(_x)\n"   // 4
                          "  return _y + 1\n"    // 5
                          "function Inner(_z)\n" // 6
                          "  _w = _z * 10\n"     // 7
                          "  return _w\n";       // 8

} // namespace

TEST(Walkthrough, StepOverAfterStartMovesTheArrowWithTheExecutionPoint)
{
    Window t("x = 1\ny = Twice(x)\nz = y + 1\nstop\nfunction Twice(_a)\n  return _a * 2\n");
    t.showActive();
    t.key(Qt::Key_F10); // Start: fast mode
    ASSERT_TRUE(t.errors.isEmpty()) << t.errors.join("|").toStdString();
    EXPECT_EQ(t.ed().currentLineMarkLine(), 3);
    // Ctrl+click the calling line, then Step over it.
    clickGutter(t.ed(), 1, Qt::ControlModifier);
    EXPECT_EQ(t.in().currentLine(), 1);
    EXPECT_EQ(t.ed().currentLineMarkLine(), 1);
    t.key(Qt::Key_F7);
    EXPECT_EQ(t.in().currentLine(), 2);
    EXPECT_EQ(t.ed().currentLineMarkLine(), 2);
    EXPECT_EQ(t.ed().caretLine(), 2);
    EXPECT_EQ(t.var("y"), "2");
    // A plain line stepped over in fast mode moves the arrow too.
    t.key(Qt::Key_F7);
    EXPECT_EQ(t.ed().currentLineMarkLine(), 3);
    EXPECT_EQ(t.in().currentLine(), 3);
}

TEST(Walkthrough, LoadAndNewEndAPausedRunCompletely)
{
    Window t("g = 7\n"              // 0
             "a = Outer(g)\n"       // 1
             "stop\n"               // 2
             "function Outer(_x)\n" // 3
             "  _y = _x * 2\n"      // 4
             "  return _y\n",       // 5
             {{"other.txt", "p = 5\nq = p * 2\n"}});
    t.showActive();
    clickGutter(t.ed(), 5);
    t.key(Qt::Key_F10);
    ASSERT_EQ(t.in().currentLine(), 5);
    EXPECT_EQ(statusTexts(*t.w).mid(0, 3), QStringList({"Line=5", "Processing Level=1", "Function Level=1"}));
    EXPECT_EQ(globalNames(*t.w), QStringList({"g", "cmdLineParams[]"}));

    // Load another script: the views show it at once.
    t.w->chooseOpenFile = [&](const QString &) { return t.home.filePath("Scripts/other.txt"); };
    t.key(Qt::Key_L, Qt::ControlModifier);
    ASSERT_EQ(t.in().scriptLines().first(), "p = 5");
    EXPECT_EQ(statusTexts(*t.w).mid(0, 3), QStringList({"Line=0", "Processing Level=0", "Function Level=0"}));
    EXPECT_EQ(statusTexts(*t.w).at(5), "time 00:00");
    EXPECT_TRUE(globalNames(*t.w).isEmpty()) << globalNames(*t.w).join(",").toStdString();
    EXPECT_EQ(t.ed().currentLineMarkLine(), 0);
    // Continue runs the new script from its first line.
    t.key(Qt::Key_F10, Qt::ControlModifier);
    EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join("|").toStdString();
    EXPECT_EQ(t.var("q"), "10");
    EXPECT_EQ(t.in().currentLine(), 2);

    // Paused inside the function again, then New: Step and Continue start
    // the new script cleanly.
    t.w->chooseOpenFile = [&](const QString &) { return t.home.filePath("Scripts/test.txt"); };
    t.key(Qt::Key_L, Qt::ControlModifier);
    clickGutter(t.ed(), 5);
    t.key(Qt::Key_F10);
    ASSERT_EQ(t.in().currentLine(), 5);
    t.click(New);
    ASSERT_TRUE(t.w->editMode());
    EXPECT_EQ(statusTexts(*t.w).mid(0, 3), QStringList({"Line=0", "Processing Level=0", "Function Level=0"}));
    EXPECT_TRUE(globalNames(*t.w).isEmpty()) << globalNames(*t.w).join(",").toStdString();
    t.type("n = 3");
    t.key(Qt::Key_Return);
    t.type("m = n + 1");
    t.key(Qt::Key_F5);
    t.key(Qt::Key_F8);
    EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join("|").toStdString();
    EXPECT_EQ(t.var("n"), "3");
    EXPECT_EQ(t.in().currentLine(), 1);
    t.key(Qt::Key_F10, Qt::ControlModifier);
    EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join("|").toStdString();
    EXPECT_EQ(t.var("m"), "4");
}

TEST(Walkthrough, TheErrorBoxOpensWithTheFailingLineShown)
{
    Window t("x = 1\ny = Half(x)\nstop\nfunction Half(_v)\n  _h = _v / 2\n  return _h + q\n");
    t.showActive();
    // The learner clicked a variable: the editor has no focus.
    QTableWidget *grid = t.w->variablesView()->SG_GlobalVariables;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_FALSE(t.ed().SynEditor()->hasFocus());

    struct Seen {
        int mark = -1, caret = -1;
        bool fastEnabled = true, pauseEnabled = true, stepEnabled = false;
        QColor lineBackground;
    };
    QList<Seen> seen;
    t.w->reportError = [&](const QString &text) {
        t.errors << text;
        Seen s;
        s.mark = t.ed().currentLineMarkLine();
        s.caret = t.ed().caretLine();
        s.fastEnabled = t.enabled(Fast);
        s.pauseEnabled = t.enabled(Pause);
        s.stepEnabled = t.enabled(Step);
        // The background right of the failing line's text.
        QsciScintilla *sci = t.ed().SynEditor();
        const QImage img = sci->viewport()->grab().toImage();
        const QPoint p = linePoint(t.ed(), s.caret, sci->viewport()->width() - 30);
        s.lineBackground = img.pixelColor(p * img.devicePixelRatio());
        seen << s;
        t.shoot(QStringLiteral("error-box-moment-%1").arg(seen.size()));
    };
    for (Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        if (mods) // Continue from the first line
            clickGutter(t.ed(), 0, Qt::ControlModifier);
        const qsizetype before = seen.size();
        t.key(Qt::Key_F10, mods);
        ASSERT_EQ(seen.size(), before + 1);
        const Seen &s = seen.last();
        EXPECT_EQ(s.mark, 5);
        EXPECT_EQ(s.caret, 5);
        EXPECT_FALSE(s.fastEnabled);
        EXPECT_FALSE(s.pauseEnabled);
        EXPECT_TRUE(s.stepEnabled);
        EXPECT_EQ(s.lineBackground, ScriptEditor::activeLineColor());
    }
}

TEST(Walkthrough, AFullStopOnlyOffersCompletionWhereANameCanFollow)
{
    Window t("x = 1\n");
    t.showActive();
    t.key(Qt::Key_F4);
    ASSERT_TRUE(t.w->editMode());
    QsciScintilla *sci = t.ed().SynEditor();
    sci->setFocus();
    sci->clear();
    // No list after a full stop in a comment, in a string or after a digit:
    // Enter breaks the line.
    for (const QString &typed :
         {QStringLiteral("# add them up."), QStringLiteral("k = 3."), QStringLiteral("s = 'one. two.")}) {
        t.type(typed);
        EXPECT_FALSE(t.ed().isCompletionActive()) << typed.toStdString();
        t.key(Qt::Key_Return);
    }
    EXPECT_EQ(t.ed().lines(), QStringList({"# add them up.", "k = 3.", "s = 'one. two.", ""}));

    // After a name the list pops up by itself; a bare Enter closes it and
    // breaks the line.
    t.type("r = x.");
    EXPECT_TRUE(t.ed().isCompletionActive());
    t.key(Qt::Key_Return);
    EXPECT_FALSE(t.ed().isCompletionActive());
    EXPECT_EQ(t.ed().lines().mid(3), QStringList({"r = x.", ""}));
    // Typed into, the list completes with Enter.
    t.type("p = x.Upper");
    ASSERT_TRUE(t.ed().isCompletionActive());
    t.key(Qt::Key_Return);
    EXPECT_EQ(t.ed().lines().value(4), "p = x.UpperCase");
    // Moved in, too.
    t.key(Qt::Key_Return);
    t.type("m = x.");
    ASSERT_TRUE(t.ed().isCompletionActive());
    t.key(Qt::Key_Down);
    t.key(Qt::Key_Return);
    EXPECT_NE(t.ed().lines().value(5), "m = x.");
    EXPECT_TRUE(t.ed().lines().value(5).startsWith("m = x.")) << t.ed().lines().value(5).toStdString();
    EXPECT_EQ(t.ed().lines().size(), 6);
    // Opened by Ctrl+Space, Enter takes the entry.
    t.key(Qt::Key_Return);
    t.type("UpperC");
    t.key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(t.ed().isCompletionActive());
    t.key(Qt::Key_Return);
    EXPECT_EQ(t.ed().lines().value(6), "UpperCase");
}

TEST(Walkthrough, CancelKeepsTheUnsavedFlagTheRestoredTextDeserves)
{
    Window t("x = 1\n");
    t.showActive();
    t.click(New);
    ASSERT_TRUE(t.w->editMode());
    t.type("mine = 1");
    t.key(Qt::Key_F5); // Work: the text is taken over, never saved
    ASSERT_TRUE(t.w->unsavedChanges());
    t.key(Qt::Key_F4);
    t.type("2");
    t.click(Cancel);
    EXPECT_EQ(t.in().scriptLines().first(), "mine = 1");
    EXPECT_TRUE(t.w->unsavedChanges());
    // Load asks before the worked-in text goes; No keeps it.
    t.answer = false;
    int dialogs = 0;
    t.w->chooseOpenFile = [&](const QString &) {
        ++dialogs;
        return QString();
    };
    t.key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(t.questions.size(), 1);
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(t.ed().lines().first(), "mine = 1");

    // A saved script edited and cancelled stays saved.
    t.w->chooseSaveFile = [&](const QString &) { return t.home.filePath("Scripts/mine.txt"); };
    t.key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(t.w->unsavedChanges());
    t.key(Qt::Key_F4);
    t.type("3");
    t.click(Cancel);
    EXPECT_FALSE(t.w->unsavedChanges());
}

TEST(Walkthrough, BreakpointsOnTheFirstLineOfAFunctionBodyAndOfTheScript)
{
    Window t(kCalls);
    t.showActive();
    clickGutter(t.ed(), 4); // first body line of Outer
    t.key(Qt::Key_F10);
    EXPECT_EQ(t.in().currentLine(), 4);
    EXPECT_EQ(t.ed().currentLineMarkLine(), 4);
    EXPECT_EQ(t.in().currentFunctionLevel(), 1);
    EXPECT_EQ(t.var("_y"), "");
    // Continue executes the breakpoint line and runs to the end.
    t.key(Qt::Key_F10, Qt::ControlModifier);
    EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join("|").toStdString();
    EXPECT_EQ(t.var("b"), "12");

    // The first body line of a function called from a function.
    clickGutter(t.ed(), 4);
    clickGutter(t.ed(), 7);
    t.key(Qt::Key_F10);
    EXPECT_EQ(t.in().currentLine(), 7);
    EXPECT_EQ(t.in().currentFunctionLevel(), 2);
    EXPECT_EQ(t.var("_w"), "");
    t.key(Qt::Key_F10, Qt::ControlModifier);
    EXPECT_EQ(t.var("b"), "12");

    // The script's first line: Start stops before it, Continue runs it.
    clickGutter(t.ed(), 7);
    clickGutter(t.ed(), 0);
    t.key(Qt::Key_F10);
    EXPECT_EQ(t.in().currentLine(), 0);
    EXPECT_EQ(t.var("a"), "");
    t.key(Qt::Key_F10, Qt::ControlModifier);
    EXPECT_EQ(t.var("b"), "12");
    EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join("|").toStdString();
}

TEST(Walkthrough, TheArrowAndTheMarksOfItsLineShowTogether)
{
    Window t("a = 1\nb = 2\nc = 3\nd = 4\ne = 5\n");
    t.w->resize(900, 600);
    t.showActive();
    clickGutter(t.ed(), 1); // a breakpoint
    t.ed().setCaret(1, 0);
    t.key(Qt::Key_2, Qt::ControlModifier | Qt::ShiftModifier); // bookmark 2 on the same line
    clickGutter(t.ed(), 1, Qt::ControlModifier);               // and the arrow
    ASSERT_TRUE(t.ed().hasBreakpoint(1));
    ASSERT_EQ(t.ed().bookmarkLine(2), 1);
    ASSERT_EQ(t.ed().currentLineMarkLine(), 1);
    t.shoot("marks-and-arrow");
    // Along line 1 of the gutter: the red breakpoint dot, the dark blue
    // bookmark and the yellow arrow, side by side.
    QsciScintilla *sci = t.ed().SynEditor();
    const QImage img = sci->viewport()->grab().toImage();
    const int y = linePoint(t.ed(), 1, 0).y();
    int gutter = 0;
    for (unsigned long m = 0; m < 3; ++m)
        gutter += static_cast<int>(sci->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, m));
    bool dot = false, bookmark = false, arrow = false;
    for (int x = 0; x < gutter; ++x) {
        const QColor c = img.pixelColor(QPoint(x, y) * img.devicePixelRatio());
        dot = dot || (c.red() > 180 && c.green() < 90 && c.blue() < 90);
        bookmark = bookmark || (c.red() < 70 && c.green() < 80 && c.blue() > 80 && c.blue() < 140);
        arrow = arrow || (c.red() > 220 && c.green() > 190 && c.blue() < 90);
    }
    EXPECT_TRUE(dot);
    EXPECT_TRUE(bookmark);
    EXPECT_TRUE(arrow);
}

TEST(Walkthrough, StatusBarFastToggleAndTimeForTheCurrentRun)
{
    Window t("x = 1\nfor i = 1, 3\n  x = x * 2\n");
    t.showActive();
    // Fast stays visible as a toggle after the run: on after Start, off after Continue.
    t.key(Qt::Key_F10);
    t.shoot("fast-after-start");
    EXPECT_TRUE(t.act(Fast)->isCheckable());
    EXPECT_TRUE(t.act(Fast)->isChecked());
    clickGutter(t.ed(), 0, Qt::ControlModifier);
    t.key(Qt::Key_F10, Qt::ControlModifier);
    EXPECT_FALSE(t.act(Fast)->isChecked());
    EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join("|").toStdString();

    // A narrow window: every panel stays inside its own room.
    clickGutter(t.ed(), 2);
    t.key(Qt::Key_F10); // stops in the loop: every panel has text
    ASSERT_EQ(statusTexts(*t.w).at(3), "loop counter=1");
    t.w->resize(520, 400);
    QApplication::processEvents();
    t.shoot("narrow-status-bar");
    int right = 0;
    for (int i = 0; i < 7; ++i) {
        auto *panel = t.w->statusBar()->findChild<QLabel *>(QStringLiteral("StatusPanel%1").arg(i));
        ASSERT_NE(panel, nullptr);
        if (!panel->isVisible())
            continue;
        const QRect r = panel->geometry();
        EXPECT_GE(r.left(), right) << i;
        EXPECT_LE(r.right(), t.w->statusBar()->width()) << i;
        right = r.right();
    }
}

TEST(Walkthrough, TheLoadDialogHidesHandOverCopiesAndAddsTxt)
{
    Window t("x = 1\n", {{"other.txt", "o = 5\n"}, {"$$$.tmp", "x"}, {"$$$1.tmp", "y"}});
    t.showActive();
    QStringList listed;
    bool typed = false;
    // The learner looks at the list, types "other" and presses Enter.
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!view || !name) {
            dialog->reject();
            return;
        }
        const auto names = [&] {
            QStringList out;
            for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
                out << view->model()->index(r, 0, view->rootIndex()).data().toString();
            return out;
        };
        // The folder is read in the background; what it listed is checked below.
        (void)QTest::qWaitFor([&] { return names().contains("other.txt") && names().contains("test.txt"); },
                              5000);
        dialog->setNameFilter(QStringLiteral("all files (*)")); // the hand-over files are not *.txt
        (void)QTest::qWaitFor([&] { return names().contains("other.txt"); }, 5000);
        listed = names();
        shoot(dialog, QStringLiteral("load-dialog"));
        name->clear();
        QTest::keyClicks(name, QStringLiteral("other"));
        QTest::keyClick(name, Qt::Key_Return);
        typed = true;
        if (dialog->isVisible())
            dialog->reject();
    });
    t.key(Qt::Key_L, Qt::ControlModifier);
    ASSERT_TRUE(typed);
    EXPECT_TRUE(listed.contains("other.txt")) << listed.join(",").toStdString();
    EXPECT_FALSE(listed.contains("$$$.tmp")) << listed.join(",").toStdString();
    EXPECT_FALSE(listed.contains("$$$1.tmp")) << listed.join(",").toStdString();
    EXPECT_EQ(t.w->scriptFileName(), t.home.filePath("Scripts/other.txt"));
    EXPECT_EQ(t.in().scriptLines().first(), "o = 5");
}

TEST(Walkthrough, StartUpWithoutAScriptReportsOverTheWorkingModeToolbar)
{
    QTemporaryDir home;
    QDir(home.path()).mkpath("Scripts");
    qputenv("TESMORA_HOME", home.path().toUtf8());
    Desktop desktop;
    TForm_Interpretator w({}, desktop.adapters());
    QStringList errors;
    QStringList shownAtTheBox;
    w.reportError = [&](const QString &text) {
        errors << text;
        for (int tag : {Start, Step, Edit, Work, Cancel, Kbd, Replace, Fast, Pause})
            if (w.action(tag)->isVisible())
                shownAtTheBox << w.action(tag)->objectName();
    };
    w.StartUp();
    qunsetenv("TESMORA_HOME");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Invalid file name")) << errors[0].toStdString();
    EXPECT_EQ(shownAtTheBox, QStringList({"A_Step", "A_Edit", "a_Fast", "A_Pause"}));
}

TEST(Walkthrough, PauseAndClosingInterruptAnEndlessJavaScriptEvaluation)
{
    Window t("x = Eval('6*7')\ny = Eval('while(true){}')\nz = 2\n");
    t.showActive();
    const QString interrupted = t.in().MessageText(361);
    // Pause clicked while the evaluation spins: the window still answers,
    // and the line ends in its run-time error with the line marked.
    QTimer::singleShot(300, t.w.get(), [&] {
        EXPECT_TRUE(t.enabled(Pause));
        t.click(Pause);
    });
    t.key(Qt::Key_F10);
    ASSERT_EQ(t.errors.size(), 1);
    EXPECT_TRUE(t.errors[0].startsWith(interrupted)) << t.errors[0].toStdString();
    EXPECT_TRUE(t.errors[0].contains(QStringLiteral("Line 1."))) << t.errors[0].toStdString();
    EXPECT_EQ(t.var("x"), "42");
    EXPECT_EQ(t.var("z"), "");
    EXPECT_EQ(t.ed().currentLineMarkLine(), 1);
    EXPECT_FALSE(t.enabled(Pause));
    EXPECT_TRUE(t.enabled(Step));

    // Closing the window interrupts the evaluation too; the window stays
    // open, because a run was going on, and the interrupted engine still
    // serves the evaluations of the next run.
    QTimer::singleShot(300, t.w.get(), [&] { t.w->close(); });
    t.key(Qt::Key_F10);
    ASSERT_EQ(t.errors.size(), 2);
    EXPECT_TRUE(t.errors[1].startsWith(interrupted)) << t.errors[1].toStdString();
    EXPECT_TRUE(t.w->isVisible());
    EXPECT_EQ(t.var("x"), "42");
}
