#pragma once

#include <QObject>
#include <QString>

// Gives a control its name as its objectName, so tests and tools reach it by that name.
template <typename T>
T* Named(T* object, const QString& name) {
    object->setObjectName(name);
    return object;
}
