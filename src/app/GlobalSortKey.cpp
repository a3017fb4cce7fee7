#include "Global.h"

namespace Global {

namespace {

// Drops the article when the text starts with it, compared without regard
// to case; the rest keeps its case.
QString WithoutLeadingArticle(const QString& text, QLatin1String article)
{
    if (text.startsWith(article, Qt::CaseInsensitive))
        return text.mid(article.size());
    return text;
}

} // namespace

QString ToSortableString(const QString& text)
{
    // Each article is tried once and in this order, so "A The Thing" loses
    // both articles while "The A Team" keeps its "A".
    QString result = WithoutLeadingArticle(text, QLatin1String("a "));
    result = WithoutLeadingArticle(result, QLatin1String("an "));
    return WithoutLeadingArticle(result, QLatin1String("the "));
}

} // namespace Global
