#pragma once

#include <QIcon>

// The connect button's pictures: 1-3 the online animation, 4 offline.
namespace imlLogo {
QIcon Picture(int index);
}
