#include "CommandLine.h"

namespace CommandLine {

bool StartMinimized(const QStringList& arguments)
{
    return arguments.size() > 1 && arguments.at(1) == QLatin1String("-minimize");
}

} // namespace CommandLine
