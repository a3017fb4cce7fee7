#pragma once

// What every harness shares: a Qt application object for the whole run, the
// app's configuration, silence, and a check that ends the run with a report
// when a property of the code under test does not hold. libFuzzer keeps the
// input that ended it.

#include "Global.h"

#include <QCoreApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(                                                                          \
                stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, #condition);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace FuzzSupport {

inline void DiscardMessages(QtMsgType, const QMessageLogContext&, const QString&)
{
}

// Once, from LLVMFuzzerInitialize.
inline void Start()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = { name, nullptr };
    // The code under test writes what it rejects to the debug output; a
    // million inputs of it would only hide libFuzzer's own lines.
    qInstallMessageHandler(DiscardMessages);
    new QCoreApplication(argc, argv);
    Global::InitializeSettings();
}

// Written independently of the code under test: one line, no direction
// overrides or marks, no unpaired surrogates, no blanks at the ends, at most
// maximumLength UTF-16 units.
inline bool IsOneSaneLine(const QString& text, qsizetype maximumLength)
{
    if (text.size() > maximumLength)
        return false;
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        const QChar::Category category = text.at(i).category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph)
            return false;
        if (unit == 0x061C || unit == 0x200E || unit == 0x200F || (unit >= 0x202A && unit <= 0x202E)
            || (unit >= 0x2066 && unit <= 0x2069))
            return false;
        if (QChar::isHighSurrogate(unit)) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                return false;
            ++i;
        } else if (QChar::isLowSurrogate(unit)) {
            return false;
        }
    }
    return true;
}

inline bool IsWebAddress(const QString& text)
{
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

} // namespace FuzzSupport
