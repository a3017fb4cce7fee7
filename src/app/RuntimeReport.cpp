#include "RuntimeReport.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QNetworkReply>
#include <QWidget>

namespace RuntimeReport {

namespace {

void CountTree(const QObject* object, QAbstractEventDispatcher* dispatcher, Counts* counts)
{
    ++counts->objects;
    if (dispatcher)
        counts->timers += int(dispatcher->registeredTimers(const_cast<QObject*>(object)).size());
    counts->replies += qobject_cast<const QNetworkReply*>(object) != nullptr;
    for (const QObject* child : object->children())
        CountTree(child, dispatcher, counts);
}

} // namespace

Counts Count()
{
    Counts counts;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (QCoreApplication* app = QCoreApplication::instance())
        CountTree(app, dispatcher, &counts);
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->parent())
            CountTree(window, dispatcher, &counts);
    }
    return counts;
}

QString Line(const Counts& counts)
{
    return QStringLiteral("objects=%1 timers=%2 replies=%3")
        .arg(counts.objects)
        .arg(counts.timers)
        .arg(counts.replies);
}

} // namespace RuntimeReport
