#include "DialogAlert.h"
#include "ItemRecordKeys.h"
#include "SampleLoader.h"
#include "ScratchEnvironment.h"
#include "SoundFile.h"

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
    // No sample may still be loading at exit.
    void cleanup() { QVERIFY(SampleLoader::WaitUntilIdle()); }
    void alertsAccumulate();
    void sound_data();
    void sound();

private:
    ScratchEnvironment m_scratch;
};

void TestDialogAlert::alertsAccumulate()
{
    DialogAlert dialog;
    for (const QString title : { "First", "Second", "Third" }) {
        const bool show = title == QLatin1String("Second");
        dialog.ShowNewAlert({ { ItemKey::Title, title }, { ItemKey::WatchCondition, 1 } }, show);
        QCOMPARE(dialog.isVisible(), show);
        dialog.close();
    }
    const QStringList lines = dialog.findChild<QTextBrowser*>()->toPlainText().split('\n');
    QCOMPARE(lines.size(), 6); // a time stamp line and a title line each
    QVERIFY(lines[0].startsWith("On ") && lines[2].startsWith("On ") && lines[4].startsWith("On "));
    QCOMPARE(lines[1] + lines[3] + lines[5],
        "First: Item is in stock!Second: Item is in stock!Third: Item is in stock!");
}

void TestDialogAlert::sound_data()
{
    QTest::addColumn<int>("loops");
    QTest::addColumn<int>("loopCount");
    QTest::addColumn<QString>("stop"); // button, or empty to close the window
    QTest::newRow("Sound Off") << 10 << 10 << "pushButton";
    QTest::newRow("Close") << -1 << int(QSoundEffect::Infinite) << "pushButton_2";
    QTest::newRow("window closed") << -1 << int(QSoundEffect::Infinite) << QString();
}

void TestDialogAlert::sound()
{
    QFETCH(int, loops);
    QFETCH(int, loopCount);
    QFETCH(QString, stop);
    DialogAlert dialog;
    dialog.OnSoundOff(); // nothing plays yet: harmless
    dialog.show();
    dialog.PlayAlertSound(SoundFile::Resolve("drum.wav"), -1);
    QPointer<QSoundEffect> first = dialog.findChild<QSoundEffect*>();
    QTRY_VERIFY(first->isPlaying());

    // The next alert's sound replaces the one still looping.
    const QString second = SoundFile::Resolve("buzzer.wav");
    dialog.PlayAlertSound(second, loops);
    QVERIFY(first.isNull());
    const auto sounds = dialog.findChildren<QSoundEffect*>();
    QCOMPARE(sounds.size(), 1);
    QCOMPARE(sounds[0]->source(), QUrl::fromLocalFile(second));
    QCOMPARE(sounds[0]->loopCount(), loopCount);
    QTRY_VERIFY(sounds[0]->isPlaying());

    if (stop.isEmpty())
        dialog.close();
    else
        dialog.findChild<QPushButton*>(stop)->click();
    QTRY_VERIFY(!sounds[0]->isPlaying());
    QCOMPARE(dialog.isVisible(), stop == QLatin1String("pushButton"));
}

QTEST_MAIN(TestDialogAlert)
#include "tst_dialogalert.moc"
