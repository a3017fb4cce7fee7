#include "DialogConfirm.h"
#include "ScratchEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <functional>

// The confirmation question and its remembered answer.
class TestDialogConfirm : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }
    void showsMessageAndTitle();
    void messageIsShownAsPlainText();
    void answers_data();
    void answers();
    void rememberedAnswerIsYesWithoutShowing();
    void rememberedAnswerIsPerIdentifier();

private:
    ScratchEnvironment m_scratch;
};

namespace {

// Runs action on the modal dialog once exec() has shown it.
void WhenModalShown(std::function<void(QDialog*)> action)
{
    auto* poll = new QTimer;
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

void Answer(QDialog* dialog, bool tick, QDialogButtonBox::StandardButton button)
{
    dialog->findChild<QCheckBox*>(QStringLiteral("checkBoxDoNotShow"))->setChecked(tick);
    dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(button)->click();
}

} // namespace

void TestDialogConfirm::showsMessageAndTitle()
{
    DialogConfirm dialog(nullptr, QStringLiteral("RemoveItem"), QStringLiteral("Really?"),
        QStringLiteral("Confirm"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Confirm"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("labelMessage"))->text(),
        QStringLiteral("Really?"));
    QCOMPARE(dialog.findChild<QCheckBox*>(QStringLiteral("checkBoxDoNotShow"))->text(),
        QStringLiteral("Do not show this message again"));
}

void TestDialogConfirm::messageIsShownAsPlainText()
{
    // Product titles come from the network and end up in the question.
    DialogConfirm dialog(nullptr, QStringLiteral("RemoveItem"),
        QStringLiteral("Remove \"<img src=x>\"?"), QStringLiteral("Confirm"));
    QCOMPARE(
        dialog.findChild<QLabel*>(QStringLiteral("labelMessage"))->textFormat(), Qt::PlainText);
}

void TestDialogConfirm::answers_data()
{
    QTest::addColumn<bool>("tick");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("remembered");
    QTest::newRow("yes") << false << int(QDialogButtonBox::Yes) << 1 << false;
    QTest::newRow("yes, ticked") << true << int(QDialogButtonBox::Yes) << 1 << true;
    QTest::newRow("cancel") << false << int(QDialogButtonBox::Cancel) << 0 << false;
    QTest::newRow("cancel, ticked") << true << int(QDialogButtonBox::Cancel) << 0 << false;
}

void TestDialogConfirm::answers()
{
    QFETCH(bool, tick);
    QFETCH(int, button);
    QFETCH(int, result);
    QFETCH(bool, remembered);

    DialogConfirm dialog(nullptr, QStringLiteral("RemoveItem"), QStringLiteral("Remove?"),
        QStringLiteral("Confirm"));
    WhenModalShown([tick, button](QDialog* shown) {
        Answer(shown, tick, static_cast<QDialogButtonBox::StandardButton>(button));
    });
    QCOMPARE(dialog.exec(), result);
    QCOMPARE(QSettings().value(QStringLiteral("DialogConfirm/RemoveItem")).toBool(), remembered);
}

void TestDialogConfirm::rememberedAnswerIsYesWithoutShowing()
{
    QSettings().setValue(QStringLiteral("DialogConfirm/RemoveItem"), true);
    DialogConfirm dialog(nullptr, QStringLiteral("RemoveItem"), QStringLiteral("A new text"),
        QStringLiteral("Confirm"));
    // Were the dialog shown, this would turn the answer into a refusal.
    QTimer::singleShot(0, &dialog, &QDialog::reject);
    QCOMPARE(dialog.exec(), 1);
    QVERIFY(!dialog.isVisible());
}

void TestDialogConfirm::rememberedAnswerIsPerIdentifier()
{
    QSettings().setValue(QStringLiteral("DialogConfirm/SomethingElse"), true);
    DialogConfirm dialog(nullptr, QStringLiteral("RemoveItem"), QStringLiteral("Remove?"),
        QStringLiteral("Confirm"));
    WhenModalShown([](QDialog* shown) { Answer(shown, false, QDialogButtonBox::Cancel); });
    QCOMPARE(dialog.exec(), 0);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("PricewardenTest"));
    QCoreApplication::setApplicationName(QStringLiteral("DialogConfirm"));
    TestDialogConfirm test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogconfirm.moc"
