#pragma once

#include <QIcon>
#include <array>

// The connect button's image list: 1-3 the online animation, any other index offline. The
// pictures are drawn once: the animation shows the next one twice a second all day, and a new
// icon each time left its image behind in Qt's pixmap cache (about 8 KB a second, up to the
// cache's 10 MB).
class imlLogo {
public:
    imlLogo();
    const QIcon& Picture(int index) const;

private:
    std::array<QIcon, 4> m_pictures;  // offline, then the three waves
};
