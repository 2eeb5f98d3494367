#ifndef COMMANDLIST_H
#define COMMANDLIST_H

#include "Abstract/AbstractCommand.h"

#include <QCoreApplication>

class LedPanelModel;
class LedStateCommand;
class SequenceFileChooser;
class QXmlStreamReader;
class QXmlStreamWriter;

// A sequence: an ordered list of frames.
class CommandList : public AbstractCommand
{
    Q_DECLARE_TR_FUNCTIONS(CommandList)

public:
    explicit CommandList(LedPanelModel* document);

    int type() const override;

    int frameCount() const;
    LedStateCommand* frame(int index) const;
    void addFrame();

    LedPanelModel* document() const;
    QString label() const;
    void setLabel(const QString& label);

    void readXML(QXmlStreamReader& xml);
    void writeXML(QXmlStreamWriter& xml, int index);

    // Ask for the file through the installed chooser, then import or export.
    void importSequence();
    void exportSequence();
    static void setFileChooser(SequenceFileChooser* chooser);

    // One frame per data row of the CSV file, through the document's edit door;
    // rows beyond the frames become new frames. False with a message on failure;
    // on success the message says what the import did.
    bool importSequence(const QString& fileName, QString* message);
    bool exportSequence(const QString& fileName, QString* message) const;
    // Why the sequence cannot be exported, or an empty string.
    QString exportProblem() const;

private:
    LedPanelModel* m_pDocument;
    QString m_Label;

    static QString importedText(int rows, int frames, int columns, int leds);
};

#endif // COMMANDLIST_H
