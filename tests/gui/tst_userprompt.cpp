#include "ModalAnswer.h"
#include "UserPrompt.h"

#include <QAbstractButton>
#include <QTest>

// Message boxes that a test can answer, and that still reach the user when
// no test answers them.
class TestUserPrompt : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { UserPrompt::SetAnswerer({}); }
    void answererRepliesInsteadOfTheUser();
    void withoutAnswererTheBoxIsShown();
};

void TestUserPrompt::answererRepliesInsteadOfTheUser()
{
    QList<UserPrompt::Prompt> asked;
    UserPrompt::SetAnswerer([&asked](const UserPrompt::Prompt& prompt) {
        asked << prompt;
        return QMessageBox::Cancel;
    });
    QCOMPARE(UserPrompt::Ask(nullptr,
                 { QMessageBox::Question, QStringLiteral("Title"), QStringLiteral("Text"),
                     QMessageBox::Ok | QMessageBox::Cancel }),
        QMessageBox::Cancel);
    UserPrompt::Inform(nullptr, QStringLiteral("Notice"), QStringLiteral("Something"));
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked.at(0).icon, QMessageBox::Question);
    QCOMPARE(asked.at(0).buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(asked.at(1).icon, QMessageBox::Information);
    QCOMPARE(asked.at(1).title, QStringLiteral("Notice"));
    QCOMPARE(asked.at(1).text, QStringLiteral("Something"));
    QCOMPARE(asked.at(1).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestUserPrompt::withoutAnswererTheBoxIsShown()
{
    QString shownText;
    WhenModalShown(this, [&shownText](QDialog* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        shownText = box->text();
        box->button(QMessageBox::No)->click();
    });
    QCOMPARE(UserPrompt::Ask(nullptr,
                 { QMessageBox::Question, QStringLiteral("Title"), QStringLiteral("Really?"),
                     QMessageBox::Yes | QMessageBox::No }),
        QMessageBox::No);
    QCOMPARE(shownText, QStringLiteral("Really?"));
}

QTEST_MAIN(TestUserPrompt)
#include "tst_userprompt.moc"
