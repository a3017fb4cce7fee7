#include "DialogAlert.h"
#include "ItemRecordKeys.h"
#include "ScratchEnvironment.h"
#include "SoundFile.h"

#include <QApplication>
#include <QPushButton>
#include <QSoundEffect>
#include <QTest>
#include <QTextBrowser>

// The alert window: its accumulated paragraphs and its sound. Without an
// audio device a started sound stays "playing" for good, so the checks look
// at what plays, not at how it ends.
class TestDialogAlert : public QObject
{
    Q_OBJECT

private slots:
    void alertsAccumulate();
    void soundStops_data();
    void soundStops();
    void newSoundReplacesOld_data();
    void newSoundReplacesOld();

private:
    static QSoundEffect* Sound(const DialogAlert& dialog);
    ScratchEnvironment m_scratch;
};

QSoundEffect* TestDialogAlert::Sound(const DialogAlert& dialog)
{
    const auto sounds = dialog.findChildren<QSoundEffect*>();
    return sounds.size() == 1 ? sounds.first() : nullptr;
}

void TestDialogAlert::alertsAccumulate()
{
    DialogAlert dialog;
    const auto item = [](const QString& title) {
        return QVariantMap { { ItemKey::Title, title },
            { ItemKey::WatchCondition, WatchCondition::InStock } };
    };
    dialog.ShowNewAlert(item(QStringLiteral("First")), false);
    QVERIFY(!dialog.isVisible());
    dialog.ShowNewAlert(item(QStringLiteral("Second")));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
    dialog.close();
    dialog.ShowNewAlert(item(QStringLiteral("Third")), false);

    const QStringList lines = dialog.findChild<QTextBrowser*>()->toPlainText().split('\n');
    QCOMPARE(lines.size(), 6); // time stamp line, then title line, per alert
    for (int i = 0; i < 3; ++i)
        QVERIFY(lines[2 * i].startsWith(QLatin1String("On ")));
    QCOMPARE(lines[1], QStringLiteral("First: Item is in stock!"));
    QCOMPARE(lines[3], QStringLiteral("Second: Item is in stock!"));
    QCOMPARE(lines[5], QStringLiteral("Third: Item is in stock!"));
}

void TestDialogAlert::soundStops_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Sound Off") << "pushButton";
    QTest::newRow("Close") << "pushButton_2";
    QTest::newRow("window closed") << QString();
}

void TestDialogAlert::soundStops()
{
    QFETCH(QString, how);
    DialogAlert dialog;
    dialog.OnSoundOff(); // nothing playing yet: harmless
    dialog.show();
    dialog.PlayAlertSound(SoundFile::Resolve(QStringLiteral("alert.wav")), -1);
    QTRY_VERIFY(Sound(dialog)->isPlaying());
    if (how.isEmpty())
        dialog.close();
    else
        dialog.findChild<QPushButton*>(how)->click();
    QTRY_VERIFY(!Sound(dialog)->isPlaying());
    QCOMPARE(dialog.isVisible(), how == QLatin1String("pushButton"));
}

void TestDialogAlert::newSoundReplacesOld_data()
{
    QTest::addColumn<int>("loops");
    QTest::addColumn<int>("loopCount");
    QTest::newRow("ten") << 10 << 10;
    QTest::newRow("until stopped") << -1 << int(QSoundEffect::Infinite);
}

void TestDialogAlert::newSoundReplacesOld()
{
    QFETCH(int, loops);
    QFETCH(int, loopCount);
    DialogAlert dialog;
    dialog.PlayAlertSound(SoundFile::Resolve(QStringLiteral("drum.wav")), -1);
    QPointer<QSoundEffect> first = Sound(dialog);
    QTRY_VERIFY(first->isPlaying());

    const QString second = SoundFile::Resolve(QStringLiteral("buzzer.wav"));
    dialog.PlayAlertSound(second, loops);
    QVERIFY(first.isNull());
    QSoundEffect* sound = Sound(dialog);
    QVERIFY(sound);
    QCOMPARE(sound->source(), QUrl::fromLocalFile(second));
    QCOMPARE(sound->loopCount(), loopCount);
    QTRY_VERIFY(sound->isPlaying());
}

QTEST_MAIN(TestDialogAlert)
#include "tst_dialogalert.moc"
