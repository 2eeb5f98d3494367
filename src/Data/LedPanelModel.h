#ifndef LEDPANELMODEL_H
#define LEDPANELMODEL_H

#include "Abstract/AbstractCommand.h"
#include "Data/LedLayout.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

class AbstractEdit;
class CommandList;
class LedPanelObserver;
class LedStateCommand;
class QIODevice;
class QXmlStreamReader;
class QXmlStreamWriter;

// A show: title, description, the panel's layout and the sequences of frames,
// with its file format. It is the root of the command tree. Everything that
// changes a show once it exists enters through submit(), the one door for
// edits; the document behind it keeps their history.
class LedPanelModel : public AbstractCommand
{
    Q_DECLARE_TR_FUNCTIONS(LedPanelModel)

public:
    // The most LED values a show may hold, summed over all its frames: 16 MiB of
    // values, which a small machine holds with room to spare. The panel
    // controller keeps one bit per LED in 256 KiB, so no show it can play comes
    // near; the bound only stops files and edits that would exhaust memory.
    static constexpr qint64 MaxLedValues = 4 * 1024 * 1024;

    LedPanelModel();
    ~LedPanelModel() override;

    int type() const override;

    QString title() const;
    void setTitle(const QString& title);
    QString description() const;
    void setDescription(const QString& description);
    const LedLayout& panelLayout() const;

    int sequenceCount() const;
    CommandList* sequence(int index) const;
    // The node at these positions: a sequence, or with a frame index one of its frames; null if there is none.
    AbstractCommand* node(int sequence, int frame = -1) const;
    qint64 ledValueCount() const;

    // Does the edit, unless the show would then hold more LED values than it may or
    // the edit has another reason to be refused; a refused edit changes nothing.
    // Takes the edit over in any case.
    bool submit(AbstractEdit* edit);
    // Whether growth more LED values fit; if not, the user is told so as for a refused
    // edit. Lets a large edit be checked before it is built.
    bool admits(qint64 growth);
    // Whether the show can hold this many more LED values; tells nobody.
    bool holds(qint64 growth) const;
    static QString tooManyLedValuesText();
    // Whether a file can hold the text as a title or description and be read again.
    static bool fitsInFile(const QString& text);
    static QString textTooLongText();

    bool readXML(QIODevice* device);
    void readXML(QXmlStreamReader& xml);
    // Where and why the last read failed: "Line l, column c: reason".
    QString readError() const;
    // The type of a Layout element the last read skipped, empty when there was none.
    QString unknownLayoutType() const;
    static QString unknownLayoutText(const QString& type);
    // Reading charges every LED value it creates here; past the bound the
    // reader's error is raised and false returned.
    bool chargeReadLeds(QXmlStreamReader& xml, qint64 count);
    bool writeXML(QIODevice* device);
    void writeXML(QXmlStreamWriter& xml);

    // A show of its own with the same content, for work away from this one (a background write).
    LedPanelModel* copyShow() const;

    void addObserver(LedPanelObserver* observer);
    void removeObserver(LedPanelObserver* observer);

protected:
    // Runs an admitted edit and disposes of it. A document keeps it for undo.
    virtual void execute(AbstractEdit* edit);
    // Tells the user why an edit was refused; nothing is shown without a window.
    virtual void refuse(const QString& reason);

private:
    friend class AbstractEdit;
    void insertNodes(AbstractCommand* parent, int row, const QList<AbstractCommand*>& nodes);
    QList<AbstractCommand*> takeNodes(AbstractCommand* parent, int row, int count);
    void moveNodes(AbstractCommand* parent, int first, int last, int destination);
    void notifyLedsChanged(LedStateCommand* frame);
    void setInfo(const QString& title, const QString& description);
    // Every frame in show order gets its intensities.
    void setLayout(const LedLayout& layout, const QVector<QVector<int>>& intensities);

    QString m_Title;
    QString m_Description;
    LedLayout m_Layout;
    QList<LedPanelObserver*> m_Observers;
    qint64 m_ReadLedValues;
    QString m_ReadError;
    QString m_UnknownLayoutType;
};

#endif // LEDPANELMODEL_H
