#include "DialogPreference.h"
#include "ModalAnswer.h"
#include "OptionKeys.h"
#include "SampleLoader.h"
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

namespace Key = OptionKey;

// The preferences dialog: how options go in and come back, the sound file
// choice and the sound test.
class TestDialogPreference : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup()
    {
        UserPrompt::SetAnswerer({});
        // No sample may still be loading at exit.
        QVERIFY(SampleLoader::WaitUntilIdle());
    }
    void roundTrip_data();
    void roundTrip();
    void soundTest();
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
        m_prompts << prompt.title + '|' + prompt.text;
        return QMessageBox::Ok;
    });
    m_dialog = std::make_unique<DialogPreference>();
}

void TestDialogPreference::roundTrip_data()
{
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<QVariantMap>("expected");
    const auto With = [](QVariantMap map, const QVariantMap& changes) {
        map.insert(changes);
        return map;
    };
    const QVariantMap stored = Key::WithDefaults({ { Key::Email, "me@example.org" } });
    // The seconds are always derived: 15 minutes, not the 1800 stored.
    const QVariantMap back = With(stored, { { Key::WatchIntervalSeconds, 900 } });
    QVariantMap empty { { Key::Email, "" }, { Key::WatchInterval, 1 },
        { Key::WatchIntervalSeconds, 60 }, { Key::SoundLoops, 2 } },
        flipped;
    for (const auto& [key, value] : Key::Defaults()) {
        if (value.typeId() == QMetaType::Bool)
            flipped.insert(key, !value.toBool());
        if (!empty.contains(key))
            empty.insert(key, QVariant(value.metaType()));
    }
    QTest::newRow("empty") << QVariantMap() << empty;
    const auto row = [&](const char* name, const QVariantMap& in, const QVariantMap& out) {
        QTest::newRow(name) << With(stored, in) << With(back, out);
    };
    row("defaults", {}, {});
    row("every box flipped", flipped, flipped);
    row("90 hours", { { Key::WatchInterval, 90 }, { Key::TimeUnit, 1 } },
        { { Key::WatchInterval, 90 }, { Key::TimeUnit, 1 },
            { Key::WatchIntervalSeconds, 324000 } });
    row("90 minutes", { { Key::WatchInterval, 90 } },
        { { Key::WatchInterval, 90 }, { Key::WatchIntervalSeconds, 5400 } });
    row("clamped", { { Key::WatchInterval, 5000 }, { Key::TimeUnit, 1 }, { Key::SoundLoops, 500 } },
        { { Key::WatchInterval, 1000 }, { Key::TimeUnit, 1 },
            { Key::WatchIntervalSeconds, 3600000 }, { Key::SoundLoops, 100 } });
    row("blanks trimmed", { { Key::SoundFile, " drum.wav " }, { Key::Email, " me@example.org\t" } },
        { { Key::SoundFile, "drum.wav" } });
}

void TestDialogPreference::roundTrip()
{
    QFETCH(QVariantMap, options);
    QFETCH(QVariantMap, expected);
    m_dialog->SetOptions(options);
    QCOMPARE(m_dialog->GetOptions(), expected);
    // Without sound only the loop count greys out; the file can still be tested.
    QCOMPARE(Child<QSpinBox>("spinBoxSoundLoops")->isEnabled(), expected[Key::PlaySound].toBool());
    QVERIFY(Child<QComboBox>("comboBoxSoundFile")->isEnabled());
    QVERIFY(Child<QPushButton>("pushButtonSoundTest")->isEnabled());
}

void TestDialogPreference::soundTest()
{
    // Blanks are kept, and neither the sound switch nor the loop count
    // chosen counts; a second test replaces the first.
    for (const char* text : { " drum.wav ", "", "drum.wav", "drum.wav" }) {
        m_dialog->SetOptions(
            { { Key::PlaySound, false }, { Key::SoundLoops, 7 }, { Key::SoundFile, text } });
        Child<QPushButton>("pushButtonSoundTest")->click();
    }
    QCOMPARE(m_prompts, QStringList(2, "Play Sound|Can not find sound file."));
    const auto sounds = m_dialog->findChildren<QSoundEffect*>();
    QCOMPARE(sounds.size(), 1);
    QCOMPARE(sounds[0]->source(), QUrl::fromLocalFile(SoundFile::Resolve("drum.wav")));
    QCOMPARE(sounds[0]->loopCount(), 2);
    QTRY_VERIFY(sounds[0]->isPlaying());
}

void TestDialogPreference::selectOwnSound()
{
    const QString own = m_scratch.filePath("own.wav");
    QVERIFY(QFile(own).open(QIODevice::WriteOnly));
    auto* combo = Child<QComboBox>("comboBoxSoundFile");
    m_dialog->SetOptions({ { Key::SoundFile, "alert.wav" } });
    // Cancelled before anything was picked, the text empties; cancelled
    // later, the file picked before comes back.
    QString picked;
    for (const QString& answer : { QString(), own, QString() }) {
        WhenModalShown(m_dialog.get(), [answer](QDialog* chooser) {
            QCOMPARE(qobject_cast<QFileDialog*>(chooser)->nameFilters(), { "Wave Files (*.wav)" });
            if (answer.isEmpty())
                return chooser->reject();
            // Typed, as selectFile() leaves a focused name field alone.
            chooser->findChild<QLineEdit*>("fileNameEdit")->setText(answer);
            chooser->accept();
        });
        combo->setCurrentIndex(5);
        emit combo->activated(5);
        picked = answer.isEmpty() ? picked : answer;
        QCOMPARE(m_dialog->GetOptions()[Key::SoundFile], picked);
    }
    combo->setCurrentIndex(3); // a built-in sound needs no chooser
    emit combo->activated(3);
    QCOMPARE(m_dialog->GetOptions()[Key::SoundFile], SoundFile::BuiltInNames()[3]);
    QCOMPARE(Child<QCheckBox>("checkBoxAutoLaunch")->text(), "Launch program when Linux starts");
}

QTEST_MAIN(TestDialogPreference)
#include "tst_dialogpreference.moc"
