#include "DialogPreference.h"
#include "ModalAnswer.h"
#include "OptionKeys.h"
#include "ScratchEnvironment.h"
#include "SoundFile.h"
#include "UserPrompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSoundEffect>
#include <QSpinBox>
#include <QTest>

// The preferences dialog: how options go in and come back, the sound file
// choice and the sound test.
class TestDialogPreference : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { UserPrompt::SetAnswerer({}); }
    void roundTrip_data();
    void roundTrip();
    void soundTest_data();
    void soundTest();
    void selectOwnSound_data();
    void selectOwnSound();

private:
    template <typename T>
    T* Child(const char* name)
    {
        return m_dialog->findChild<T*>(QLatin1String(name));
    }
    ScratchEnvironment m_scratch;
    std::unique_ptr<DialogPreference> m_dialog;
    QStringList m_prompts;
};

void TestDialogPreference::init()
{
    m_prompts.clear();
    UserPrompt::SetAnswerer([this](const UserPrompt::Prompt& prompt) {
        m_prompts << prompt.title + QLatin1Char('|') + prompt.text;
        return QMessageBox::Ok;
    });
    m_dialog = std::make_unique<DialogPreference>();
}

void TestDialogPreference::roundTrip_data()
{
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<QVariantMap>("expected");
    QVariantMap stored = OptionKey::WithDefaults({ { OptionKey::Email, "me@example.org" } });
    const auto with = [](QVariantMap map, const QVariantMap& changes) {
        map.insert(changes);
        return map;
    };
    // The interval in seconds is always derived: 15 minutes, not the 1800 stored.
    const QVariantMap back = with(stored, { { OptionKey::WatchIntervalSeconds, 900 } });

    QTest::newRow("empty") << QVariantMap()
                           << QVariantMap { { OptionKey::WatchInterval, 1 },
                                  { OptionKey::TimeUnit, 0 },
                                  { OptionKey::WatchIntervalSeconds, 60 },
                                  { OptionKey::AutoStart, false }, { OptionKey::PlaySound, false },
                                  { OptionKey::SoundLoops, 2 }, { OptionKey::SoundFile, "" },
                                  { OptionKey::Email, "" }, { OptionKey::NoPopup, false },
                                  { OptionKey::DesktopNotifications, false },
                                  { OptionKey::MinimizeToTray, false },
                                  { OptionKey::CloseToMinimize, false },
                                  { OptionKey::AutoLaunch, false } };
    QTest::newRow("defaults") << stored << back;
    QTest::newRow("90 hours") << with(stored, { { "WatchInterval", 90 }, { "TimeUnit", 1 } })
                              << with(back,
                                     { { "WatchInterval", 90 }, { "TimeUnit", 1 },
                                         { "WatchIntervalSeconds", 324000 } });
    QTest::newRow("90 minutes") << with(stored,
        { { "WatchInterval",
            90 } }) << with(back, { { "WatchInterval", 90 }, { "WatchIntervalSeconds", 5400 } });
    QTest::newRow("clamped low") << with(stored, { { "WatchInterval", 0 }, { "SoundLoops", 1 } })
                                 << with(back,
                                        { { "WatchInterval", 1 }, { "WatchIntervalSeconds", 60 },
                                            { "SoundLoops", 2 } });
    QTest::newRow("clamped high") << with(
        stored, { { "WatchInterval", 5000 }, { "TimeUnit", 1 }, { "SoundLoops", 500 } })
                                  << with(back,
                                         { { "WatchInterval", 1000 }, { "TimeUnit", 1 },
                                             { "WatchIntervalSeconds", 3600000 },
                                             { "SoundLoops", 100 } });
    QTest::newRow("blanks trimmed")
        << with(stored, { { "SoundFile", " drum.wav " }, { "Email", "  me@example.org\t" } })
        << with(back, { { "SoundFile", "drum.wav" } });
    QVariantMap flipped;
    for (const auto& [key, value] : OptionKey::Defaults()) {
        if (value.typeId() == QMetaType::Bool)
            flipped.insert(key, !value.toBool());
    }
    QTest::newRow("every box flipped") << with(stored, flipped) << with(back, flipped);
}

void TestDialogPreference::roundTrip()
{
    QFETCH(QVariantMap, options);
    QFETCH(QVariantMap, expected);
    m_dialog->SetOptions(options);
    QCOMPARE(m_dialog->GetOptions(), expected);
    // Without sound only the loop count greys out; the file can still be tested.
    const bool sound = expected.value(OptionKey::PlaySound).toBool();
    QCOMPARE(Child<QSpinBox>("spinBoxSoundLoops")->isEnabled(), sound);
    QVERIFY(Child<QComboBox>("comboBoxSoundFile")->isEnabled());
    QVERIFY(Child<QPushButton>("pushButtonSoundTest")->isEnabled());
}

void TestDialogPreference::soundTest_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("plays"); // empty: the user is told it is missing
    const QString drum = SoundFile::Resolve(QStringLiteral("drum.wav"));
    QTest::newRow("built-in") << "drum.wav" << drum;
    QTest::newRow("absolute") << drum << drum;
    QTest::newRow("blanks around") << " drum.wav " << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("missing") << "/no/such.wav" << QString();
}

void TestDialogPreference::soundTest()
{
    QFETCH(QString, text);
    QFETCH(QString, plays);
    // The test ignores both the sound switch and the loop count chosen.
    m_dialog->SetOptions({ { OptionKey::PlaySound, false }, { OptionKey::SoundLoops, 7 },
        { OptionKey::SoundFile, text } });
    auto* button = Child<QPushButton>("pushButtonSoundTest");
    button->click();
    button->click(); // a second test replaces the first
    const auto sounds = m_dialog->findChildren<QSoundEffect*>();
    if (plays.isEmpty()) {
        QVERIFY(sounds.isEmpty());
        QCOMPARE(m_prompts, QStringList(2, QStringLiteral("Play Sound|Can not find sound file.")));
        return;
    }
    QVERIFY(m_prompts.isEmpty());
    QCOMPARE(sounds.size(), 1);
    QCOMPARE(sounds.first()->source(), QUrl::fromLocalFile(plays));
    QCOMPARE(sounds.first()->loopCount(), 2);
    QTRY_VERIFY(sounds.first()->isPlaying());
}

void TestDialogPreference::selectOwnSound_data()
{
    QTest::addColumn<QStringList>("answers"); // per opening: a file, or empty to cancel
    QTest::addColumn<QString>("expected");
    const QString own = QDir::toNativeSeparators(m_scratch.filePath(QStringLiteral("own.wav")));
    QTest::newRow("cancelled at once") << QStringList { QString() } << QString();
    QTest::newRow("picked") << QStringList { own } << own;
    QTest::newRow("picked, then cancelled") << QStringList { own, QString() } << own;
}

void TestDialogPreference::selectOwnSound()
{
    QFETCH(QStringList, answers);
    QFETCH(QString, expected);
    QFile file(m_scratch.filePath(QStringLiteral("own.wav")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    auto* combo = Child<QComboBox>("comboBoxSoundFile");
    m_dialog->SetOptions({ { OptionKey::SoundFile, "alert.wav" } });
    for (const QString& answer : answers) {
        WhenModalShown(m_dialog.get(), [answer](QDialog* active) {
            auto* chooser = qobject_cast<QFileDialog*>(active);
            QVERIFY(chooser);
            QCOMPARE(chooser->nameFilters(), QStringList(QStringLiteral("Wave Files (*.wav)")));
            if (answer.isEmpty())
                return chooser->reject();
            // Typed, as selectFile() leaves a focused name field alone.
            chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(answer);
            active->accept();
        });
        combo->setCurrentIndex(combo->count() - 1);
        emit combo->activated(combo->count() - 1);
    }
    QCOMPARE(combo->itemText(combo->count() - 1), QStringLiteral("Select your own..."));
    QCOMPARE(m_dialog->GetOptions().value(OptionKey::SoundFile).toString(), expected);
    // Choosing a built-in sound needs no chooser.
    combo->setCurrentIndex(3);
    emit combo->activated(3);
    QCOMPARE(m_dialog->GetOptions().value(OptionKey::SoundFile).toString(),
        SoundFile::BuiltInNames().value(3));
    QCOMPARE(Child<QCheckBox>("checkBoxAutoLaunch")->text(),
        QStringLiteral("Launch program when Linux starts"));
}

QTEST_MAIN(TestDialogPreference)
#include "tst_dialogpreference.moc"
