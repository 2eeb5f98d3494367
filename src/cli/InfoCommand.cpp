#include "cli/InfoCommand.h"

#include "Data/CommandList.h"
#include "Data/LedPanelModel.h"
#include "Data/ProgramCompiler.h"
#include "SerialPort/PanelLink.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"

#include <QJsonArray>

double InfoCommand::writeSeconds(int blocks, qint32 baudRate)
{
    const double unitBits = (4 + PanelLink::BlockSize) * 10.0;
    return blocks * (PanelLink::BlockPauseMs / 1000.0 + unitBits / baudRate);
}

void InfoCommand::start()
{
    LedPanelModel show;
    if (!loadShow(&show))
        return;
    QByteArray image;
    QString problem;
    const bool compiled = ProgramCompiler::compile(show, &image, &problem);
    const int blocks = PanelLink::programBlockCount(image.size());
    const double seconds = writeSeconds(blocks, m_Options.baudRate());
    const LedLayout& layout = show.panelLayout();
    if (!show.unknownLayoutType().isEmpty())
        m_Printer.error(LedPanelModel::unknownLayoutText(show.unknownLayoutType()));

    if (m_Printer.isJson()) {
        QJsonArray sequences;
        for (int s = 0; s < show.sequenceCount(); ++s)
            sequences.append(QJsonObject { { QStringLiteral("frames"), show.sequence(s)->frameCount() } });
        QJsonObject info {
            { QStringLiteral("file"), m_Options.input() },
            { QStringLiteral("title"), show.title() },
            { QStringLiteral("layout"),
              QJsonObject { { QStringLiteral("type"), layout.typeName() }, { QStringLiteral("rows"), layout.rows() },
                            { QStringLiteral("columns"), layout.columns() },
                            { QStringLiteral("leds"), layout.ledCount() },
                            { QStringLiteral("order"), layout.order() == LedLayout::Columns ? QStringLiteral("columns")
                                                                                            : QStringLiteral("rows") },
                            { QStringLiteral("serpentine"), layout.serpentine() },
                            { QStringLiteral("numbering"), layout.numberingName() } } },
            { QStringLiteral("sequences"), sequences },
        };
        if (compiled) {
            info.insert(QStringLiteral("image"),
                        QJsonObject { { QStringLiteral("bytes"), image.size() }, { QStringLiteral("blocks"), blocks },
                                      { QStringLiteral("write_seconds"), qRound(seconds * 10) / 10.0 },
                                      { QStringLiteral("baud"), m_Options.baudRate() } });
        } else {
            info.insert(QStringLiteral("image"), QJsonValue());
            info.insert(QStringLiteral("problem"), problem);
        }
        m_Printer.object(info);
    } else {
        QString text = tr("Title:      %1\n").arg(show.title());
        text += tr("Layout:     %1 (%2 LEDs)\n").arg(layout.displayName()).arg(layout.ledCount());
        text += tr("Numbering:  %1\n").arg(layout.numberingName());
        text += tr("Sequences:  %1\n").arg(show.sequenceCount());
        for (int s = 0; s < show.sequenceCount(); ++s) {
            const int frames = show.sequence(s)->frameCount();
            text += frames == 1 ? tr("  %1: 1 frame\n").arg(s + 1) : tr("  %1: %2 frames\n").arg(s + 1).arg(frames);
        }
        if (compiled) {
            text += blocks == 1 ? tr("Image:      %1 bytes in 1 block\n").arg(image.size())
                                : tr("Image:      %1 bytes in %2 blocks\n").arg(image.size()).arg(blocks);
            text += tr("Write time: %1 s at %2 baud\n").arg(seconds, 0, 'f', 1).arg(m_Options.baudRate());
        }
        m_Printer.output(text);
    }
    if (!compiled) {
        // info's JSON is its one object, which holds the reason already.
        m_Printer.error(tr("%1 cannot be compiled: %2").arg(m_Options.input(), problem));
        end(statusBadInput);
        return;
    }
    end(statusOk);
}
