#ifndef LEDPANELDOCUMENT_H
#define LEDPANELDOCUMENT_H

#include "Abstract/AbstractCommand.h"
#include "Document/AbstractDocument.h"

class AbstractLedGraphicsScene;
class CommandList;
class LedStateCommand;
class LedStateWidget;
class LedTreeModel;
class QIODevice;
class QModelIndex;
class QXmlStreamReader;
class QXmlStreamWriter;

namespace Ui {
class LedPanelDocument;
}

// The LED panel document: a layout, a title, a description and the sequences.
// It is both the document widget and the root of the command tree.
class LedPanelDocument : public AbstractDocument, public AbstractCommand
{
    Q_OBJECT

public:
    explicit LedPanelDocument(QWidget* parent = nullptr);
    ~LedPanelDocument() override;

    static LedPanelDocument* newDocument();

    int type() const override;

    AbstractLedGraphicsScene* ledScene();
    LedStateWidget* ledFrame();
    LedTreeModel* treeModel();

    CommandList* currentSequence();
    LedStateCommand* currentFrame();
    int sequenceCount() const;
    CommandList* sequence(int index) const;

    QString title() const;
    void setTitle(const QString& title);
    QString description() const;
    void setDescription(const QString& description);

    bool load(const QString& fileName) override;
    bool save(const QString& fileName) override;

    bool readXML(QIODevice* device);
    void readXML(QXmlStreamReader& xml);
    // Reading charges here every LED item and LED value it creates. Past a
    // budget that grows with the characters read, the reader's error is raised
    // and false returned: a small file may not claim gigabytes.
    bool chargeReadLeds(QXmlStreamReader& xml, qint64 count);
    bool writeXML(QIODevice* device);
    void writeXML(QXmlStreamWriter& xml);

protected:
    QString openSaveFileDialogFilter() const override;

private:
    void setLayoutScene(AbstractLedGraphicsScene* scene);
    void releaseRemovedFrame(const QModelIndex& parent, int first, int last);

    Ui::LedPanelDocument* ui;
    QString m_Title;
    QString m_Description;
    // The frame last sent to the scene; its LEDs are what the items point at.
    LedStateCommand* m_pShownFrame;
    QMetaObject::Connection m_SceneConnection;
    qint64 m_ReadLedCount;

    static int sequenceNumber;
};

#endif // LEDPANELDOCUMENT_H
