#include "DialogConfirm.h"
#include "ModalAnswer.h"
#include "ScratchEnvironment.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>

// The confirmation question and its remembered answer.
class TestDialogConfirm : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }
    void showsMessageAsPlainText();
    void answers_data();
    void answers();

private:
    ScratchEnvironment m_scratch;
};

void TestDialogConfirm::showsMessageAsPlainText()
{
    // Product titles come from the network and end up in the question.
    const QString text = QStringLiteral("Remove \"<img src=x>\"?");
    DialogConfirm dialog(nullptr, QStringLiteral("RemoveItem"), text, QStringLiteral("Confirm"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Confirm"));
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("labelMessage"));
    QCOMPARE(label->text(), text);
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QCOMPARE(dialog.findChild<QCheckBox*>(QStringLiteral("checkBoxDoNotShow"))->text(),
        QStringLiteral("Do not show this message again"));
}

void TestDialogConfirm::answers_data()
{
    QTest::addColumn<QString>("rememberedBefore");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("remembered");
    const int yes = QDialogButtonBox::Yes;
    const int cancel = QDialogButtonBox::Cancel;
    QTest::newRow("yes") << QString() << false << yes << 1 << false;
    QTest::newRow("yes, ticked") << QString() << true << yes << 1 << true;
    QTest::newRow("cancel") << QString() << false << cancel << 0 << false;
    QTest::newRow("cancel, ticked") << QString() << true << cancel << 0 << false;
    // Shown, the dialog would be cancelled; remembered, it answers yes unseen.
    QTest::newRow("remembered") << "RemoveItem" << false << cancel << 1 << true;
    QTest::newRow("another question remembered") << "Other" << false << cancel << 0 << false;
}

void TestDialogConfirm::answers()
{
    QFETCH(QString, rememberedBefore);
    QFETCH(bool, tick);
    QFETCH(int, button);
    QFETCH(int, result);
    QFETCH(bool, remembered);
    if (!rememberedBefore.isEmpty())
        QSettings().setValue(QStringLiteral("DialogConfirm/") + rememberedBefore, true);

    DialogConfirm dialog(nullptr, QStringLiteral("RemoveItem"), QStringLiteral("Remove?"),
        QStringLiteral("Confirm"));
    bool shown = false;
    WhenModalShown(&dialog, [&](QDialog* active) {
        shown = true;
        active->findChild<QCheckBox*>(QStringLiteral("checkBoxDoNotShow"))->setChecked(tick);
        active->findChild<QDialogButtonBox*>()
            ->button(static_cast<QDialogButtonBox::StandardButton>(button))
            ->click();
    });
    QCOMPARE(dialog.exec(), result);
    QCOMPARE(shown, rememberedBefore != QLatin1String("RemoveItem"));
    QCOMPARE(QSettings().value(QStringLiteral("DialogConfirm/RemoveItem")).toBool(), remembered);
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
