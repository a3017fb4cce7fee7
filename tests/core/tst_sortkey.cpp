#include "Global.h"

#include <QTest>

class TestSortKey : public QObject
{
    Q_OBJECT

private slots:
    void dropsOneLeadingArticle_data();
    void dropsOneLeadingArticle();
};

void TestSortKey::dropsOneLeadingArticle_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("the") << "The Matrix"
                         << "Matrix";
    QTest::newRow("a") << "A Tale"
                       << "Tale";
    QTest::newRow("an") << "An Apple"
                        << "Apple";
    QTest::newRow("upper-case article") << "THE END"
                                        << "END";
    QTest::newRow("lower-case article") << "the end"
                                        << "end";
    QTest::newRow("word starting like an") << "Anne"
                                           << "Anne";
    QTest::newRow("word starting like the") << "Theory"
                                            << "Theory";
    QTest::newRow("word starting like a") << "Apple"
                                          << "Apple";
    QTest::newRow("a then the") << "A The Thing"
                                << "Thing";
    QTest::newRow("the then a keeps a") << "The A Team"
                                        << "A Team";
    QTest::newRow("all three in order") << "A An The x"
                                        << "x";
    QTest::newRow("an then a keeps a") << "An A x"
                                       << "A x";
    QTest::newRow("each step once") << "The The Wall"
                                    << "The Wall";
    QTest::newRow("leading blank kept") << " The X"
                                        << " The X";
    QTest::newRow("article alone without blank") << "The"
                                                 << "The";
    QTest::newRow("article with blank only") << "the "
                                             << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("rest keeps case") << "the mIxEd"
                                     << "mIxEd";
}

void TestSortKey::dropsOneLeadingArticle()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Global::ToSortableString(text), expected);
}

QTEST_GUILESS_MAIN(TestSortKey)
#include "tst_sortkey.moc"
