// Feeds arbitrary bytes to the document reader: a fresh show per input, so every
// input meets the default layout and builds its own tree. What was read is
// written back when it is small.
#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"
#include "Data/LedStateCommand.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    QBuffer input(&bytes);
    input.open(QIODevice::ReadOnly | QIODevice::Text);

    LedPanelModel show;
    show.readXML(&input);
    if (show.ledValueCount() > LedPanelModel::MaxLedValues)
        abort();
    // Large shows only cost time here.
    if (show.ledValueCount() > 16384)
        return 0;
    QBuffer output;
    output.open(QIODevice::WriteOnly);
    if (!show.writeXML(&output))
        abort();
    return 0;
}
