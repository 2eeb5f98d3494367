#ifndef COMMANDLIST_H
#define COMMANDLIST_H

#include "Abstract/AbstractCommand.h"

class LedPanelDocument;
class LedStateCommand;
class QXmlStreamReader;
class QXmlStreamWriter;

// A sequence: an ordered list of frames.
class CommandList : public AbstractCommand
{
public:
    explicit CommandList(LedPanelDocument* document);

    int type() const override;

    int frameCount() const;
    LedStateCommand* frame(int index) const;
    void addFrame();

    LedPanelDocument* document() const;
    QString label() const;
    void setLabel(const QString& label);

    void readXML(QXmlStreamReader& xml);
    void writeXML(QXmlStreamWriter& xml, int index);

    void importSequence();
    void exportSequence();

private:
    LedPanelDocument* m_pDocument;
    QString m_Label;
};

#endif // COMMANDLIST_H
