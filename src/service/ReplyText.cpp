#include "ReplyText.h"

#include <QTextBoundaryFinder>
#include <QUrl>

namespace {

const QChar Ellipsis(0x2026);

// The marks and embeddings that change the direction of the text around
// them (ALM, LRM, RLM, LRE to RLO, LRI to PDI).
bool IsBidiFormatting(char16_t unit)
{
    return unit == 0x061C || unit == 0x200E || unit == 0x200F || (unit >= 0x202A && unit <= 0x202E)
        || (unit >= 0x2066 && unit <= 0x2069);
}

bool BreaksTheLine(QChar character)
{
    const QChar::Category category = character.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line
        || category == QChar::Separator_Paragraph;
}

QString OnOneLine(const QString& text)
{
    QString line;
    line.reserve(text.size());
    bool pendingBlank = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            if (pendingBlank)
                line += QLatin1Char(' ');
            pendingBlank = false;
            line += unit;
            line += text.at(++i);
            continue;
        }
        if (unit.isSurrogate() || IsBidiFormatting(unit.unicode()))
            continue;
        if (BreaksTheLine(unit)) {
            pendingBlank = true;
            continue;
        }
        if (pendingBlank && unit != QLatin1Char(' '))
            line += QLatin1Char(' ');
        pendingBlank = false;
        line += unit;
    }
    return line.trimmed();
}

} // namespace

QString ReplyText::Displayable(const QString& text, int maximumLength)
{
    QString line = OnOneLine(text);
    if (line.size() <= maximumLength)
        return line;
    if (maximumLength < 1)
        return {};
    // Cut between characters as the user sees them, so no accent loses its
    // letter and no emoji its other half.
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, line);
    boundaries.setPosition(maximumLength - 1);
    qsizetype end
        = boundaries.isAtBoundary() ? boundaries.position() : boundaries.toPreviousBoundary();
    if (end < 0)
        end = 0;
    line.truncate(end);
    return line.trimmed() + Ellipsis;
}

QString ReplyText::WebLink(const QString& text)
{
    if (text.isEmpty() || text.size() > LinkLength)
        return {};
    for (const QChar unit : text) {
        if (unit.isSpace() || BreaksTheLine(unit) || IsBidiFormatting(unit.unicode()))
            return {};
    }
    const QUrl url(text);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return text;
}
