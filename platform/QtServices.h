#pragma once

#include <QString>

#include "LockFileInstanceLock.h"
#include "Services.h"

class SystemClock : public Clock {
public:
    QDate Today() const override;
};

class SystemBeeper : public Beeper {
public:
    void Beep() override;
};

class DesktopShell : public Shell {
public:
    void Open(const QString& target) override;
};
