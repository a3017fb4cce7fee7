#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

// Answers a modal dialog in place of the user: runs action on the dialog once
// exec() has shown it. The poll dies with context, so a dialog that is never
// shown leaves nothing behind.
inline void WhenModalShown(QObject* context, std::function<void(QDialog*)> action)
{
    auto* poll = new QTimer(context);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(dialog);
        }
    });
    poll->start();
}
