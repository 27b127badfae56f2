// Drives the modal window a call opens: `act` runs with the active modal
// widget once it is shown (polled from the event loop, so the call that
// opens the window can run to its end).
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace tesmora::test {

inline void whenModal(std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer;
    auto shared = std::make_shared<std::function<void(QWidget *)>>(std::move(act));
    QObject::connect(timer, &QTimer::timeout, [timer, shared] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        (*shared)(modal);
    });
    timer->start(5);
}

// The captions of the buttons a window shows, sorted, without their
// accelerator marks.
inline QStringList buttonTexts(QWidget *w)
{
    QStringList texts;
    for (QAbstractButton *b : w->findChildren<QAbstractButton *>())
        if (b->isVisible())
            texts << b->text().remove(QLatin1Char('&'));
    texts.sort();
    return texts;
}

} // namespace tesmora::test
