#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

// The program's texts in the user's language, with Qt's own texts (standard
// buttons, the line edit's context menu) in the same one. Installed on the
// application for as long as the object lives; created in main before any
// window, so every text a window sets is already translated.
class Translations
{
public:
    // The first of the locale's user-interface languages that the program
    // speaks wins; English, the language of its own texts, ends the search.
    explicit Translations(const QLocale& locale = QLocale::system());
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // "de", "fr" or "ja"; empty while the program speaks English.
    QString Language() const { return m_language; }

private:
    bool Load(const QString& language);

    QTranslator m_program;
    QTranslator m_qt;
    QString m_language;
};
