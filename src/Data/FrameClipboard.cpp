#include "Data/FrameClipboard.h"

#include "Data/LedLayout.h"
#include "Data/LedPanelModel.h"
#include "Data/SequenceTable.h"
#include "Helper/CsvModel.h"

#include <QBuffer>
#include <QDataStream>
#include <QMimeData>

const char* const FrameClipboard::MimeType = "application/x-tessaloom-frames";

namespace {

const quint32 Magic = 0x544c4652; // "TLFR"

} // namespace

void FrameClipboard::store(QMimeData* data, const Frames& frames)
{
    Q_ASSERT(data);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << Magic << quint32(frames.size());
    for (const QVector<int>& frame : frames) {
        out << quint32(frame.size());
        for (int value : frame)
            out << qint32(value);
    }
    data->setData(QLatin1String(MimeType), bytes);
    data->setText(csvText(frames));
}

QString FrameClipboard::csvText(const Frames& frames)
{
    // As an exported sequence.
    bool empty = true;
    for (const QVector<int>& frame : frames)
        empty = empty && frame.isEmpty();
    if (empty)
        return QString();
    CsvModel table(CsvModel::NoQuotes, true, QLatin1Char(','), nullptr);
    SequenceTable::fill(&table, frames);
    QBuffer buffer;
    table.write(&buffer);
    return QString::fromLatin1(buffer.data());
}

bool FrameClipboard::canRead(const QMimeData* data)
{
    return data && (data->hasFormat(QLatin1String(MimeType)) || !data->text().trimmed().isEmpty());
}

bool FrameClipboard::readOwn(const QByteArray& bytes, Frames* frames)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_5_15);
    quint32 magic = 0, count = 0;
    in >> magic >> count;
    if (magic != Magic)
        return false;
    qint64 values = 0;
    for (quint32 f = 0; f < count && in.status() == QDataStream::Ok; ++f) {
        quint32 size = 0;
        in >> size;
        // Sizes are checked against the bytes there before anything is allocated.
        values += size;
        if (size > quint32(LedLayout::MaxLedCount) || values > LedPanelModel::MaxLedValues
            || qint64(size) * 4 > in.device()->bytesAvailable())
            return false;
        QVector<int> frame(static_cast<int>(size));
        for (int& value : frame) {
            qint32 v = 0;
            in >> v;
            value = v;
        }
        frames->append(frame);
    }
    return in.status() == QDataStream::Ok && in.atEnd();
}

bool FrameClipboard::readText(const QString& text, Frames* frames, QString* message)
{
    CsvModel table;
    if (!SequenceTable::read(&table, text, message))
        return false;
    for (int row = 0; row < table.rowCount(); ++row)
        frames->append(SequenceTable::values(table, row, table.columnCount()));
    return true;
}

bool FrameClipboard::read(const QMimeData* data, int ledCount, Frames* frames, QString* message)
{
    Q_ASSERT(frames && message);
    frames->clear();
    message->clear();
    if (!data) {
        *message = tr("The clipboard holds no LED values.");
        return false;
    }
    if (data->hasFormat(QLatin1String(MimeType))) {
        if (!readOwn(data->data(QLatin1String(MimeType)), frames)) {
            frames->clear();
            *message = tr("The frames on the clipboard are damaged.");
            return false;
        }
    } else if (!readText(data->text(), frames, message)) {
        frames->clear();
        return false;
    }
    if (frames->isEmpty()) {
        *message = tr("The clipboard holds no LED values.");
        return false;
    }
    // Before the frames are padded to this panel: a few short ones would become a great many values.
    if (qint64(frames->size()) * qMax(ledCount, 1) > LedPanelModel::MaxLedValues) {
        frames->clear();
        *message = LedPanelModel::tooManyLedValuesText();
        return false;
    }

    int cut = 0, padded = -1;
    for (QVector<int>& frame : *frames) {
        if (frame.size() > ledCount)
            cut = qMax(cut, frame.size());
        else if (frame.size() < ledCount && (padded < 0 || frame.size() < padded))
            padded = frame.size();
        frame.resize(ledCount);
    }
    QStringList notes(frames->size() == 1 ? tr("1 frame pasted.") : tr("%1 frames pasted.").arg(frames->size()));
    if (cut)
        notes << tr("Frames of up to %1 LEDs were cut to this panel's %2.").arg(cut).arg(ledCount);
    if (padded >= 0)
        notes << tr("Frames of %1 LEDs were padded with 0 to this panel's %2.").arg(padded).arg(ledCount);
    *message = notes.join(QLatin1Char(' '));
    return true;
}
