#ifndef RECENTFILES_H
#define RECENTFILES_H

#include <QObject>
#include <QStringList>

class QMenu;

// The documents last opened or saved, newest first, kept in app.ini and shown
// as the entries of a menu.
class RecentFiles : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxCount = 10;

    RecentFiles(QMenu* menu, QObject* parent);

    QStringList files() const;
    void add(const QString& filePath);

signals:
    void chosen(const QString& filePath);
    // A listed file that is no longer there; it has left the list.
    void gone(const QString& filePath);

private:
    void store(const QStringList& files);
    void choose(const QString& filePath);
    void updateMenu();

    QMenu* m_pMenu;
};

#endif // RECENTFILES_H
