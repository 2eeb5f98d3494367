#ifndef LEDSTATECOMMAND_H
#define LEDSTATECOMMAND_H

#include "Abstract/AbstractCommand.h"
#include "Data/LedData.h"

#include <QVector>

#include <vector>

class CommandList;
class QXmlStreamReader;
class QXmlStreamWriter;

// One frame of a sequence: an intensity for every LED of the layout that was
// in force when the frame was created. The count never changes afterwards.
class LedStateCommand : public AbstractCommand
{
public:
    explicit LedStateCommand(CommandList* sequence);
    // A frame holding exactly these intensities, whatever the layout.
    LedStateCommand(CommandList* sequence, const QVector<int>& intensities);

    int type() const override;

    QList<LedData*> leds() const;
    CommandList* sequence() const;

    int ledCount() const;
    LedData* led(int index);
    const LedData* led(int index) const;
    QVector<int> intensities() const;

    void readXML(QXmlStreamReader& xml);
    void writeXML(QXmlStreamWriter& xml, int index);

private:
    friend class LedPanelModel;
    // Only a new layout changes the count, and only through the show.
    void setIntensities(const QVector<int>& intensities);

    CommandList* m_pLedSequence;
    // One block for all LEDs: a frame of a few hundred LEDs costs one allocation,
    // and the values of a large show fit in a predictable amount of memory.
    std::vector<LedData> m_Lels;
};

#endif // LEDSTATECOMMAND_H
