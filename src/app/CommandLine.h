#pragma once

#include <QStringList>

namespace CommandLine {

// True when the first argument after the program name is exactly
// "-minimize"; the option is case-sensitive and means nothing anywhere else.
bool StartMinimized(const QStringList& arguments);

} // namespace CommandLine
