#include "Global.h"

#include <QTest>

class TestSortKey : public QObject
{
    Q_OBJECT

private slots:
    void dropsLeadingArticles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QString& text, const QString& expected) {
            QTest::newRow(name) << text << expected;
        };
        row("the", "The Matrix", "Matrix");
        row("a", "A Tale", "Tale");
        row("an", "An Apple", "Apple");
        row("any case, rest keeps its case", "THE mIxEd", "mIxEd");
        row("word starting like an", "Anne", "Anne");
        row("word starting like the", "Theory", "Theory");
        row("a then the", "A The Thing", "Thing");
        row("the then a keeps a", "The A Team", "A Team");
        row("an then a keeps a", "An A x", "A x");
        row("each article once", "The The Wall", "The Wall");
        row("leading blank kept", " The X", " The X");
        row("article alone without blank", "The", "The");
        row("article with blank only", "the ", "");
    }

    void dropsLeadingArticles()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Global::ToSortableString(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestSortKey)
#include "tst_sortkey.moc"
