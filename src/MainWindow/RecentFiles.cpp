#include "MainWindow/RecentFiles.h"

#include "MainWindow/MainSettings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {
const QString keyList = QStringLiteral("RecentFiles/List");
}

RecentFiles::RecentFiles(QMenu* menu, QObject* parent)
    : QObject(parent)
    , m_pMenu(menu)
{
    Q_ASSERT(menu);
    updateMenu();
}

QStringList RecentFiles::files() const
{
    return MainSettings::value(keyList, QStringList()).toStringList().mid(0, MaxCount);
}

void RecentFiles::add(const QString& filePath)
{
    if (filePath.isEmpty())
        return;
    QStringList list = files();
    list.removeAll(filePath);
    list.prepend(filePath);
    store(list.mid(0, MaxCount));
}

void RecentFiles::store(const QStringList& files)
{
    MainSettings::setValue(keyList, files);
    // Kept at once: a crash must not take the list with it.
    MainSettings::write();
    updateMenu();
}

void RecentFiles::choose(const QString& filePath)
{
    if (!QFileInfo::exists(filePath)) {
        QStringList list = files();
        list.removeAll(filePath);
        store(list);
        emit gone(filePath);
        return;
    }
    emit chosen(filePath);
}

void RecentFiles::updateMenu()
{
    // Later: the list may change from one of these actions' own signal.
    for (QAction* action : m_pMenu->actions()) {
        m_pMenu->removeAction(action);
        action->deleteLater();
    }
    const QStringList list = files();
    for (int i = 0; i < list.size(); ++i) {
        const QString& path = list.at(i);
        // 1 to 9, then 0, as keys to reach them; a && keeps an & of the name.
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
        QString name = QFileInfo(path).fileName();
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = m_pMenu->addAction(number + QLatin1Char(' ') + name);
        action->setObjectName(QStringLiteral("action_RecentFile%1").arg(i + 1));
        action->setToolTip(QDir::toNativeSeparators(path));
        action->setStatusTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { choose(path); });
    }
    m_pMenu->setEnabled(!list.isEmpty());
}
