#ifndef DEVICEMEMORY_H
#define DEVICEMEMORY_H

#include <QMap>
#include <QString>

// Sparse byte memory of the simulated device, written out as TI-TXT.
class DeviceMemory
{
public:
    void clear();
    void store(quint32 address, const QByteArray& bytes);
    int size() const;

    QByteArray toTiTxt() const;
    bool writeTiTxt(const QString& fileName) const;

private:
    QMap<quint32, quint8> m_Bytes;
};

#endif // DEVICEMEMORY_H
