#ifndef BOUNDEDXMLDEVICE_H
#define BOUNDEDXMLDEVICE_H

#include <QIODevice>

// Hands an XML reader what another device holds, and ends it early where no show
// can be that large: more bytes than the largest show, or a run of text without
// markup longer than any title or description. The reader keeps a whole run of text
// in memory before it reports it, so an endless stream or a huge element would
// otherwise take all memory.
class BoundedXmlDevice : public QIODevice
{
public:
    // A show at the LED-value limit is written in at most about 730 MB: a frame for each value, every value
    // of the longest, CR LF line ends and the longest title and description.
    static constexpr qint64 MaxBytes = qint64(768) << 20;
    static constexpr qint64 MaxTextRun = qint64(16) << 20;

    explicit BoundedXmlDevice(QIODevice* source);

    bool isSequential() const override { return true; }
    // Why the input was cut short, or empty while it was not.
    QString reason() const { return m_Reason; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    QIODevice* m_pSource;
    qint64 m_Total = 0;
    qint64 m_Run = 0;
    QString m_Reason;
};

#endif // BOUNDEDXMLDEVICE_H
