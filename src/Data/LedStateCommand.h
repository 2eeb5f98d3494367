#ifndef LEDSTATECOMMAND_H
#define LEDSTATECOMMAND_H

#include "Abstract/AbstractCommand.h"

class CommandList;
class LedData;
class QXmlStreamReader;
class QXmlStreamWriter;

// One frame of a sequence: an intensity for every LED of the layout that was
// in force when the frame was created.
class LedStateCommand : public AbstractCommand
{
public:
    explicit LedStateCommand(CommandList* sequence);
    ~LedStateCommand() override;

    int type() const override;

    QList<LedData*> leds() const;
    CommandList* sequence() const;

    void readXML(QXmlStreamReader& xml);
    void writeXML(QXmlStreamWriter& xml, int index);

private:
    CommandList* m_pLedSequence;
    QList<LedData*> m_pLels;
};

#endif // LEDSTATECOMMAND_H
