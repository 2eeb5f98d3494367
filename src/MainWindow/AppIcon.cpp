#include "MainWindow/AppIcon.h"

// Outside any namespace, as Q_INIT_RESOURCE needs: the resources sit in a static library.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

QIcon AppIcon::icon()
{
    initIconResources();
    QIcon icon;
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 })
        icon.addFile(QStringLiteral(":/icons/tessaloom-%1.png").arg(size), QSize(size, size));
    return icon;
}
