#ifndef PROGRAMCOMPILER_H
#define PROGRAMCOMPILER_H

#include "Abstract/AbstractCommand.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

class LedPanelModel;
class LedStateCommand;

// Builds the program image that the panel controller plays: per frame the
// opcode 0x03 and one bit per LED, per sequence a closing 0x00.
class ProgramCompiler
{
    Q_DECLARE_TR_FUNCTIONS(ProgramCompiler)

public:
    ProgramCompiler(int rows, int columns);

    void addCommand(AbstractCommand* command);
    void addCommand(eCommand type);

    int programMemorySize() const;
    const char* programMemory() const;
    void clear();

    QList<QPair<QString, int> > programLabels() const;
    int frameDataSize() const;
    // LEDs of frames that had more LEDs than the layout; they are left out of
    // the image, so a non-zero count means the image does not match the document.
    int surplusLedCount() const;

    // The image of every sequence of the show, in the order the panel plays them.
    // False, with the reason, for a show the panel cannot take: a layout without
    // LEDs, or frames with more LEDs than the layout.
    static bool compile(const LedPanelModel& show, QByteArray* image, QString* problem);

private:
    void addFrame(const LedStateCommand* frame);

    QVector<char> m_ProgramMemory;
    QList<QPair<QString, int> > m_ProgramLabels;
    int m_LedRows;
    int m_LedColumns;
    int m_SurplusLeds;
};

#endif // PROGRAMCOMPILER_H
