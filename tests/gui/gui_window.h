// Helpers of the widget tests: a main window over a fresh program folder, and
// the keys and clicks a learner uses on it and on the script editor.
#pragma once

#include "desktop.h"
#include "environment/main_window.h"
#include "environment/script_editor.h"
#include "environment/toolbar_strip.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <memory>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace tesmora::test {

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The middle of 0-based `line` in the editor's viewport, at horizontal position x.
inline QPoint linePoint(ScriptEditor &ed, int line, int x)
{
    QsciScintilla *e = ed.SynEditor();
    const long pos = e->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    const int y = static_cast<int>(e->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, pos));
    const int h = static_cast<int>(e->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, line));
    return {x, y + h / 2};
}

// A click in the marks column of the gutter (Ctrl held: move the execution point).
inline void clickGutter(ScriptEditor &ed, int line, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::mouseClick(ed.SynEditor()->viewport(), Qt::LeftButton, mods, linePoint(ed, line, 6));
    QApplication::processEvents();
}

// With TESMORA_SHOTS naming a folder, `widget` is saved there as `name`.png
// (for looking at it; nothing is compared).
inline void shoot(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("TESMORA_SHOTS");
    if (!folder.isEmpty())
        widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// A window over a fresh program folder, started with `script` from its
// Scripts folder; questions answered by `answer`, errors collected.
struct Window {
    QTemporaryDir home;
    Desktop desktop;
    std::unique_ptr<TForm_Interpretator> w;
    QStringList errors;
    QStringList questions;
    bool answer = true;

    explicit Window(const QByteArray &script, const QList<QPair<QString, QByteArray>> &files = {})
    {
        const QString name = QStringLiteral("test.txt");
        QDir(home.path()).mkpath("Scripts");
        writeFile(home.filePath("Scripts/" + name), script);
        for (const auto &f : files)
            writeFile(home.filePath("Scripts/" + f.first), f.second);
        qputenv("TESMORA_HOME", home.path().toUtf8());
        w = std::make_unique<TForm_Interpretator>(QStringList{name}, desktop.adapters());
        w->reportError = [this](const QString &t) { errors << t; };
        w->answerQuestion = [this](const QString &q) {
            questions << q;
            return answer;
        };
        w->StartUp();
    }
    ~Window() { qunsetenv("TESMORA_HOME"); }
    Interpreter &in() { return w->interpreter(); }
    QAction *act(int tag) { return w->action(tag); }
    bool shown(int tag) { return act(tag)->isVisible(); }
    bool enabled(int tag) { return act(tag)->isEnabled(); }
    QString var(const QString &name) { return in().GetVariableText(name); }
    ScriptEditor &ed() { return *w->editor(); }

    // Shows the window and makes it the active one, so that its keys work.
    void showActive()
    {
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    // A key of the window, pressed where the focus is.
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : w.get();
        QTest::keyClick(target, k, mods);
        QApplication::processEvents();
    }
    // Typing into the editor, one key after another, with the window's
    // events handled between keys as they are between a learner's keys.
    void type(const QString &text)
    {
        for (QChar c : text) {
            QTest::keyClicks(ed().SynEditor(), QString(c));
            QApplication::processEvents();
        }
    }
    void shoot(const QString &name) { tesmora::test::shoot(w.get(), name); }
    // A click on the toolbar button of an action.
    void click(int tag)
    {
        QWidget *button = w->findChild<ToolbarStrip *>()->toolBar()->widgetForAction(act(tag));
        ASSERT_NE(button, nullptr) << tag;
        QTest::mouseClick(button, Qt::LeftButton);
        QApplication::processEvents();
    }
};

enum {
    Start = 301,
    Step = 303,
    StepOver = 316,
    Continue = 305,
    Fast = 307,
    Pause = 330,
    Load = 309,
    New = 311,
    Edit = 313,
    Find = 318,
    Replace = 292,
    Work = 321,
    Save = 323,
    Settings = 290,
    Kbd = 333,
    Cancel = 325,
    Help = 337,
    Font = 335
};

} // namespace tesmora::test
