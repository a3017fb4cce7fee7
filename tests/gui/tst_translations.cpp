// The program speaks the user's language: its own texts, Qt's and the HTML
// templates, chosen by the locale; English for a language it does not speak.

#include "Global.h"
#include "MainWindow.h"
#include "ProcessWait.h"
#include "ScratchEnvironment.h"
#include "Translations.h"

#include <QAction>
#include <QApplication>
#include <QRegularExpression>
#include <QStatusBar>
#include <QtTest>

namespace {

QString Text(const QString& resource, const QLocale& locale)
{
    return QString::fromUtf8(QResource(resource, locale).uncompressedData());
}

QStringList Placeholders(const QString& text)
{
    QStringList found;
    for (const auto& match : QRegularExpression("\\$[A-Z]+\\$|%\\d").globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(Global::Initialize()); }
    void speaksTheLocalesLanguage_data();
    void speaksTheLocalesLanguage();

private:
    ScratchEnvironment m_scratch;
};

void TestTranslations::speaksTheLocalesLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("language");
    // The Start button's tool tip, the idle status line, Qt's own "Cancel",
    // the about text and the usage line of the real program under this LANG.
    QTest::addColumn<QStringList>("shown");
    const QStringList english { "Start Watching",
        "Pricewarden is idle. You must click \"Start\" to start watching!", "Cancel",
        "keeps an eye on products", "Usage: pricewarden [options]" };
    QTest::newRow("de_DE") << "de_DE"
                           << "de"
                           << QStringList { "Überwachung starten",
                                  "Pricewarden ist inaktiv. Klicken Sie auf „Start“, um die "
                                  "Überwachung zu beginnen!",
                                  "Abbrechen", "behält Produkte",
                                  "Aufruf: pricewarden [Optionen]" };
    QTest::newRow("fr_FR")
        << "fr_FR"
        << "fr"
        << QStringList { "Démarrer la surveillance",
               "Pricewarden est inactif. Cliquez sur «\u00a0Démarrer\u00a0» pour "
               "lancer la surveillance\u00a0!",
               "Annuler", "garde un œil", "Utilisation\u00a0: pricewarden [options]" };
    QTest::newRow("ja_JP")
        << "ja_JP"
        << "ja"
        << QStringList { "監視を開始",
               "Pricewardenは待機中です。監視を始めるには「開始」をクリックしてください。",
               "キャンセル", "商品を見守り", "使い方: pricewarden [オプション]" };
    QTest::newRow("en_US") << "en_US"
                           << "" << english;
    // Qt speaks Portuguese, the program does not: one language in a window.
    QTest::newRow("pt_BR, not spoken") << "pt_BR"
                                       << "" << english;
    QTest::newRow("unknown") << "xx_YY"
                             << "" << english;
}

void TestTranslations::speaksTheLocalesLanguage()
{
    QFETCH(QString, locale);
    QFETCH(QString, language);
    QFETCH(QStringList, shown);
    {
        const Translations translations { QLocale(locale) };
        QCOMPARE(translations.Language(), language);
        QLocale::setDefault(QLocale(locale)); // picks the resources' language
        const MainWindow window;
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANGUAGE" })
            environment.remove(QLatin1String(name));
        environment.insert("LANG", locale + ".UTF-8");
        program.setProcessEnvironment(environment);
        program.start(QCoreApplication::applicationDirPath() + "/pricewarden", { "--help" });
        QVERIFY(WaitForExit(program, 10000));
        const QString about = Text(":/about.html", QLocale());
        QCOMPARE((QStringList { window.findChild<QAction*>("actionStart")->toolTip(),
                     window.statusBar()->currentMessage(),
                     QCoreApplication::translate("QPlatformTheme", "Cancel"),
                     about.contains(shown.at(3)) ? shown.at(3) : about,
                     QString::fromUtf8(program.readAllStandardOutput()).section('\n', 0, 0) }),
            shown);
        // A translated template keeps every placeholder the program fills.
        for (const char* name : { ":/about.html", ":/product_detail.html", ":/price_info.html" })
            QCOMPARE(Placeholders(Text(name, QLocale())), Placeholders(Text(name, QLocale::c())));
    }
    QLocale::setDefault(QLocale::c());
    // Once the object is gone, the program speaks English again.
    QCOMPARE(QCoreApplication::translate("MainWindow", "Start Watching"), "Start Watching");
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("PricewardenTest"));
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    TestTranslations test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
