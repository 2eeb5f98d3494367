#include "Data/FrameOperations.h"

#include <algorithm>

namespace {

const char* const ObjectNames[FrameOperations::OperationCount] = {
    "action_ClearFrame", "action_FillFrame", "action_InvertFrame", "action_ShiftForward", "action_ShiftBack",
    "action_ShiftOut",   "action_ShiftIn",   "action_MirrorColumns", "action_MirrorRows"};

} // namespace

QVector<int> FrameOperations::apply(eOperation operation, const QVector<int>& values, const LedLayout& layout)
{
    const int rows = layout.rows();
    const int columns = layout.columns();
    const qint64 grid = layout.ledCount();
    const int count = int(qMin<qint64>(values.size(), grid));
    QVector<int> result = values;
    if (count <= 0)
        return result;

    switch (operation) {
    case None:
    case OperationCount:
        return result;
    case Clear:
    case Fill:
        std::fill(result.begin(), result.begin() + count, operation == Fill ? 1 : 0);
        return result;
    case Invert:
        // What is dark lights: below 0 is dark on the panel too.
        for (int i = 0; i < count; ++i)
            result[i] = values.at(i) > 0 ? 0 : 1;
        return result;
    default:
        break;
    }

    // Where the value of LED (row, column) comes from, or -1 for a dark LED.
    const auto source = [&](int row, int column) -> qint64 {
        switch (operation) {
        case ShiftForward:
            column = (column + columns - 1) % columns;
            break;
        case ShiftBack:
            column = (column + 1) % columns;
            break;
        case ShiftOut:
            row = (row + rows - 1) % rows;
            break;
        case ShiftIn:
            row = (row + 1) % rows;
            break;
        case MirrorColumns:
            // A whole ring mirrors around the axis through LED 0 of every circle; part of one end to end.
            column = layout.isFullCircle() ? (columns - column) % columns : columns - 1 - column;
            break;
        case MirrorRows:
            row = rows - 1 - row;
            break;
        default:
            break;
        }
        const int index = layout.indexAt(row, column);
        return index < count ? index : -1;
    };
    for (int i = 0; i < count; ++i) {
        const QPoint cell = layout.cellOf(i);
        const qint64 from = source(cell.y(), cell.x());
        result[i] = from < 0 ? 0 : values.at(int(from));
    }
    return result;
}

QString FrameOperations::text(eOperation operation, LedLayout::eType type)
{
    const bool ring = type == LedLayout::Ring;
    switch (operation) {
    case Clear:
        return tr("Clear");
    case Fill:
        return tr("Fill");
    case Invert:
        return tr("Invert");
    case ShiftForward:
        return ring ? tr("Rotate clockwise") : tr("Shift right");
    case ShiftBack:
        return ring ? tr("Rotate counterclockwise") : tr("Shift left");
    case ShiftOut:
        return ring ? tr("Move outward") : tr("Shift down");
    case ShiftIn:
        return ring ? tr("Move inward") : tr("Shift up");
    case MirrorColumns:
        return ring ? tr("Flip around LED 0") : tr("Flip left\u2013right");
    case MirrorRows:
        return ring ? tr("Swap inside and outside") : tr("Flip top\u2013bottom");
    default:
        return tr("None");
    }
}

QString FrameOperations::objectName(eOperation operation)
{
    if (operation < 0 || operation >= OperationCount)
        return QString();
    return QLatin1String(ObjectNames[operation]);
}

FrameOperations::eOperation FrameOperations::fromObjectName(const QString& name)
{
    for (int op = 0; op < OperationCount; ++op) {
        if (name == QLatin1String(ObjectNames[op]))
            return eOperation(op);
    }
    return None;
}
