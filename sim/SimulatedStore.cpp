#include "SimulatedStore.h"

SimulatedStore::SimulatedStore(QObject* parent)
    : QObject(parent)
{
}
