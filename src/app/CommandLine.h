#pragma once

#include <QString>
#include <QStringList>

namespace CommandLine {

// True when the first argument after the program name is exactly
// "-minimize"; the option is case-sensitive and means nothing anywhere else.
bool StartMinimized(const QStringList& arguments);

// The text that --help (-h) or --version (-v) ask for, which the program
// prints before it ends; empty when neither is given and it should start.
// Every other argument is ignored, as it always was.
QString InformationText(const QStringList& arguments);

} // namespace CommandLine
