// Feeds arbitrary bytes to the document reader: a fresh document per input, so
// every input meets the default layout, builds its own scenes and its own tree.
#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The application outlives every input and is never destroyed.
    new QApplication(*argc, *argv);
    return 0;
}

static int readAndWrite(const uint8_t* data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    QBuffer input(&bytes);
    input.open(QIODevice::ReadOnly | QIODevice::Text);

    LedPanelDocument document;
    document.readXML(&input);
    QCoreApplication::sendPostedEvents();

    // Whatever was read must also be writable; large documents only cost time here.
    qint64 leds = 0;
    for (int s = 0; s < document.sequenceCount(); ++s) {
        const CommandList* sequence = document.sequence(s);
        for (int f = 0; f < sequence->frameCount(); ++f)
            leds += sequence->frame(f)->leds().count();
    }
    if (leds > 16384)
        return 0;
    QBuffer output;
    output.open(QIODevice::WriteOnly);
    if (!document.writeXML(&output))
        abort();
    return 0;
}

// Without an event loop the events Qt posts for every document would pile up
// and make each later input slower; the editor delivers them as it goes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int result = readAndWrite(data, size);
    QCoreApplication::sendPostedEvents();
    return result;
}
