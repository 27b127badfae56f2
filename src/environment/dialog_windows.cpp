#include "dialog_windows.h"

#include "core/message_catalogue.h"
#include "platform/ini_file.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace tesmora {

namespace {

QRect workAreaOf(const QWidget *w)
{
    const QScreen *screen = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QFont pixelFont(const QString &family, int pixels, QFont::StyleHint hint)
{
    QFont f(family);
    f.setStyleHint(hint);
    f.setPixelSize(pixels);
    return f;
}

const QString kMemoSection = QStringLiteral("FormMemo");

} // namespace

QString untitledWindowTitle(int language)
{
    return catalogueText(1, language);
}

// ---- TFormMemo ---------------------------------------------------------------

TFormMemo::TFormMemo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormMemo"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->setWordWrap(true);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    setLanguage(0);
    BitBtn1->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Memo1, 1);
    layout->addLayout(buttons);
    resize(643, 354);
}

void TFormMemo::setLanguage(int language)
{
    setWindowTitle(untitledWindowTitle(language));
    // "OK" reads the same in both languages, as on the platform's own buttons.
    BitBtn1->setText(QStringLiteral("OK"));
    BitBtn2->setText(language == 1 ? QString::fromUtf8("Отмена") : QStringLiteral("Cancel"));
}

void TFormMemo::FormMemo_LoadPosition(const IniFile &ini)
{
    const QRect area = workAreaOf(parentWidget());
    const int left = ini.intValue(kMemoSection, QStringLiteral("Left"), (area.width() - 800) / 2);
    const int top = ini.intValue(kMemoSection, QStringLiteral("Top"), (area.height() - 600) / 2);
    const int width = ini.intValue(kMemoSection, QStringLiteral("Width"), 800);
    const int height = ini.intValue(kMemoSection, QStringLiteral("Height"), 600);
    move(left, top);
    resize(width, height);
}

void TFormMemo::FormMemo_SavePosition(IniFile &ini) const
{
    ini.setValue(kMemoSection, QStringLiteral("Left"), x());
    ini.setValue(kMemoSection, QStringLiteral("Top"), y());
    ini.setValue(kMemoSection, QStringLiteral("Width"), width());
    ini.setValue(kMemoSection, QStringLiteral("Height"), height());
}

bool TFormMemo::ask(const QString &prompt, const QString &defaultText, QString &text)
{
    Label1->setText(prompt);
    Memo1->setPlainText(defaultText);
    IniFile ini(settingsFile_);
    ini.load();
    FormMemo_LoadPosition(ini);
    Memo1->setFocus();
    const bool ok = exec() == QDialog::Accepted;
    if (ok && !settingsFile_.isEmpty()) {
        // Read again: the file may have changed while the window was open.
        ini.load();
        FormMemo_SavePosition(ini);
        ini.save();
    }
    text = Memo1->toPlainText();
    return ok;
}

// ---- TForm_dialod ------------------------------------------------------------

QSize menuListClientSize(int fontHeight, int longest, int count)
{
    return {fontHeight * longest, (fontHeight + 4) * (count + 1) + 4};
}

QPoint menuWindowPosition(const QRect &owner, const QSize &size, const QRect &workArea)
{
    int left = owner.left() + (owner.width() - size.width()) / 2;
    int top = owner.top() + (owner.height() - size.height()) / 2;
    if (top < 0)
        top = 0;
    if (left < 0)
        left = 0;
    if (top + size.height() > workArea.bottom() + 1)
        top = workArea.bottom() + 1 - size.height();
    if (left + size.width() > workArea.right() + 1)
        left = workArea.right() + 1 - size.width();
    return {left, top};
}

TForm_dialod::TForm_dialod(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form_dialod"));
    setLanguage(0);
    Panel1 = new QLabel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFont(pixelFont(QStringLiteral("Tahoma"), 13, QFont::SansSerif));
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    Panel1->setPalette(white);
    Panel1->setContentsMargins(4, 4, 4, 4);
    ListView1 = new QListWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setFont(pixelFont(QStringLiteral("Courier New"), 11, QFont::Monospace));
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->installEventFilter(this);
    ListView1->viewport()->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(ListView1, 1);
}

void TForm_dialod::sizeToItems(const QString &prompt, const QStringList &items)
{
    qsizetype longest = prompt.size();
    for (const QString &s : items)
        longest = std::max(longest, s.size());
    const int h = ListView1->font().pixelSize();
    const QSize client = menuListClientSize(h, static_cast<int>(longest), static_cast<int>(items.size()));
    const int frame = 2 * ListView1->frameWidth();
    const QSize list(client.width() + frame, client.height() + frame);
    ListView1->setMinimumSize(0, 0);
    Panel1->setVisible(!prompt.isEmpty());
    const int panelHeight = prompt.isEmpty() ? 0 : Panel1->sizeHint().height();
    Panel1->setFixedWidth(list.width());
    resize(list.width(), list.height() + panelHeight);
}

void TForm_dialod::setLanguage(int language)
{
    setWindowTitle(untitledWindowTitle(language));
}

int TForm_dialod::choose(const QString &prompt, const QStringList &items, int selected, const QWidget *owner)
{
    Panel1->setText(prompt);
    ListView1->clear();
    ListView1->addItems(items);
    if (selected >= 1 && selected <= items.size()) {
        ListView1->setCurrentRow(selected - 1);
    } else {
        ListView1->setCurrentRow(-1);
        ListView1->clearSelection();
    }
    sizeToItems(prompt, items);
    ownerGeometry_ = owner ? owner->frameGeometry() : workAreaOf(this);
    move(menuWindowPosition(ownerGeometry_, frameGeometry().size(), workAreaOf(this)));
    ListView1->setFocus();
    if (exec() != QDialog::Accepted)
        return 0;
    const QList<QListWidgetItem *> chosen = ListView1->selectedItems();
    return chosen.isEmpty() ? 0 : ListView1->row(chosen.first()) + 1;
}

void TForm_dialod::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred again once the frame is known, and kept on the work area.
    move(menuWindowPosition(ownerGeometry_, frameGeometry().size(), workAreaOf(this)));
}

bool TForm_dialod::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    // A click on the list closes the window with the item it selected.
    if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonRelease)
        accept();
    return QDialog::eventFilter(watched, event);
}

} // namespace tesmora
