#include "about_window.h"

#include "editor_colours.h"
#include "window_look.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>
#include <QPolygonF>
#include <QUrl>

namespace tesmora {

TAbout::TAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlag(Qt::Tool);
    setSizeGripEnabled(true);
    setWindowIcon(applicationIcon());
    QFont f(QStringLiteral("Tahoma"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(13);
    setFont(f);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(picture());
    Image1->setFixedSize(187, 204);
    Label_Text = new QLabel(this);
    Label_Text->setObjectName(QStringLiteral("Label_Text"));
    Label_Text->setWordWrap(true);
    Label_Text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont big = f;
    big.setPixelSize(20);
    big.setBold(true);
    Label_Text->setFont(big);
    Label_Link = new QLabel(this);
    Label_Link->setObjectName(QStringLiteral("Label_Link"));
    QFont link = f;
    link.setItalic(true);
    link.setUnderline(true);
    Label_Link->setFont(link);
    // Blue on a light palette; a light blue keeps the link legible on a dark one.
    QPalette blue = Label_Link->palette();
    blue.setColor(QPalette::WindowText, isDarkPalette(blue) ? QColor(0x8A, 0xB8, 0xFF) : QColor(Qt::blue));
    Label_Link->setPalette(blue);
    Label_Link->setCursor(Qt::PointingHandCursor);
    Label_Link->installEventFilter(this);

    auto *layout = new QGridLayout(this);
    layout->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(Label_Text, 0, 1);
    layout->addWidget(Label_Link, 1, 1, Qt::AlignLeft | Qt::AlignBottom);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(0, 1);
    resize(517, 233);
}

QPixmap TAbout::picture()
{
    // A slate with a short script and its current line (light cyan with
    // the arrow of the editor's current-line mark) over the program's icon,
    // drawn at the screen's pixel ratio.
    const qreal dpr = qApp->devicePixelRatio();
    QPixmap pm(qCeil(187 * dpr), qCeil(204 * dpr));
    pm.setDevicePixelRatio(dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 204);
    sky.setColorAt(0, QColor(0x2E, 0x5C, 0x8A));
    sky.setColorAt(1, QColor(0x12, 0x2B, 0x45));
    p.fillRect(pm.rect(), sky);
    p.setPen(QPen(QColor(0xC8, 0xA2, 0x6B), 6));
    p.setBrush(QColor(0x1E, 0x3B, 0x2F));
    p.drawRoundedRect(QRectF(14, 22, 159, 118), 6, 6);
    p.fillRect(QRectF(20, 91, 147, 18), QColor(0xC0, 0xFF, 0xFF, 90));
    p.setPen(QPen(QColor(0xC0, 0x00, 0x00), 1.2));
    p.setBrush(QColor(0xFF, 0xE0, 0x20));
    p.drawPolygon(QPolygonF({QPointF(21.5, 97.5), QPointF(27, 97.5), QPointF(27, 94), QPointF(33, 100),
                             QPointF(27, 106), QPointF(27, 102.5), QPointF(21.5, 102.5)}));
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPixelSize(13);
    p.setFont(mono);
    p.setPen(QColor(0xF0, 0xF0, 0xE8));
    // A script that runs as it stands: the sum of the squares 1² … 5².
    const QStringList lines = {QStringLiteral("s = 0"), QStringLiteral("For i = 1, 5"),
                               QString::fromUtf8("  s = s + i²"), QStringLiteral("stop")};
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(QPointF(36, 50 + 26 * i), lines.at(i));
    applicationIcon().paint(&p, QRect(69, 149, 50, 50));
    return pm;
}

void TAbout::showEvent(QShowEvent *event)
{
    Label_Text->setText(text_);
    Label_Link->setText(QFileInfo(guide_).fileName());
    QDialog::showEvent(event);
}

bool TAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label_Link && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (openGuide)
            openGuide(guide_);
        else
            QDesktopServices::openUrl(QUrl::fromLocalFile(guide_));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tesmora
