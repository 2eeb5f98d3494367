#include "Data/BoundedXmlDevice.h"

#include <QCoreApplication>

#include <cstring>

BoundedXmlDevice::BoundedXmlDevice(QIODevice* source)
    : m_pSource(source)
{
    Q_ASSERT(source);
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 BoundedXmlDevice::readData(char* data, qint64 maxSize)
{
    if (!m_Reason.isEmpty())
        return -1;
    const qint64 got = m_pSource->read(data, maxSize);
    if (got <= 0)
        return got;
    m_Total += got;
    // Only the run of text after the last '<' of this piece matters.
    const char* end = data + got;
    const char* afterMarkup = data;
    for (const char* at = data; (at = static_cast<const char*>(std::memchr(at, '<', size_t(end - at))));)
        afterMarkup = ++at;
    m_Run = afterMarkup == data ? m_Run + got : end - afterMarkup;
    if (m_Total > MaxBytes)
        m_Reason = QCoreApplication::translate("BoundedXmlDevice", "The file is larger than any show (%1 MiB).")
                       .arg(MaxBytes >> 20);
    else if (m_Run > MaxTextRun)
        m_Reason = QCoreApplication::translate("BoundedXmlDevice", "A text runs over %1 MiB without markup.")
                       .arg(MaxTextRun >> 20);
    return m_Reason.isEmpty() ? got : -1;
}

qint64 BoundedXmlDevice::writeData(const char*, qint64)
{
    return -1;
}
