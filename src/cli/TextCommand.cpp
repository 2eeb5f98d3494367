#include "cli/TextCommand.h"

#include "Data/CommandList.h"
#include "Data/EditGroup.h"
#include "Data/InsertFramesEdit.h"
#include "Data/InsertSequenceEdit.h"
#include "Data/LedPanelModel.h"
#include "Data/TextFrames.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"


void TextCommand::start()
{
    const QString text = m_Options.lettering();
    if (text.isEmpty() || TextFrames::length(text) > TextFrames::MaxLength) {
        finish(statusUsage, tr("The text must have 1 to %1 characters.").arg(TextFrames::MaxLength));
        return;
    }
    LedPanelModel show;
    if (!loadShow(&show))
        return;
    const int sequence = m_Options.sequence();
    if (sequence > show.sequenceCount()) {
        finish(statusUsage, tr("%1 has no sequence %2; it has %3.")
                                .arg(m_Options.input())
                                .arg(sequence)
                                .arg(show.sequenceCount()));
        return;
    }

    const LedLayout& layout = show.panelLayout();
    const TextFrames lettering(layout, text);
    const qint64 frameCount = m_Options.scroll() ? lettering.scrollFrameCount() : 1;
    if (!show.holds(frameCount * layout.ledCount())) {
        finish(statusBadInput, LedPanelModel::tooManyLedValuesText());
        return;
    }
    const QVector<QVector<int>> frames
        = m_Options.scroll() ? lettering.scroll() : QVector<QVector<int>> { lettering.still() };
    auto* edit = new EditGroup(tr("Text"));
    const int index = sequence > 0 ? sequence - 1 : show.sequenceCount();
    if (sequence == 0)
        edit->append(new InsertSequenceEdit(tr("Text"), index));
    const int row = sequence > 0 ? show.sequence(index)->frameCount() : 0;
    edit->append(new InsertFramesEdit(tr("Text"), index, row, frames));
    if (!submitEdit(&show, edit))
        return;

    if (!saveShow(show))
        return;
    const QString fileName = m_Options.output();
    const QString count = frames.size() == 1 ? tr("1 frame") : tr("%1 frames").arg(frames.size());
    m_Printer.report(QString(), tr("Wrote %1 to sequence %2 of %3").arg(count).arg(index + 1).arg(fileName));
    finish(statusOk, QString(),
           QJsonObject { { QStringLiteral("file"), fileName }, { QStringLiteral("sequence"), index + 1 },
                         { QStringLiteral("frames"), frames.size() } });
}
