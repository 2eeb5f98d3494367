#ifndef FRAMEOPERATIONS_H
#define FRAMEOPERATIONS_H

#include "Data/LedLayout.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

// Operations on the intensities of one whole frame, defined on the layout's
// rows and columns as drawn, whatever order the LEDs are numbered in. On a ring
// a row is a circle, row 0 the innermost, and columns run clockwise.
class FrameOperations
{
    Q_DECLARE_TR_FUNCTIONS(FrameOperations)

public:
    enum eOperation
    {
        None = -1,
        Clear = 0,
        Fill,
        Invert,
        ShiftForward, // column c to c + 1, wrapping
        ShiftBack,
        ShiftOut, // row r to r + 1, wrapping
        ShiftIn,
        MirrorColumns,
        MirrorRows,
        OperationCount
    };

    // A frame of another LED count than the layout changes only below
    // min(count, rows × columns); LEDs a shift brings in from beyond the frame are 0.
    static QVector<int> apply(eOperation operation, const QVector<int>& values, const LedLayout& layout);

    // The user's name of the operation, which depends on the kind of layout only.
    static QString text(eOperation operation, LedLayout::eType type);
    // The object name of the operation's action; empty for None.
    static QString objectName(eOperation operation);
    static eOperation fromObjectName(const QString& name);
};

#endif // FRAMEOPERATIONS_H
