// The main window driven offscreen: modes, actions, runs, files.
#include "gui_window.h"
#include "environment/variables_view.h"

#include <QElapsedTimer>
#include <QTableWidget>
#include <QToolButton>
#include <QTimer>

using namespace tesmora;
using namespace tesmora::test;

namespace {

// Replaces the editor's text the way typing does (the editor counts it as a change).
void typeText(ScriptEditor *ed, const QString &text)
{
    ed->SynEditor()->selectAll();
    ed->SynEditor()->replaceSelectedText(text);
}

QString readUtf8(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing>");
    QByteArray b = f.readAll();
    EXPECT_TRUE(b.startsWith("\xEF\xBB\xBF")) << path.toStdString();
    return QString::fromUtf8(b.mid(3));
}

} // namespace

TEST(MainWindow, StartUpAndTheActionStateTable)
{
    Window t("x = 1\ny = x + 1\n");
    EXPECT_TRUE(t.errors.isEmpty());
    EXPECT_EQ(t.in().scriptLines(), QStringList({"x = 1", "y = x + 1", "stop"}));
    EXPECT_EQ(t.w->windowTitle(), "Tesmora   " + t.home.filePath("Scripts/test.txt"));
    EXPECT_EQ(t.w->editor()->currentLineMarkLine(), 0);
    EXPECT_FALSE(t.w->unsavedChanges());
    // Working mode, not running.
    EXPECT_TRUE(t.w->editor()->isReadOnly());
    for (int tag : {Edit, Start, Continue, Step, StepOver, Load, New, Save}) {
        EXPECT_TRUE(t.shown(tag)) << tag;
        EXPECT_TRUE(t.enabled(tag)) << tag;
    }
    EXPECT_TRUE(t.shown(Fast));
    EXPECT_FALSE(t.enabled(Fast));
    EXPECT_TRUE(t.shown(Pause));
    EXPECT_FALSE(t.enabled(Pause));
    EXPECT_TRUE(t.enabled(Settings));
    EXPECT_TRUE(t.shown(Find));
    for (int tag : {Replace, Work, Cancel, Kbd})
        EXPECT_FALSE(t.shown(tag)) << tag;
    EXPECT_TRUE(t.shown(Help));
    // Working mode, running.
    t.w->SetActionStatus_WorkMode(true);
    for (int tag : {Edit, Step, StepOver, Load, New, Save, Continue}) {
        EXPECT_TRUE(t.shown(tag)) << tag;
        EXPECT_FALSE(t.enabled(tag)) << tag;
    }
    EXPECT_FALSE(t.shown(Start));
    EXPECT_TRUE(t.enabled(Fast));
    EXPECT_TRUE(t.enabled(Pause));
    EXPECT_FALSE(t.enabled(Settings));
    EXPECT_FALSE(t.enabled(Font));
    EXPECT_FALSE(t.shown(Find));
    EXPECT_FALSE(t.shown(Help));
    // Edit mode.
    t.w->SetActionStatus_WorkMode(false);
    t.act(Edit)->trigger();
    EXPECT_TRUE(t.w->editMode());
    EXPECT_FALSE(t.w->editor()->isReadOnly());
    for (int tag : {Edit, Start, Continue, Step, StepOver, Load, New, Save, Fast, Pause})
        EXPECT_FALSE(t.shown(tag)) << tag;
    for (int tag : {Find, Replace, Work, Cancel, Kbd, Help})
        EXPECT_TRUE(t.shown(tag)) << tag;
    EXPECT_TRUE(t.enabled(Replace));
    // Back to working mode: Step over is visible again.
    t.act(Cancel)->trigger();
    EXPECT_FALSE(t.w->editMode());
    EXPECT_TRUE(t.shown(StepOver));

    // A one-line script: Start hidden, Continue disabled, Step enabled.
    Window one("stop\n");
    EXPECT_FALSE(one.shown(Start));
    EXPECT_FALSE(one.enabled(Continue));
    EXPECT_TRUE(one.enabled(Step));
}

TEST(MainWindow, RunsThroughTheActions)
{
    Window t("y = Area(3, 4)\nz = y + 1\nw = z * 2\nstop\nfunction Area(_w, _h)\n  return _w * _h\n");
    // Step enters the function, the RETURN step re-executes the calling line.
    t.act(Step)->trigger();
    EXPECT_EQ(t.in().currentLine(), 5);
    EXPECT_EQ(t.w->editor()->currentLineMarkLine(), 5);
    t.act(Step)->trigger();
    EXPECT_EQ(t.in().currentLine(), 1);
    EXPECT_EQ(t.var("y"), "12");
    // The locals have gone; the global grid shows y.
    EXPECT_GE(t.w->variablesView()->SG_GlobalVariables->rowCount(), 1);
    // Step over a plain line, then Continue to the end.
    t.act(StepOver)->trigger();
    EXPECT_EQ(t.var("z"), "13");
    EXPECT_EQ(t.in().currentLine(), 2);
    t.act(Continue)->trigger();
    EXPECT_EQ(t.var("w"), "26");
    EXPECT_EQ(t.in().currentLine(), 3);
    EXPECT_EQ(t.in().runState(), rn_Stopped);
    // A breakpoint stops Start before its line.
    t.w->editor()->setBreakpoint(2, true);
    t.act(Start)->trigger();
    EXPECT_EQ(t.in().currentLine(), 2);
    EXPECT_EQ(t.var("w"), "");
    EXPECT_TRUE(t.enabled(Step));
    // An error is reported once and the run stops on the failing line.
    Window bad("x = 1\ny = q\n");
    bad.act(Start)->trigger();
    EXPECT_EQ(bad.errors, QStringList({"Unrecognised identifier \"q\".\r\rLine 1."}));
    EXPECT_EQ(bad.in().currentLine(), 1);
}

TEST(MainWindow, EditWorkAndCancel)
{
    Window t("a = 1\nb = 2\nc = 3\n");
    ScriptEditor *ed = t.w->editor();
    ed->setBreakpoint(1, true);
    t.act(Step)->trigger();
    const QList<EditorMark> before = ed->marks();
    // Work without an edit prepares nothing and writes no hand-over copy.
    t.act(Edit)->trigger();
    t.act(Work)->trigger();
    EXPECT_FALSE(QFile::exists(t.home.filePath("Scripts/$$$.tmp")));
    EXPECT_FALSE(t.w->unsavedChanges());
    // Cancel after an edit restores the text and every mark.
    t.act(Edit)->trigger();
    ASSERT_TRUE(t.w->editMode());
    typeText(ed, "changed = 1");
    ed->clearMarks();
    t.act(Cancel)->trigger();
    EXPECT_EQ(ed->lines(), QStringList({"a = 1", "b = 2", "c = 3", "stop"}));
    EXPECT_EQ(ed->marks(), before);
    EXPECT_TRUE(ed->hasBreakpoint(1));
    EXPECT_FALSE(t.w->unsavedChanges());
    // Work takes the edit over, prepares it and writes the hand-over copy.
    t.act(Edit)->trigger();
    typeText(ed, "d = 4\ne = d * 2");
    t.act(Work)->trigger();
    EXPECT_EQ(t.in().scriptLines(), QStringList({"d = 4", "e = d * 2", "stop"}));
    EXPECT_TRUE(t.w->unsavedChanges());
    EXPECT_EQ(readUtf8(t.home.filePath("Scripts/$$$.tmp")), "d = 4\r\ne = d * 2\r\nstop\r\n");
    // More than 1000 lines are refused with message 27.
    t.act(Edit)->trigger();
    QStringList many;
    for (int i = 0; i < 1001; ++i)
        many << QStringLiteral("x = %1").arg(i);
    typeText(ed, many.join('\n'));
    t.act(Work)->trigger();
    EXPECT_EQ(t.errors.last(), "Script is too long. The number of lines of the script can't exceed 1000.'");
    EXPECT_EQ(t.in().scriptLines().size(), 3);
}

TEST(MainWindow, ARenamedFunctionIsNotCalledByAnEarlierRunsWords)
{
    // The learner's path: run, edit the function header, Work, run again.
    Window t("x = Trim(' a ')\nstop\nfunction Trim(_s)\n  return 'mine'\n");
    t.act(Start)->trigger();
    EXPECT_EQ(t.var("x"), "mine");
    t.act(Edit)->trigger();
    typeText(t.w->editor(), "x = Trim(' a ')\nstop\nfunction Trim2(_s)\n  return 'mine'");
    t.act(Work)->trigger();
    t.act(Start)->trigger();
    EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join('|').toStdString();
    EXPECT_EQ(t.var("x"), "a");
}

TEST(MainWindow, UnsavedChangesAreConfirmedBeforeLoadNewAndClose)
{
    Window t("a = 1\n");
    t.act(Edit)->trigger();
    typeText(t.w->editor(), "mine = 1");
    t.act(Work)->trigger();
    ASSERT_TRUE(t.w->unsavedChanges());
    // No keeps the current script: no dialog, no load.
    t.answer = false;
    int dialogs = 0;
    t.w->chooseOpenFile = [&](const QString &) {
        ++dialogs;
        return QString();
    };
    t.act(Load)->trigger();
    EXPECT_EQ(dialogs, 0);
    ASSERT_EQ(t.questions.size(), 1);
    EXPECT_TRUE(
        t.questions[0].startsWith("Text of current script has been changed.\rIf You load a new script"));
    t.act(New)->trigger();
    EXPECT_EQ(t.questions.size(), 2);
    EXPECT_EQ(t.in().scriptLines().first(), "mine = 1");
    // Closing asks message 29; No refuses.
    EXPECT_FALSE(t.w->close());
    EXPECT_TRUE(t.questions.last().contains("If You close the program"));
    // Yes on Load: the chosen file without extension gets ".txt".
    t.answer = true;
    writeFile(t.home.filePath("Scripts/other.txt"), "o = 5\n");
    t.w->chooseOpenFile = [&](const QString &) { return t.home.filePath("Scripts/other"); };
    t.act(Load)->trigger();
    EXPECT_EQ(t.w->scriptFileName(), t.home.filePath("Scripts/other.txt"));
    EXPECT_EQ(t.in().scriptLines().first(), "o = 5");
    EXPECT_FALSE(t.w->unsavedChanges());
    // New: an empty script in edit mode.
    t.act(New)->trigger();
    EXPECT_TRUE(t.w->editMode());
    EXPECT_TRUE(t.w->scriptFileName().isEmpty());
}

TEST(MainWindow, SaveWritesIncludeBlocksBack)
{
    Window t("x = Area(2, 3)\nstop\n# include lib.txt\n",
             {{"lib.txt", "function Area(_w, _h)\n  return _w * _h"}});
    t.act(Start)->trigger();
    EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join("|").toStdString();
    EXPECT_EQ(t.var("x"), "6");
    const QString target = t.home.filePath("Scripts/saved.");
    t.w->chooseSaveFile = [&](const QString &) { return target; };
    const QByteArray libBefore = [&] {
        QFile f(t.home.filePath("Scripts/lib.txt"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    t.act(Save)->trigger();
    // A name ending in a full stop is saved with ".txt".
    EXPECT_EQ(t.w->scriptFileName(), t.home.filePath("Scripts/saved.txt"));
    EXPECT_EQ(readUtf8(t.home.filePath("Scripts/saved.txt")),
              "x = Area(2, 3)\r\nstop\r\n# include lib.txt\r\n");
    // The included file held the same text: it is not rewritten.
    QFile lib(t.home.filePath("Scripts/lib.txt"));
    ASSERT_TRUE(lib.open(QIODevice::ReadOnly));
    EXPECT_EQ(lib.readAll(), libBefore);
    lib.close();
    // A changed block line rewrites the included file.
    const int bodyLine = static_cast<int>(t.in().scriptLines().indexOf("  return _w * _h"));
    ASSERT_GT(bodyLine, 0);
    QStringList edited = t.in().scriptLines();
    edited[bodyLine] = "  return _w * _h * 10";
    t.in().setScriptLines(edited);
    t.act(Save)->trigger();
    EXPECT_EQ(readUtf8(t.home.filePath("Scripts/lib.txt")), "function Area(_w, _h)\r\n  return _w * _h * 10");
    // An unterminated block is reported and marked in the saved file.
    t.in().setScriptLines({"a = 1", "# include other.txt", "b = 2"});
    t.act(Save)->trigger();
    EXPECT_TRUE(t.errors.last().startsWith("End of \"INCLUDE\" block not found"));
    EXPECT_EQ(readUtf8(t.home.filePath("Scripts/saved.txt")), "a = 1\r\n#??? include other.txt\r\nb = 2\r\n");
}

TEST(MainWindow, InterfaceLanguage)
{
    Window t("a = 1\nb = 2\n");
    t.w->setLanguage(1);
    EXPECT_EQ(t.act(Start)->text(), catalogueText(301, 1));
    EXPECT_EQ(t.act(Start)->toolTip(), catalogueText(302, 1));
    EXPECT_EQ(t.act(Help)->text(), catalogueText(337, 1));
    EXPECT_TRUE(t.w->windowTitle().startsWith(QString::fromUtf8("Тесмора   ")));
    t.act(Start)->trigger();
    t.w->setLanguage(0);
    EXPECT_EQ(t.act(Step)->text(), "Step");
    EXPECT_EQ(t.act(Step)->toolTip(), "One line step.");
}

TEST(MainWindow, ExternalEditor)
{
    Window t("a = 1\nb = 2\n");
    // Without an editor path: message 180; a missing program: message 170.
    t.w->setEditorKind("ekExternal", "");
    t.act(Edit)->trigger();
    EXPECT_TRUE(t.errors.last().startsWith("The external text editor file is not specified."));
    t.w->setEditorKind("ekExternal", t.home.filePath("no-such-editor"));
    t.act(Edit)->trigger();
    EXPECT_EQ(t.errors.last(),
              "Invalid file name \"" + t.home.filePath("no-such-editor") + "\" or no access.");
    EXPECT_FALSE(t.w->editMode());

    // An editor that changes the file: the text comes back, longer than
    // 16384 bytes, without a byte-order mark, and is taken over as by Work.
    const QString editor = t.home.filePath("edit.sh");
    QStringList lines;
    for (int i = 0; i < 900; ++i)
        lines << QStringLiteral("value_%1 = %1 + 1000000").arg(i);
    writeFile(t.home.filePath("new.txt"), lines.join("\r\n").toUtf8());
    writeFile(
        editor,
        QStringLiteral("#!/bin/sh\nsleep 1.2\ncp \"%1\" \"$2\"\n").arg(t.home.filePath("new.txt")).toUtf8());
    QFile::setPermissions(editor, QFile::permissions(editor) | QFileDevice::ExeOwner);
    // The setting may carry arguments after the program.
    t.w->setEditorKind("ekExternal", editor + " --flag");
    t.act(Edit)->trigger();
    EXPECT_FALSE(t.w->editMode());
    ASSERT_EQ(t.in().scriptLines().size(), 901);
    EXPECT_EQ(t.in().scriptLines().at(899), "value_899 = 899 + 1000000");
    EXPECT_EQ(t.in().scriptLines().last(), "stop");
    EXPECT_TRUE(t.w->unsavedChanges());
    // The text handed over starts with a byte-order mark.
    QFile handed(t.home.filePath("Scripts/$$$1.tmp"));
    ASSERT_TRUE(handed.open(QIODevice::ReadOnly));
    EXPECT_FALSE(handed.readAll().startsWith("\xEF\xBB\xBF")); // replaced by the editor's copy

    // An editor that leaves the file alone changes nothing.
    writeFile(editor, "#!/bin/sh\ntrue\n");
    t.act(Edit)->trigger();
    EXPECT_EQ(t.in().scriptLines().size(), 901);
}

TEST(MainWindow, EditorDialogsFollowTheInterfaceLanguage)
{
    Window t("a = 1\nb = 2\n");
    t.w->setLanguage(1);
    EXPECT_EQ(t.w->editor()->language(), 1);
    t.w->setLanguage(0);
    EXPECT_EQ(t.w->editor()->language(), 0);
}

// Should the Pause key not be seen within `ms`, the Pause button ends the
// run, so that a missed key fails the test instead of hanging it.
class PauseSafetyNet {
    QTimer timer_;
    bool used_ = false;

  public:
    PauseSafetyNet(Window &t, int ms)
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, t.w.get(), [this, &t] {
            used_ = true;
            t.click(Pause);
        });
        timer_.start(ms);
    }
    bool used() const { return used_; }
};

TEST(MainWindow, ThePauseKeyStopsARunningScriptAtTheLineItReached)
{
    Window t("n = 0\nrepeat\n  n = n + 1\nstop\n");
    t.showActive();
    // The key goes down while the run goes on (inside its event processing).
    QTimer::singleShot(0, t.w.get(), [&] { QTest::keyPress(t.w.get(), Qt::Key_Pause); });
    const PauseSafetyNet net(t, 20000);
    t.key(Qt::Key_F10);
    EXPECT_FALSE(net.used());
    QTest::keyRelease(t.w.get(), Qt::Key_Pause);
    EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join('|').toStdString();
    EXPECT_FALSE(t.var("n").isEmpty()); // the run had begun
    EXPECT_EQ(t.in().runState(), rn_Stopped);
    EXPECT_FALSE(t.enabled(Pause));
    EXPECT_TRUE(t.enabled(Step));
    EXPECT_EQ(t.ed().currentLineMarkLine(), t.in().currentLine());
}

TEST(MainWindow, AScriptCutOnLoadingIsNeverSavedOverItsLongerFile)
{
    Window t("a = 1\n");
    QByteArray longText;
    for (int i = 0; i < 1500; ++i)
        longText += "x = " + QByteArray::number(i) + "\r\n";
    const QString longPath = t.home.filePath("Scripts/long.txt");
    writeFile(longPath, longText);
    t.w->chooseOpenFile = [&](const QString &) { return longPath; };
    t.click(Load);
    // The learner is told that only the first lines were taken.
    ASSERT_FALSE(t.errors.isEmpty());
    EXPECT_TRUE(t.errors.last().contains("1000")) << t.errors.last().toStdString();
    EXPECT_EQ(t.in().scriptLines().at(999), "x = 999");
    EXPECT_FALSE(t.in().scriptLines().contains("x = 1000"));
    // The cut script is a new script: no name, the caption of a new script.
    EXPECT_TRUE(t.w->scriptFileName().isEmpty());
    EXPECT_TRUE(t.in().scriptFileName().isEmpty());
    EXPECT_FALSE(t.w->windowTitle().contains("long.txt")) << t.w->windowTitle().toStdString();
    // Save asks for a name without offering the long file, and the long file stays whole.
    QString offered = QStringLiteral("(not asked)");
    const QString copyPath = t.home.filePath("Scripts/first_part.txt");
    t.w->chooseSaveFile = [&](const QString &initial) {
        offered = initial;
        return copyPath;
    };
    t.click(Save);
    EXPECT_TRUE(offered.isEmpty()) << offered.toStdString();
    QFile original(longPath);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), longText);
    EXPECT_TRUE(readUtf8(copyPath).contains("x = 999\r\n"));
    EXPECT_FALSE(readUtf8(copyPath).contains("x = 1000"));
    EXPECT_EQ(t.w->scriptFileName(), copyPath);
    // A script that fits keeps its name as before.
    writeFile(t.home.filePath("Scripts/short.txt"), "b = 2\n\n\n");
    t.w->chooseOpenFile = [&](const QString &) { return t.home.filePath("Scripts/short.txt"); };
    t.click(Load);
    EXPECT_EQ(t.w->scriptFileName(), t.home.filePath("Scripts/short.txt"));
}

TEST(MainWindow, ThePauseKeyStopsARunWithFastOffEveryTime)
{
    Window t("n = 0\nrepeat\n  n = n + 1\n  a = n * 2\nstop\n");
    t.showActive();
    QElapsedTimer clock;
    clock.start();
    for (int press = 1; press <= 6; ++press) {
        qint64 pressedAt = -1;
        // A quick tap: the key goes down and up again between two looks of
        // the run at its window.
        QTimer::singleShot(150, t.w.get(), [&] {
            pressedAt = clock.elapsed();
            QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : t.w.get();
            QTest::keyClick(target, Qt::Key_Pause);
        });
        const PauseSafetyNet net(t, 3000);
        t.key(Qt::Key_F10, Qt::ControlModifier); // Continue: Fast is off
        const qint64 stoppedAt = clock.elapsed();
        EXPECT_FALSE(net.used()) << "press " << press;
        EXPECT_FALSE(t.in().fastMode());
        EXPECT_EQ(t.in().runState(), rn_Stopped);
        EXPECT_GE(pressedAt, 0);
        EXPECT_LT(stoppedAt - pressedAt, 500) << "press " << press;
        EXPECT_TRUE(t.enabled(Step));
    }
    EXPECT_TRUE(t.errors.isEmpty()) << t.errors.join('|').toStdString();
}

TEST(MainWindow, FastShowsFastModeDuringARun)
{
    Window t("n = 0\nrepeat\n  n = n + 1\nstop\n");
    t.showActive();
    auto *fast = qobject_cast<QToolButton *>(
        t.w->findChild<ToolbarStrip *>()->toolBar()->widgetForAction(t.act(Fast)));
    ASSERT_NE(fast, nullptr);
    // Each run is watched once it goes on, then ended by the Pause button.
    auto watch = [&](const std::function<void()> &look) {
        QTimer::singleShot(100, t.w.get(), [&, look] {
            look();
            t.click(Pause);
        });
    };
    // Continue runs with Fast off.
    bool onDuringContinue = true;
    watch([&] { onDuringContinue = fast->isChecked(); });
    t.key(Qt::Key_F10, Qt::ControlModifier);
    EXPECT_FALSE(onDuringContinue);
    // Start runs with Fast on, and shows it; Ctrl+T turns it off and back on.
    bool onDuringStart = false, enabledDuringStart = false, offAfterToggle = false, onAgain = false;
    watch([&] {
        onDuringStart = fast->isChecked() && t.act(Fast)->isChecked();
        enabledDuringStart = fast->isEnabled();
        t.shoot(QStringLiteral("fast_on_during_start"));
        t.key(Qt::Key_T, Qt::ControlModifier);
        offAfterToggle = !fast->isChecked() && !t.in().fastMode();
        t.key(Qt::Key_T, Qt::ControlModifier);
        onAgain = fast->isChecked() && t.in().fastMode();
    });
    t.key(Qt::Key_F10);
    EXPECT_TRUE(onDuringStart);
    EXPECT_TRUE(enabledDuringStart);
    EXPECT_TRUE(offAfterToggle);
    EXPECT_TRUE(onAgain);
    EXPECT_EQ(t.in().runState(), rn_Stopped);
}
