#include "MainWindow/AppIcon.h"
#include "MainWindow/MainWindow.h"

#include <QApplication>

#include <csignal>

int main(int argc, char* argv[])
{
    // Past a file-size limit a save is to fail with its reason, not to end the program with the show in it.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Tessaloom"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessaloom"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setWindowIcon(AppIcon::icon());

    MainWindow window;
    window.show();
    // The first argument Qt left is a show to open, after whatever is recovered.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    window.offerRecovery();
    if (!arguments.isEmpty())
        window.openFile(arguments.first());
    return app.exec();
}
