// The program speaks the locale's language: its own texts, Qt's, the HTML
// templates and, started under LANG, the real program; English for a
// language it lacks.

#include "Global.h"
#include "MainWindow.h"
#include "ProcessWait.h"
#include "ScratchEnvironment.h"
#include "Translations.h"

#include <QAction>
#include <QtTest>

class TestTranslations : public QObject
{
    Q_OBJECT

    ScratchEnvironment m_scratch;

private slots:
    void initTestCase() { QVERIFY(Global::Initialize()); }

    void speaksTheLocalesLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        // The language loaded, the Start button's tool tip, Qt's "Cancel", a
        // phrase of the about text and the real program's usage line.
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("de_DE") << "de_DE"
                               << QStringList { "de", "Überwachung starten", "Abbrechen",
                                      "behält Produkte", "Aufruf: pricewarden [Optionen]" };
        QTest::newRow("fr_FR") << "fr_FR"
                               << QStringList { "fr", "Démarrer la surveillance", "Annuler",
                                      "garde un œil", "Utilisation\u00a0: pricewarden [options]" };
        QTest::newRow("ja_JP") << "ja_JP"
                               << QStringList { "ja", "監視を開始", "キャンセル", "商品を見守り",
                                      "使い方: pricewarden [オプション]" };
        // Qt speaks Portuguese, the program does not: one language in a window.
        for (const char* locale : { "en_US", "pt_BR", "xx_YY" })
            QTest::newRow(locale) << locale
                                  << QStringList { "", "Start Watching", "Cancel", "keeps an eye",
                                         "Usage: pricewarden [options]" };
    }

    void speaksTheLocalesLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, shown);
        const Translations translations { QLocale(locale) };
        QLocale::setDefault(QLocale(locale)); // picks the templates' language
        const MainWindow window;
        QFile about(":/about.html");
        about.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(about.readAll());
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("LC_ALL"); // pinned for the tests; LANG decides here
        environment.insert("LANG", locale + ".UTF-8");
        program.setProcessEnvironment(environment);
        program.start(QCoreApplication::applicationDirPath() + "/pricewarden", { "--help" });
        QVERIFY(WaitForExit(program, 10000));
        QCOMPARE((QStringList { translations.Language(),
                     window.findChild<QAction*>("actionStart")->toolTip(),
                     QCoreApplication::translate("QPlatformTheme", "Cancel"),
                     text.contains(shown.at(3)) ? shown.at(3) : text,
                     QString::fromUtf8(program.readAllStandardOutput()).section('\n', 0, 0) }),
            shown);
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
