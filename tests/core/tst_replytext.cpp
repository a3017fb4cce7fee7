#include "ReplyText.h"

#include <QTest>

// Where a long text is cut, and what never survives: the parser tests show
// the rules applied to every field of a reply.
class TestReplyText : public QObject
{
    Q_OBJECT

private slots:
    void displayable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("expected");
        const QString e = "e\u0301"; // an accent that belongs to its letter
        const QString face = "\U0001F600"; // two UTF-16 units
        QTest::newRow("short enough") << "abc" << 3 << "abc";
        QTest::newRow("cut with an ellipsis") << "abcdef" << 4 << "abc\u2026";
        QTest::newRow("accent stays with its letter") << "ab" + e + "x" << 4 << "ab\u2026";
        QTest::newRow("no half emoji") << "ab" + face + "x" << 4 << "ab\u2026";
        QTest::newRow("blank before the cut trimmed") << "ab  cdef" << 5 << "ab\u2026";
        QTest::newRow("lone surrogates dropped")
            << "a" + QString(QChar(0xD800)) + "b" + QChar(0xDC00) << 9 << "ab";
        QTest::newRow("runs of controls are one blank")
            << "\t a\r\n\x01\x7f b \u2029" << 9 << "a b";
        QTest::newRow("nothing left") << "\u202E\n" << 9 << "";
    }

    void displayable()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        QFETCH(QString, expected);
        QCOMPARE(ReplyText::Displayable(text, length), expected);
    }
};

QTEST_GUILESS_MAIN(TestReplyText)
#include "tst_replytext.moc"
