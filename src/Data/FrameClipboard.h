#ifndef FRAMECLIPBOARD_H
#define FRAMECLIPBOARD_H

#include <QCoreApplication>
#include <QString>
#include <QVector>

class QMimeData;

// Frames as clipboard and drag data: our own type, which keeps every frame as
// it is, and CSV text in the sequence-export dialect for spreadsheets. Text is
// read as an imported sequence file is, so what a spreadsheet copies pastes too.
class FrameClipboard
{
    Q_DECLARE_TR_FUNCTIONS(FrameClipboard)

public:
    using Frames = QVector<QVector<int>>;

    static const char* const MimeType;

    static void store(QMimeData* data, const Frames& frames);
    static QString csvText(const Frames& frames);
    static bool canRead(const QMimeData* data);

    // The frames, each cut or padded with 0 to ledCount LEDs. On failure message
    // says why; on success it says what was pasted and what was cut or padded.
    static bool read(const QMimeData* data, int ledCount, Frames* frames, QString* message);

private:
    static bool readOwn(const QByteArray& bytes, Frames* frames);
    static bool readText(const QString& text, Frames* frames, QString* message);
};

#endif // FRAMECLIPBOARD_H
