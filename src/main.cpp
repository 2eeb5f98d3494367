#include "MainWindow/AppIcon.h"
#include "MainWindow/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Tessaloom"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessaloom"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setWindowIcon(AppIcon::icon());

    MainWindow window;
    window.show();
    return app.exec();
}
