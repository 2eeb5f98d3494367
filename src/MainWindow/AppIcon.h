#ifndef APPICON_H
#define APPICON_H

#include <QIcon>

// The application's icon, a ring of LEDs, in every size it is drawn in.
class AppIcon
{
public:
    static QIcon icon();
};

#endif // APPICON_H
