#pragma once

#include <QObject>

class SimulatedStore : public QObject
{
    Q_OBJECT

public:
    explicit SimulatedStore(QObject* parent = nullptr);
};
