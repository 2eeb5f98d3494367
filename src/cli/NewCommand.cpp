#include "cli/NewCommand.h"

#include "Data/ChangeLayoutEdit.h"
#include "Data/EditGroup.h"
#include "Data/InsertFramesEdit.h"
#include "Data/InsertSequenceEdit.h"
#include "Data/LedPanelModel.h"
#include "cli/CliOptions.h"
#include "cli/CliPrinter.h"

#include <QRegularExpression>

#include <cmath>

bool NewCommand::layoutOption(LedLayout* layout)
{
    const bool grid = m_Options.isSet(QStringLiteral("grid"));
    if (grid == m_Options.isSet(QStringLiteral("ring"))) {
        finish(statusUsage, tr("new needs exactly one of --grid ROWSxCOLUMNS and --ring CIRCLESxLEDS."));
        return false;
    }
    const QString option = grid ? QStringLiteral("grid") : QStringLiteral("ring");
    const QString size = m_Options.value(option);
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("^(\\d{1,7})[xX](\\d{1,7})$")).match(size);
    if (!match.hasMatch()) {
        finish(statusUsage, tr("--%1 takes two whole numbers as %2, not \"%3\".")
                                .arg(option, grid ? tr("ROWSxCOLUMNS") : tr("CIRCLESxLEDS"), size));
        return false;
    }
    double spacing = 0.0;
    if (m_Options.isSet(QStringLiteral("spacing"))) {
        bool ok = false;
        const QString text = m_Options.value(QStringLiteral("spacing"));
        spacing = text.toDouble(&ok);
        if (!ok || !std::isfinite(spacing) || spacing < LedLayout::MinSpacing || spacing > LedLayout::MaxCoordinate) {
            finish(statusUsage, tr("--spacing takes a number from %1 to %2, not \"%3\".")
                                    .arg(LedLayout::MinSpacing)
                                    .arg(LedLayout::MaxCoordinate)
                                    .arg(text));
            return false;
        }
    }
    *layout = LedLayout::create(grid ? LedLayout::Rectangle : LedLayout::Ring, match.captured(1).toInt(),
                                match.captured(2).toInt(), spacing);
    const QString order = m_Options.value(QStringLiteral("order"), QStringLiteral("rows"));
    if (order != QLatin1String("rows") && order != QLatin1String("columns")) {
        finish(statusUsage, tr("--order takes rows or columns, not \"%1\".").arg(order));
        return false;
    }
    layout->setNumbering(order == QLatin1String("columns") ? LedLayout::Columns : LedLayout::Rows,
                         m_Options.isSet(QStringLiteral("serpentine")));
    QString reason;
    if (!layout->isValid(&reason)) {
        finish(statusUsage, tr("--%1 %2: %3").arg(option, size, reason));
        return false;
    }
    return true;
}

void NewCommand::start()
{
    LedLayout layout;
    if (!layoutOption(&layout))
        return;
    int frameCount = 0;
    if (!intOption(QStringLiteral("frames"), 1, 1, 1000000, &frameCount))
        return;

    LedPanelModel show;
    if (!show.holds(frameCount * layout.ledCount())) {
        finish(statusUsage, tr("%1 frames of %2 LEDs are %3 LED values; a show holds at most %4.")
                                .arg(frameCount)
                                .arg(layout.ledCount())
                                .arg(frameCount * layout.ledCount())
                                .arg(LedPanelModel::MaxLedValues));
        return;
    }
    auto* edit = new EditGroup(tr("New"));
    edit->append(new ChangeLayoutEdit(show, layout));
    edit->append(new InsertSequenceEdit(tr("New"), 0));
    edit->append(new InsertFramesEdit(tr("New"), 0, 0,
                                      QVector<QVector<int>>(frameCount, QVector<int>(int(layout.ledCount()), 0))));
    if (!submitEdit(&show, edit))
        return;

    if (!saveShow(show))
        return;
    const QString fileName = m_Options.output();
    const QString count = frameCount == 1 ? tr("1 frame") : tr("%1 frames").arg(frameCount);
    m_Printer.report(QString(), tr("Wrote %1, %2 on %3").arg(fileName, count, layout.displayName()));
    finish(statusOk, QString(),
           QJsonObject { { QStringLiteral("file"), fileName }, { QStringLiteral("frames"), frameCount } });
}
