#include "VersionNumber.h"

#include <QStringList>

namespace VersionNumber {

namespace {

// The numbers without leading zeros, so any length compares; empty when
// the text is not a version number.
QStringList Components(const QString& text)
{
    QStringList components = text.trimmed().split(QLatin1Char('.'));
    for (QString& component : components) {
        if (component.isEmpty())
            return {};
        for (const QChar c : component) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return {};
        }
        while (component.size() > 1 && component.startsWith(QLatin1Char('0')))
            component.remove(0, 1);
    }
    return components;
}

// Negative, zero or positive as a is before, the same as or after b.
int CompareNumbers(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

} // namespace

bool IsNewerVersion(const QString& latest, const QString& running)
{
    const QStringList newer = Components(latest);
    const QStringList current = Components(running);
    if (newer.isEmpty() || current.isEmpty())
        return false;
    for (qsizetype i = 0; i < qMax(newer.size(), current.size()); ++i) {
        const int order = CompareNumbers(
            newer.value(i, QStringLiteral("0")), current.value(i, QStringLiteral("0")));
        if (order != 0)
            return order > 0;
    }
    return false;
}

} // namespace VersionNumber
