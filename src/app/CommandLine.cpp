#include "CommandLine.h"

#include "Global.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace CommandLine {

bool StartMinimized(const QStringList& arguments)
{
    return arguments.size() > 1 && arguments.at(1) == QLatin1String("-minimize");
}

QString InformationText(const QStringList& arguments)
{
    QCommandLineParser parser;
    // "-minimize" is one word, not the options m, i, n, ...; and an unknown
    // word such as "-verbose" must not read as -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QCoreApplication::translate("CommandLine",
        "Watches products in the stores of an online retailer and reacts when one comes into "
        "stock or its price falls to your line.\n\n"
        "With -minimize as the first argument the window starts minimised."));
    // Our own options instead of Qt's: Qt's help also offers --help-all,
    // which needs an application object this early start does not have.
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") },
        QCoreApplication::translate("CommandLine", "Displays this help and ends."));
    const QCommandLineOption version({ QStringLiteral("v"), QStringLiteral("version") },
        QCoreApplication::translate("CommandLine", "Displays the version and ends."));
    parser.addOption(help);
    parser.addOption(version);
    // Unknown arguments make parse() report an error; they are ignored.
    parser.parse(arguments);

    if (parser.isSet(help)) {
        // Qt names the program by its full path, and only once an application
        // object exists: the usage line is ours.
        QString program = QFileInfo(arguments.value(0)).fileName();
        if (program.isEmpty())
            program = QStringLiteral("pricewarden");
        const QString text = parser.helpText();
        return QCoreApplication::translate("CommandLine", "Usage: %1 [options]").arg(program)
            + text.mid(text.indexOf(QLatin1Char('\n')));
    }
    if (parser.isSet(version))
        return QStringLiteral("Pricewarden %1\n").arg(Global::VersionString);
    return {};
}

} // namespace CommandLine
