#include "VersionNumber.h"

#include <QTest>

// Whether an announced release is newer than the running one.
class TestVersionNumber : public QObject
{
    Q_OBJECT

private slots:
    void isNewer_data();
    void isNewer();
};

void TestVersionNumber::isNewer_data()
{
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("running");
    QTest::addColumn<bool>("newer");
    QTest::newRow("minor step") << "1.4"
                                << "1.3" << true;
    QTest::newRow("same") << "1.3"
                          << "1.3" << false;
    QTest::newRow("older") << "1.2"
                           << "1.3" << false;
    QTest::newRow("two digits") << "1.10"
                                << "1.3" << true;
    QTest::newRow("two digits, running") << "1.9"
                                         << "1.10" << false;
    QTest::newRow("trailing zero") << "1.3.0"
                                   << "1.3" << false;
    QTest::newRow("trailing zero, running") << "1.3"
                                            << "1.3.0" << false;
    QTest::newRow("patch") << "1.3.1"
                           << "1.3" << true;
    QTest::newRow("major") << "2"
                           << "1.99.99" << true;
    QTest::newRow("leading zeros") << "1.03"
                                   << "1.3" << false;
    QTest::newRow("beyond 64 bits") << "1.99999999999999999999"
                                    << "1.3" << true;
    QTest::newRow("blanks around") << " 1.4\n"
                                   << "1.3" << true;
    QTest::newRow("empty") << ""
                           << "1.3" << false;
    QTest::newRow("words") << "new"
                           << "1.3" << false;
    QTest::newRow("suffix") << "1.4-beta"
                            << "1.3" << false;
    QTest::newRow("empty component") << "1..4"
                                     << "1.3" << false;
    QTest::newRow("sign") << "+1.4"
                          << "1.3" << false;
    QTest::newRow("running unreadable") << "1.4"
                                        << "" << false;
}

void TestVersionNumber::isNewer()
{
    QFETCH(QString, latest);
    QFETCH(QString, running);
    QFETCH(bool, newer);
    QCOMPARE(VersionNumber::IsNewerVersion(latest, running), newer);
}

QTEST_GUILESS_MAIN(TestVersionNumber)
#include "tst_versionnumber.moc"
