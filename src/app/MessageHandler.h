#pragma once

#include <QtGlobal>

class QMessageLogContext;
class QString;

// The program's Qt message handler: Qt's debug, warning, critical and fatal
// texts never reach the console. What Qt does after a handler returns (ending
// the process on a fatal message) is unchanged.
void myMessageOutput(QtMsgType type, const QMessageLogContext& context, const QString& message);
