// The window as a learner meets it: dialogs in the interface language, the
// font dialog, loading legacy and binary files, the run clock after an
// error and the help window's first placement, driven with keys and clicks.
#include "environment/help_menu.h"
#include "environment/help_window.h"
#include "environment/script_editor.h"
#include "environment/variables_view.h"
#include "gui_window.h"
#include "modal_driver.h"
#include "platform/ini_file.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QThread>

using namespace tesmora;
using namespace tesmora::test;

namespace {

// With TESMORA_SHOTS naming a folder, `widget` and the whole screen are
// saved there (for looking at them; nothing is compared).
void shootWithScreen(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("TESMORA_SHOTS");
    if (folder.isEmpty())
        return;
    widget->grab().save(folder + "/" + name + ".png");
    QGuiApplication::primaryScreen()->grabWindow(0).save(folder + "/" + name + "_screen.png");
}

// A right click on the first word of `line`, as the editor's viewport gets it.
void rightClickWord(Window &t, int line)
{
    QsciScintilla *e = t.ed().SynEditor();
    const long pos = e->positionFromLineIndex(line, 1);
    const QPoint p(static_cast<int>(e->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, pos)),
                   linePoint(t.ed(), line, 0).y());
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, e->viewport()->mapToGlobal(p));
    QApplication::sendEvent(e->viewport(), &event);
    QApplication::processEvents();
}

QString editorText(Window &t)
{
    return t.ed().SynEditor()->text();
}

} // namespace

TEST(RoughEdges, RussianDialogsShowTheRussianProductNameAndRussianButtons)
{
    Window t("t = InputText('Напишите что-нибудь', 'текст')\nm = Message('Привет!', '', 1)\nx = "
             "nosuch(1)\nstop\n");
    t.showActive();
    t.w->setLanguage(1);
    t.w->reportError = nullptr; // the real error box
    QString memoTitle, boxTitle, errorTitle;
    QStringList memoButtons, boxButtons;
    whenModal([&](QWidget *memo) {
        memoTitle = memo->windowTitle();
        memoButtons = buttonTexts(memo);
        shootWithScreen(memo, "memo_ru");
        QTest::mouseClick(memo->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
        whenModal([&](QWidget *box) {
            boxTitle = box->windowTitle();
            boxButtons = buttonTexts(box);
            shootWithScreen(box, "message_ru");
            QTest::keyClick(box, Qt::Key_Escape);
            whenModal([&](QWidget *error) {
                errorTitle = error->windowTitle();
                shootWithScreen(error, "error_ru");
                QTest::keyClick(error, Qt::Key_Return);
            });
        });
    });
    t.key(Qt::Key_F10);
    EXPECT_EQ(memoTitle, QString::fromUtf8("Тесмора"));
    EXPECT_EQ(memoButtons, QStringList({"OK", QString::fromUtf8("Отмена")}));
    EXPECT_EQ(t.var("t"), QString::fromUtf8("текст"));
    EXPECT_EQ(boxTitle, QString::fromUtf8("Тесмора"));
    EXPECT_EQ(boxButtons, QStringList({"OK", QString::fromUtf8("Отмена")}));
    EXPECT_EQ(t.var("m"), "2");
    EXPECT_EQ(errorTitle, QString::fromUtf8("Тесмора"));

    // Back in English: the English name and buttons.
    t.w->setLanguage(0);
    whenModal([&](QWidget *memo) {
        memoTitle = memo->windowTitle();
        memoButtons = buttonTexts(memo);
        QTest::mouseClick(memo->findChild<QPushButton *>("BitBtn2"), Qt::LeftButton);
        whenModal([&](QWidget *box) {
            boxTitle = box->windowTitle();
            QTest::keyClick(box, Qt::Key_Escape);
            whenModal([&](QWidget *error) { QTest::keyClick(error, Qt::Key_Return); });
        });
    });
    t.click(Start);
    EXPECT_EQ(memoTitle, "Tesmora");
    EXPECT_EQ(memoButtons, QStringList({"Cancel", "OK"}));
    EXPECT_EQ(boxTitle, "Tesmora");
}

TEST(RoughEdges, FontDialogOpensOnTheEditorFont)
{
    Window t("x = 1\nstop\n");
    t.showActive();
    const QFontInfo editor(t.ed().editorFont());
    QString family;
    qreal points = 0;
    whenModal([&](QWidget *dialog) {
        auto *fonts = qobject_cast<QFontDialog *>(dialog);
        ASSERT_NE(fonts, nullptr);
        family = fonts->currentFont().family();
        points = fonts->currentFont().pointSizeF();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    t.act(Font)->trigger();
    EXPECT_EQ(family, editor.family());
    EXPECT_NEAR(points, editor.pointSizeF(), 0.5);
    EXPECT_NE(family, "Sans Serif");
}

TEST(RoughEdges, LoadReadsLegacyRussianAndRefusesFilesThatAreNotText)
{
    Window t("x = 1\nstop\n",
             {{"cp1251.txt",
               QByteArray("\xE8\xEC\xFF = '\xCF\xF0\xE8\xE2\xE5\xF2'\r\n# \xEA\xEE\xEC\xEC\xE5\xED\xF2\r\n")},
              {"picture.txt", QByteArray("\x89PNG\r\n\x1A\n\x00\x00\x00\rIHDR\x00\x00\x01", 19)}});
    t.showActive();
    QString chosen = t.home.filePath("Scripts/cp1251.txt");
    t.w->chooseOpenFile = [&](const QString &) { return chosen; };
    t.key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(t.errors, QStringList());
    EXPECT_TRUE(editorText(t).startsWith(QString::fromUtf8("имя = 'Привет'"))) << editorText(t).toStdString();
    EXPECT_TRUE(editorText(t).contains(QString::fromUtf8("# коммент"))) << editorText(t).toStdString();
    const QString caption = t.w->windowTitle();
    const QString text = editorText(t);

    chosen = t.home.filePath("Scripts/picture.txt");
    t.key(Qt::Key_L, Qt::ControlModifier);
    ASSERT_EQ(t.errors.size(), 1);
    EXPECT_EQ(t.errors.first(),
              "The file \"" + chosen +
                  "\" is not a text file (it may be a picture, a document or a program), so it "
                  "cannot be loaded as a script.\r\rThe current script stays as it was.");
    // Nothing of the current script is lost: text, name and run all stay.
    EXPECT_EQ(editorText(t), text);
    EXPECT_EQ(t.w->windowTitle(), caption);
    t.key(Qt::Key_F10);
    EXPECT_EQ(t.errors.size(), 1);
    EXPECT_EQ(t.var(QString::fromUtf8("имя")), QString::fromUtf8("Привет"));
}

TEST(RoughEdges, TheRunClockStopsWhenTheErrorBoxOpens)
{
    Window t("x = 1\ny = nosuch(2)\nstop\n");
    t.showActive();
    t.w->reportError = [&](const QString &text) {
        t.errors << text;
        QThread::msleep(1300); // the learner reads the box
    };
    t.key(Qt::Key_F10);
    ASSERT_EQ(t.errors.size(), 1);
    const QString time = t.w->statusPanels().at(5)->text();
    EXPECT_EQ(time, "time 00:00");
    QThread::msleep(1100);
    t.w->variablesView()->A_Show_variables(t.in());
    EXPECT_EQ(t.w->statusPanels().at(5)->text(), "time 00:00");
}

TEST(RoughEdges, HelpWindowOpensInsideTheScreenWideEnoughAndIsRemembered)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QByteArray settings;
    QRect first;
    {
        Window t("For i = 1, 3\n  x = i\nstop\n");
        t.showActive();
        // The main window pushed to the top right: the help window would
        // open beyond the screen's top and right edges.
        t.w->move(area.right() - 200, area.top() - 40);
        QApplication::processEvents();
        HelpWindow *help = t.w->findChild<HelpWindow *>();
        ASSERT_NE(help, nullptr);
        whenModal([&](QWidget *window) {
            first = window->frameGeometry();
            shootWithScreen(window, "help_first");
            window->resize(window->width() / 2, window->height() / 2);
            window->move(area.left() + 30, area.top() + 20);
            QTest::keyClick(window, Qt::Key_Escape);
        });
        // A right click on "For" opens its tutorial.
        rightClickWord(t, 0);
        ASSERT_TRUE(first.isValid());
        EXPECT_TRUE(area.contains(first))
            << first.x() << "," << first.y() << " " << first.width() << "x" << first.height();
        EXPECT_GE(first.width(), std::min(area.width(), help->tutorialClientWidth()));
        EXPECT_GT(first.height(), 227);
        t.w->close();
        QFile f(t.home.filePath("tesmora.ini"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        settings = f.readAll();
    }
    Window again("For i = 1, 3\n  x = i\nstop\n");
    writeFile(again.home.filePath("tesmora.ini"), settings);
    IniFile ini(again.home.filePath("tesmora.ini"));
    ini.load();
    EXPECT_EQ(ini.intValue("FormHelp", "Left", -1), area.left() + 30);
    EXPECT_EQ(ini.intValue("FormHelp", "Top", -1), area.top() + 20);

    // The next start opens the help window where it was left, at its size.
    again.w->LoadIdeSettings();
    again.showActive();
    QRect reopened;
    QSize client;
    whenModal([&](QWidget *window) {
        reopened = window->frameGeometry();
        client = window->size();
        QTest::keyClick(window, Qt::Key_Escape);
    });
    rightClickWord(again, 0);
    EXPECT_EQ(reopened.topLeft(), QPoint(area.left() + 30, area.top() + 20));
    EXPECT_EQ(client, QSize(ini.intValue("FormHelp", "Width", 0), ini.intValue("FormHelp", "Height", 0)));
}

TEST(RoughEdges, FunctionSubmenusFitBesideTheHelpMenuOnTheScreen)
{
    Window t("x = 1\nstop\n");
    t.showActive();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QMenu *help = t.w->helpMenu()->menu();
    QMenu *strings = help->findChild<QMenu *>("mi_String_functions");
    ASSERT_NE(strings, nullptr);
    // Long parameter lists are shortened; the item still opens the whole
    // description, and short formulas keep their captions.
    QAction *replace = help->findChild<QAction *>("mi_String_functions___ReplaceStr");
    ASSERT_NE(replace, nullptr);
    EXPECT_EQ(replace->text(),
              QString::fromUtf8("ReplaceStr(Str:string,OldSubstr:string…):string Synonym:  Str_Replace"));
    // Beside the help menu on a screen 1024 pixels wide, in one column.
    for (QMenu *sub : help->findChildren<QMenu *>()) {
        EXPECT_LE(help->sizeHint().width() + sub->sizeHint().width(), 1024)
            << sub->objectName().toStdString();
        EXPECT_LE(sub->sizeHint().height(), area.height()) << sub->objectName().toStdString();
    }
    if (!qEnvironmentVariableIsEmpty("TESMORA_SHOTS")) {
        strings->popup(area.topLeft());
        QApplication::processEvents();
        strings->grab().save(qEnvironmentVariable("TESMORA_SHOTS") + "/string_functions.png");
        strings->close();
        whenModal([&](QWidget *about) {
            shootWithScreen(about, "about");
            QTest::keyClick(about, Qt::Key_Escape);
        });
        help->findChild<QAction *>("mi_About")->trigger();
    }
}
