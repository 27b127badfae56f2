// The dialogs of scripts as windows, driven with keys and clicks.
#include "desktop.h"
#include "environment/dialog_windows.h"
#include "environment/main_window.h"
#include "environment/window_dialogs.h"
#include "modal_driver.h"
#include "platform/ini_file.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace tesmora;
using namespace tesmora::test;

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

struct Dialogs {
    QTemporaryDir home;
    QWidget owner;
    NullHost host;
    WindowDialogs dialogs{&owner, host};
    Dialogs()
    {
        owner.setGeometry(100, 100, 600, 400);
        owner.show();
        dialogs.setSettingsFile(home.filePath("tesmora.ini"));
    }
};

QAbstractButton *buttonWithText(QWidget *w, const QString &text)
{
    for (QAbstractButton *b : w->findChildren<QAbstractButton *>())
        if (b->text().remove('&') == text)
            return b;
    return nullptr;
}

} // namespace

TEST(ScriptDialogs, InputStringOkAndCancel)
{
    Dialogs d;
    QString seenText, seenTitle;
    whenModal([&](QWidget *w) {
        auto *edit = w->findChild<QLineEdit *>();
        seenText = edit->text();
        seenTitle = w->windowTitle();
        edit->selectAll();
        QTest::keyClicks(edit, "pear");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QString answer;
    EXPECT_TRUE(d.dialogs.inputString("Enter the name of the fruit", "apple", answer));
    EXPECT_EQ(seenText, "apple");
    EXPECT_EQ(seenTitle, "Tesmora"); // no title of its own: the product name
    EXPECT_EQ(answer, "pear");

    whenModal([&](QWidget *w) {
        QTest::keyClicks(w->findChild<QLineEdit *>(), "typed");
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_FALSE(d.dialogs.inputString("Name?", "", answer));
    EXPECT_EQ(answer, "");
}

TEST(ScriptDialogs, MessageButtonSetsIconsAndEscape)
{
    Dialogs d;
    QStringList texts;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    // The mend: an empty caption still lets the set 3 through.
    whenModal([&](QWidget *w) {
        texts = buttonTexts(w);
        icon = static_cast<QMessageBox *>(w)->icon();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_EQ(d.dialogs.message("Would you like to save the file?", "", 3 + 32), 2);
    EXPECT_EQ(texts, (QStringList{"Cancel", "No", "Yes"}));
    EXPECT_EQ(icon, QMessageBox::Question);

    whenModal([&](QWidget *w) { buttonWithText(w, "No")->click(); });
    EXPECT_EQ(d.dialogs.message("Save?", "", 3), 7);

    // Yes/No has no Cancel: Esc does nothing, a click answers.
    whenModal([&](QWidget *w) {
        QTest::keyClick(w, Qt::Key_Escape);
        EXPECT_TRUE(w->isVisible());
        texts = buttonTexts(w);
        buttonWithText(w, "Yes")->click();
    });
    EXPECT_EQ(d.dialogs.message("Go on?", "Question", 4), 6);
    EXPECT_EQ(texts, (QStringList{"No", "Yes"}));

    whenModal([&](QWidget *w) {
        QTest::keyClick(w, Qt::Key_Escape);
        EXPECT_TRUE(w->isVisible());
        texts = buttonTexts(w);
        icon = static_cast<QMessageBox *>(w)->icon();
        buttonWithText(w, "Ignore")->click();
    });
    EXPECT_EQ(d.dialogs.message("Disk", "", 2 + 16), 5);
    EXPECT_EQ(texts, (QStringList{"Abort", "Ignore", "Retry"}));
    EXPECT_EQ(icon, QMessageBox::Critical);

    whenModal([&](QWidget *w) {
        texts = buttonTexts(w);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_EQ(d.dialogs.message("Again?", "", 5 + 48), 2);
    EXPECT_EQ(texts, (QStringList{"Cancel", "Retry"}));

    whenModal([&](QWidget *w) {
        texts = buttonTexts(w);
        icon = static_cast<QMessageBox *>(w)->icon();
        QTest::keyClick(w, Qt::Key_Return);
    });
    EXPECT_EQ(d.dialogs.message("Game over!", "", 64), 1);
    EXPECT_EQ(texts, QStringList{"OK"});
    EXPECT_EQ(icon, QMessageBox::Information);
}

TEST(ScriptDialogs, MemoWindowReturnsItsTextAndRemembersBoundsOnlyOnOk)
{
    Dialogs d;
    const QString ini = d.home.filePath("tesmora.ini");
    QString prompt;
    bool bold = false;
    QRect opened;
    whenModal([&](QWidget *w) {
        prompt = w->findChild<QLabel *>("Label1")->text();
        bold = w->findChild<QLabel *>("Label1")->font().bold();
        opened = w->geometry();
        auto *memo = w->findChild<QPlainTextEdit *>("Memo1");
        EXPECT_EQ(memo->toPlainText(), "");
        QTest::keyClicks(memo, "banana");
        w->setGeometry(30, 40, 500, 300);
        QTest::mouseClick(w->findChild<QPushButton *>("BitBtn2"), Qt::LeftButton);
    });
    QString answer;
    EXPECT_FALSE(d.dialogs.inputText("Enter the name of the fruit", "", answer));
    EXPECT_EQ(answer, "banana"); // Cancel returns the typed text
    EXPECT_EQ(prompt, "Enter the name of the fruit");
    EXPECT_TRUE(bold);
    EXPECT_EQ(opened.size(), QSize(800, 600)); // the defaults
    EXPECT_FALSE(QFile::exists(ini));          // Cancel stores nothing

    whenModal([&](QWidget *w) {
        auto *memo = w->findChild<QPlainTextEdit *>("Memo1");
        EXPECT_EQ(memo->toPlainText(), "first");
        QTest::keyClick(memo, Qt::Key_End);
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, "second");
        w->setGeometry(30, 40, 500, 300);
        QTest::mouseClick(w->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    EXPECT_TRUE(d.dialogs.inputText("Poem", "first", answer));
    EXPECT_EQ(answer, "first\nsecond");
    IniFile file(ini);
    ASSERT_TRUE(file.load());
    EXPECT_EQ(file.intValue("FormMemo", "Width", 0), 500);
    EXPECT_EQ(file.intValue("FormMemo", "Height", 0), 300);
    const int left = file.intValue("FormMemo", "Left", -1);
    const int top = file.intValue("FormMemo", "Top", -1);

    // The next call opens where the last OK left the window.
    whenModal([&](QWidget *w) {
        opened = QRect(w->x(), w->y(), w->width(), w->height());
        QTest::mouseClick(w->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    d.dialogs.inputText("Again", "", answer);
    EXPECT_EQ(opened, QRect(left, top, 500, 300));
}

TEST(ScriptDialogs, MenuSelectionKeysClicksAndSizing)
{
    Dialogs d;
    const QStringList items{"Tea", "Coffee", "Juice", "Water"};
    QSize listClient;
    bool panelShown = false;
    whenModal([&](QWidget *w) {
        auto *list = w->findChild<QListWidget *>("ListView1");
        listClient = list->viewport()->size();
        panelShown = w->findChild<QLabel *>("Panel1")->isVisible();
        EXPECT_EQ(list->selectedItems().size(), 1);
        QTest::keyClick(list, Qt::Key_Return);
    });
    EXPECT_EQ(d.dialogs.menu("Make a choice:", items, 2), 2);
    EXPECT_TRUE(panelShown);
    // 11-pixel font: width 11 × 14 (the prompt is the longest text), height 15 × 5 + 4.
    EXPECT_EQ(listClient, QSize(11 * 14, 15 * 5 + 4));

    whenModal([&](QWidget *w) { QTest::keyClick(w->findChild<QListWidget *>("ListView1"), Qt::Key_Escape); });
    EXPECT_EQ(d.dialogs.menu("Make a choice:", items, 2), 0);

    whenModal([&](QWidget *w) {
        auto *list = w->findChild<QListWidget *>("ListView1");
        const QRect third = list->visualItemRect(list->item(2));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    });
    EXPECT_EQ(d.dialogs.menu("Make a choice:", items, 2), 3);

    // No prompt: the panel is hidden; nothing selected: Enter gives 0.
    whenModal([&](QWidget *w) {
        panelShown = w->findChild<QLabel *>("Panel1")->isVisible();
        auto *list = w->findChild<QListWidget *>("ListView1");
        EXPECT_TRUE(list->selectedItems().isEmpty());
        QTest::keyClick(list, Qt::Key_Return);
    });
    EXPECT_EQ(d.dialogs.menu("", items, 9), 0);
    EXPECT_FALSE(panelShown);

    // Centred over the owner, kept on the work area.
    const QRect work(0, 0, 1000, 700);
    EXPECT_EQ(menuWindowPosition(QRect(100, 100, 600, 400), QSize(200, 100), work), QPoint(300, 250));
    EXPECT_EQ(menuWindowPosition(QRect(-300, -200, 200, 100), QSize(300, 300), work), QPoint(0, 0));
    EXPECT_EQ(menuWindowPosition(QRect(800, 600, 400, 300), QSize(300, 200), work), QPoint(700, 500));
    EXPECT_EQ(menuWindowPosition(QRect(0, 0, 1000, 700), QSize(300, 2000), work), QPoint(350, -1300));
    EXPECT_EQ(menuListClientSize(11, 6, 2), QSize(66, 49));
}

TEST(ScriptDialogs, AScriptInTheWindowAsksAndGetsTheButton)
{
    QTemporaryDir home;
    QDir(home.path()).mkpath("Scripts");
    QFile f(home.filePath("Scripts/ask.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x = 5\nr = Message('Would you like to save the file?','',3)\nstop\n");
    f.close();
    qputenv("TESMORA_HOME", home.path().toUtf8());
    Desktop desktop;
    TForm_Interpretator w(QStringList{"ask.txt"}, desktop.adapters());
    w.reportError = [](const QString &t) { ADD_FAILURE() << t.toStdString(); };
    w.StartUp();
    QStringList texts;
    whenModal([&](QWidget *m) {
        texts = buttonTexts(m);
        buttonWithText(m, "No")->click();
    });
    w.action(301)->trigger();
    EXPECT_EQ(texts, (QStringList{"Cancel", "No", "Yes"}));
    EXPECT_EQ(w.interpreter().GetVariableText("r"), "7");
    qunsetenv("TESMORA_HOME");
}
