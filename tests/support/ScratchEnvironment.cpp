#include "ScratchEnvironment.h"

#include <QStandardPaths>

ScratchEnvironment::ScratchEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
}
