// Start-up with its command line and settings file, the preferences menu,
// the About window and the symbol keyboard, driven as a learner does.
#include "desktop.h"
#include "environment/about_window.h"
#include "environment/ide_settings.h"
#include "environment/main_window.h"
#include "environment/preferences_menu.h"
#include "environment/script_editor.h"
#include "environment/symbol_keyboard.h"
#include "environment/variables_view.h"
#include "modal_driver.h"
#include "platform/ini_file.h"

#include <Qsci/qsciscintilla.h>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace tesmora;
using namespace tesmora::test;

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A window started with `arguments` over a fresh program folder holding
// `scripts` in Scripts/ and `ini` as its settings file.
struct Started {
    QTemporaryDir home;
    Desktop desktop;
    std::unique_ptr<TForm_Interpretator> w;
    QStringList errors;

    Started(const QStringList &arguments, const QList<QPair<QString, QByteArray>> &scripts,
            const QByteArray &ini = {})
    {
        QDir(home.path()).mkpath("Scripts");
        for (const auto &s : scripts)
            writeFile(home.filePath("Scripts/" + s.first), s.second);
        if (!ini.isEmpty())
            writeFile(home.filePath("tesmora.ini"), ini);
        qputenv("TESMORA_HOME", home.path().toUtf8());
        w = std::make_unique<TForm_Interpretator>(arguments, desktop.adapters());
        w->reportError = [this](const QString &t) { errors << t; };
        w->answerQuestion = [](const QString &) { return true; };
        w->StartUp();
    }
    ~Started() { qunsetenv("TESMORA_HOME"); }
    Interpreter &in() { return w->interpreter(); }
    QString iniPath() const { return home.filePath("tesmora.ini"); }
};

// Clicks the item with `text` in a visible pop-up menu.
void clickMenuItem(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions())
        if (a->text() == text) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
            return;
        }
    ADD_FAILURE() << "no menu item " << text.toStdString();
}

QMenu *visiblePopup(QWidget *owner, const QString &name)
{
    QMenu *m = owner->findChild<QMenu *>(name);
    return m && m->isVisible() ? m : nullptr;
}

} // namespace

TEST(StartUp, CommandLineCases)
{
    const QString pf = "/prog/";
    StartOptions o = parseCommandLine({}, pf);
    EXPECT_EQ(o.scriptFile, "/prog/Scripts/AutoStart.txt");
    EXPECT_EQ(o.switches, "");
    o = parseCommandLine({"x.txt", "/f"}, pf);
    EXPECT_EQ(o.scriptFile, "/prog/Scripts/x.txt");
    EXPECT_EQ(o.switches, "/F\r");
    o = parseCommandLine({"/R"}, pf);
    EXPECT_EQ(o.scriptFile, "");
    EXPECT_EQ(o.switches, "/R\r");
    // A slash and two or more letters is a file name, not a switch.
    o = parseCommandLine({"/abc"}, pf);
    EXPECT_EQ(o.scriptFile, "/abc");
    EXPECT_EQ(o.switches, "");
    // A name with a folder is used unchanged; a later name is ignored.
    o = parseCommandLine({"lessons\\a.txt", "/m", "b.txt", "/r"}, pf);
    EXPECT_EQ(o.scriptFile, "lessons\\a.txt");
    EXPECT_EQ(o.switches, "/M\r/R\r");
    // A switch first: no script file even when a name follows.
    o = parseCommandLine({"/F", "x.txt"}, pf);
    EXPECT_EQ(o.scriptFile, "");

    // Only "/R": no script, cmdLineParams with one element, no auto-run.
    Started onlyR({"/R"}, {});
    EXPECT_TRUE(onlyR.errors.isEmpty());
    EXPECT_EQ(onlyR.in().settings().cmdLineParams, QStringList{"/R"});
    EXPECT_FALSE(onlyR.w->startTimer()->isActive());
    EXPECT_FALSE(onlyR.in().closesAfterRun());

    // No parameters and no AutoStart.txt: message 170 with that path.
    Started none({}, {});
    ASSERT_EQ(none.errors.size(), 1);
    EXPECT_TRUE(none.errors.first().contains(none.home.filePath("Scripts/AutoStart.txt")));
    EXPECT_TRUE(none.errors.first().startsWith("Invalid file name"));

    // A file of Scripts/ and /f: loaded, maximized.
    Started max({"x.txt", "/f"}, {{"x.txt", "a = 1\n"}});
    EXPECT_TRUE(max.errors.isEmpty());
    EXPECT_EQ(max.in().scriptLines().first(), "a = 1");
    EXPECT_TRUE(max.w->windowState() & Qt::WindowMaximized);
    Started min({"x.txt", "/M"}, {{"x.txt", "a = 1\n"}});
    EXPECT_TRUE(min.w->windowState() & Qt::WindowMinimized);
}

TEST(StartUp, AutoRunStartsAfterTheTimerAndClosesAfterANormalEnd)
{
    Started r({"run.txt", "/R", "extra"}, {{"run.txt", "a = 1\nb = cmdLineParams[3]\n"}});
    EXPECT_EQ(r.in().settings().cmdLineParams, (QStringList{"run.txt", "/R", "extra"}));
    ASSERT_TRUE(r.w->startTimer()->isActive());
    EXPECT_EQ(r.w->startTimer()->interval(), 500);
    EXPECT_TRUE(r.w->startTimer()->isSingleShot());
    EXPECT_TRUE(r.in().closesAfterRun());
    r.w->show();
    // The run starts by itself and the window closes after it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return r.in().GetVariableText("b") == "extra"; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !r.w->isVisible(); }, 10000));
    EXPECT_TRUE(r.errors.isEmpty());

    // Step before the timer fires clears the auto-run.
    Started s({"run.txt", "/r"}, {{"run.txt", "a = 1\nb = 2\n"}});
    ASSERT_TRUE(s.in().closesAfterRun());
    s.w->action(303)->trigger();
    EXPECT_FALSE(s.in().closesAfterRun());
}

TEST(Settings, ReadAtStartUpAndWrittenAtCloseKeepingUnknownKeys)
{
    Started t(
        {"x.txt"}, {{"x.txt", "a = 1\n"}},
        "; teacher's note\r\n[mainform]\r\n left = 40\r\nTop=30\r\nWidth=900\r\nHeight=650\r\n"
        "Panel_Bottom_Height=3\r\nPanel_Var_Local_Width=260\r\nEditorKind=EKINTERNAL\r\n"
        "ExternalEditorFile=/usr/bin/true\r\nLesson=7\r\n\r\n[Edit_Font]\r\nSize=14\r\nCharset=204\r\n");
    EXPECT_EQ(t.w->geometry().size(), QSize(900, 650));
    EXPECT_EQ(t.w->variablesPanelHeight(), 5); // below 5 reads as 5
    // Another spelling of ekInternal selects the external editor.
    EXPECT_EQ(t.w->editorKind(), "EKINTERNAL");
    EXPECT_TRUE(t.w->preferencesMenu()->mi_ExternalEditor->isChecked());
    EXPECT_FALSE(t.w->preferencesMenu()->mi_InternalEditor->isChecked());
    EXPECT_EQ(t.w->preferencesMenu()->mi_SpecifyEditor->toolTip(), "/usr/bin/true");
    EXPECT_EQ(t.w->editor()->editorFont().pointSize(), 14);
    EXPECT_GE(t.w->variablesView()->rowHeight(), 26); // round(14 × 22 / 12)
    t.w->show();
    t.w->resize(700, 500);
    ASSERT_TRUE(t.w->close());
    IniFile ini(t.iniPath());
    ASSERT_TRUE(ini.load());
    EXPECT_EQ(ini.lines().first(), "; teacher's note");
    EXPECT_EQ(ini.value("MainForm", "Lesson"), "7");
    EXPECT_EQ(ini.value("MainForm", "State"), "wsNormal");
    EXPECT_EQ(ini.intValue("MainForm", "Width", 0), 700);
    EXPECT_EQ(ini.intValue("MainForm", "Height", 0), 500);
    EXPECT_EQ(ini.value("MainForm", "EditorKind"), "EKINTERNAL");
    EXPECT_EQ(ini.intValue("Edit_Font", "Size", 0), 14);
    EXPECT_EQ(ini.intValue("Edit_Font", "Charset", 0), 204);
    EXPECT_TRUE(ini.contains("MainForm", "Panel_Bottom_Height"));

    // Closed maximized: only the state is written, the bounds stay.
    Started m({"x.txt"}, {{"x.txt", "a = 1\n"}},
              "[MainForm]\r\nWidth=900\r\nHeight=650\r\nState=wsMaximized\r\n");
    EXPECT_TRUE(m.w->windowState() & Qt::WindowMaximized);
    m.w->show();
    ASSERT_TRUE(m.w->close());
    IniFile mi(m.iniPath());
    ASSERT_TRUE(mi.load());
    EXPECT_EQ(mi.value("MainForm", "State"), "wsMaximized");
    EXPECT_EQ(mi.intValue("MainForm", "Width", 0), 900);
    EXPECT_FALSE(mi.contains("MainForm", "Left"));

    // A settings file that cannot be written: the message, and the window closes.
    Started f({"x.txt"}, {{"x.txt", "a = 1\n"}});
    ASSERT_TRUE(QDir(f.home.path()).mkdir("tesmora.ini"));
    f.w->show();
    EXPECT_TRUE(f.w->close());
    EXPECT_EQ(f.errors, QStringList{"Can not save data to INI - file."});

    // No settings file: the defaults.
    Started d({"x.txt"}, {{"x.txt", "a = 1\n"}});
    EXPECT_EQ(d.w->geometry().size(), QSize(800, 600));
    EXPECT_EQ(d.w->editorKind(), "ekInternal");
    EXPECT_TRUE(d.w->preferencesMenu()->mi_InternalEditor->isChecked());
    EXPECT_EQ(d.w->editor()->editorFont().pointSize(), 10);
}

TEST(Preferences, LanguageAndEditorKindChosenFromTheMenu)
{
    Started t({"x.txt"}, {{"x.txt", "a = 1\nb = 2\n"}});
    t.w->setLanguage(0);
    t.w->show();
    const auto pick = [&](const QString &submenu, const QString &item) {
        t.w->action(290)->trigger();
        QMenu *menu = visiblePopup(t.w.get(), "PopupActionBar_Preferences");
        ASSERT_NE(menu, nullptr);
        // Down to the submenu with the keyboard, then a click on the item.
        for (QAction *a : menu->actions())
            if (a->text() == submenu)
                menu->setActiveAction(a);
        QTest::keyClick(menu, Qt::Key_Right);
        QMenu *sub = nullptr;
        for (QMenu *m : menu->findChildren<QMenu *>())
            if (m->isVisible())
                sub = m;
        ASSERT_NE(sub, nullptr) << submenu.toStdString();
        clickMenuItem(sub, item);
        EXPECT_FALSE(menu->isVisible());
    };

    const Interpreter &in = t.in();
    pick(in.MessageText(261), QString::fromUtf8("Русский"));
    EXPECT_EQ(in.language(), 1);
    EXPECT_EQ(t.w->action(301)->text(), in.MessageText(301));
    EXPECT_NE(t.w->action(301)->text(), "Start");
    EXPECT_EQ(t.w->action(303)->toolTip(), in.MessageText(304));
    EXPECT_NE(t.w->action(303)->toolTip(), "One line step.");
    EXPECT_TRUE(t.w->windowTitle().startsWith(in.MessageText(1) + "   "));
    EXPECT_EQ(t.w->preferencesMenu()->mi_EditorKind->title(), in.MessageText(262));
    EXPECT_TRUE(t.w->preferencesMenu()->mi_Russian->isChecked());

    pick(in.MessageText(261), "English");
    EXPECT_EQ(in.language(), 0);
    EXPECT_EQ(t.w->action(301)->text(), "Start");
    EXPECT_EQ(t.w->action(303)->toolTip(), "One line step.");
    EXPECT_EQ(t.w->preferencesMenu()->mi_ExternalEditor->text(), "Use external editor");

    pick(in.MessageText(262), "Use external editor");
    EXPECT_EQ(t.w->editorKind(), "ekExternal");
    EXPECT_TRUE(t.w->preferencesMenu()->mi_ExternalEditor->isChecked());
    EXPECT_FALSE(t.w->preferencesMenu()->mi_InternalEditor->isChecked());
    pick(in.MessageText(262), "Use internal editor");
    EXPECT_EQ(t.w->editorKind(), "ekInternal");

    // The chosen editor goes to the settings file at once and into the hint.
    t.w->chooseExternalEditor = [] { return QStringLiteral("/usr/bin/true"); };
    pick(in.MessageText(262), "Specify an external editor for example Notepad++");
    EXPECT_EQ(t.w->externalEditor(), "/usr/bin/true");
    EXPECT_EQ(t.w->preferencesMenu()->mi_SpecifyEditor->toolTip(), "/usr/bin/true");
    IniFile ini(t.iniPath());
    ASSERT_TRUE(ini.load());
    EXPECT_EQ(ini.value("MainForm", "ExternalEditorFile"), "/usr/bin/true");
}

TEST(SymbolKeyboard, ButtonsInsertionAndVisibility)
{
    Started t({"x.txt"}, {{"x.txt", "abc = 1\n"}});
    t.w->show();
    auto *kbd = static_cast<SymbolKeyboard *>(t.w->symbolKeyboard());
    const QList<QToolButton *> buttons = kbd->symbolButtons();
    ASSERT_EQ(buttons.size(), 44);
    QString order;
    for (QToolButton *b : buttons)
        order += b->text();
    EXPECT_EQ(order, QString::fromUtf8("αβγδεζηθικλμνξοπρςστυφχψωΛΔΣΩ²³√∛∜₀₁₂₃₄₅₆₇₈₉"));
    EXPECT_EQ(buttons.at(0)->width(), 21);
    EXPECT_EQ(buttons.at(31)->width(), 21); // √
    EXPECT_EQ(buttons.at(32)->width(), 24); // ∛
    EXPECT_EQ(buttons.at(43)->width(), 24); // ₉
    EXPECT_EQ(kbd->height(), 38);
    EXPECT_EQ(kbd->closeButton()->text(), QString::fromUtf8("✕"));

    // Hidden in working mode; Kbd in edit mode shows it.
    EXPECT_FALSE(kbd->isVisible());
    t.w->action(313)->trigger();
    EXPECT_FALSE(kbd->isVisible());
    t.w->action(333)->trigger();
    EXPECT_TRUE(kbd->isVisible());
    // The close button is aligned right, after the last symbol; in a narrow
    // window the row of symbols is cut off, not the close button.
    EXPECT_EQ(kbd->closeButton()->geometry().right(), kbd->width() - 3);
    t.w->resize(1190, 707);
    QTest::qWait(0);
    EXPECT_EQ(kbd->closeButton()->geometry().right(), kbd->width() - 3);
    EXPECT_GT(kbd->closeButton()->x(), buttons.last()->mapTo(kbd, QPoint(buttons.last()->width(), 0)).x());

    QsciScintilla *ed = t.w->editor()->SynEditor();
    ed->setCursorPosition(0, 3);
    QTest::mouseClick(buttons.at(0), Qt::LeftButton); // α
    EXPECT_EQ(ed->text(0).trimmed(), QString::fromUtf8("abcα = 1"));
    int line = -1, index = -1;
    ed->getCursorPosition(&line, &index);
    EXPECT_EQ(line, 0);
    EXPECT_EQ(ed->text(0).left(index), QString::fromUtf8("abcα"));
    // With a selection: the character goes to its start, the text stays,
    // nothing is selected any more.
    ed->setSelection(0, 0, 0, 3);
    QTest::mouseClick(buttons.at(30), Qt::LeftButton); // ³
    EXPECT_EQ(ed->text(0).trimmed(), QString::fromUtf8("³abcα = 1"));
    EXPECT_FALSE(ed->hasSelectedText());
    EXPECT_TRUE(ed->hasFocus() || QApplication::focusWidget() == nullptr);

    // The close button hides it; Kbd stays enabled.
    QTest::mouseClick(kbd->closeButton(), Qt::LeftButton);
    EXPECT_FALSE(kbd->isVisible());
    EXPECT_TRUE(t.w->action(333)->isEnabled());
    t.w->action(333)->trigger();
    EXPECT_TRUE(kbd->isVisible());
    // Work hides it; the next Edit leaves it hidden.
    t.w->action(321)->trigger();
    EXPECT_FALSE(kbd->isVisible());
    t.w->action(313)->trigger();
    EXPECT_FALSE(kbd->isVisible());
    t.w->action(333)->trigger();
    t.w->action(325)->trigger(); // Cancel
    EXPECT_FALSE(kbd->isVisible());
}

TEST(AboutWindow, TextLinkAndEscape)
{
    Started t({"x.txt"}, {{"x.txt", "a = 1\n"}});
    QDir(t.home.path()).mkpath("guide");
    writeFile(t.home.filePath("guide/UserGuide.html"), "<html></html>");
    t.w->setLanguage(1);
    QString opened, text, link;
    bool visibleAfterEsc = true;
    t.w->aboutWindow()->openGuide = [&](const QString &path) { opened = path; };
    whenModal([&](QWidget *m) {
        auto *about = static_cast<TAbout *>(m);
        text = about->Label_Text->text();
        link = about->Label_Link->text();
        QTest::mouseClick(about->Label_Link, Qt::LeftButton);
        QTest::keyClick(about, Qt::Key_Escape);
        visibleAfterEsc = about->isVisible();
    });
    t.w->showAboutWindow();
    EXPECT_EQ(text, t.in().MessageText(8));
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("Обучающая")));
    EXPECT_EQ(link, "UserGuide.html");
    EXPECT_EQ(opened, t.w->userGuidePath());
    EXPECT_TRUE(QFile::exists(opened)) << opened.toStdString();
    EXPECT_FALSE(visibleAfterEsc);
    EXPECT_EQ(t.w->aboutWindow()->windowTitle(), "About");
    t.w->setLanguage(0);
}
