#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

Translations::Translations(const QLocale& locale)
{
    const QStringList languages = locale.uiLanguages();
    for (const QString& name : languages) {
        const QLocale::Language language = QLocale(name).language();
        if (language == QLocale::English || language == QLocale::C)
            return;
        if (Load(QLocale::languageToCode(language)))
            return;
    }
}

bool Translations::Load(const QString& language)
{
    if (!m_program.load(QStringLiteral(":/i18n/pricewarden_") + language))
        return false;
    // Qt's texts follow the program's language, never the other way round: a
    // language the program does not speak would otherwise mix two languages
    // in one window.
    if (m_qt.load(QStringLiteral("qtbase_") + language,
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qt);
    // Installed last, searched first.
    QCoreApplication::installTranslator(&m_program);
    m_language = language;
    return true;
}
