#ifndef ABSTRACTEDIT_H
#define ABSTRACTEDIT_H

#include <QList>
#include <QString>
#include <QVector>

class AbstractCommand;
class LedLayout;
class LedPanelModel;
class LedStateCommand;

// One change of a show, which can be done, undone and done again. Edits find
// their nodes by position, so a history of them never points at a node that
// is gone; a node they take out of the show is theirs until they put it back.
class AbstractEdit
{
public:
    explicit AbstractEdit(const QString& text);
    virtual ~AbstractEdit();

    QString text() const;
    void setText(const QString& text);

    // How many LED values the show holds more once the edit is done.
    virtual qint64 ledValueGrowth() const;
    // Why the show cannot take the edit; empty when it can.
    virtual QString refusal() const;
    virtual void redo(LedPanelModel& model) = 0;
    virtual void undo(LedPanelModel& model) = 0;

    // Consecutive edits of one gesture (a painted stroke) may become one.
    virtual int mergeId() const;
    virtual bool mergeWith(const AbstractEdit& other);

    // The node the user should see after the edit was done or undone: a frame
    // or a sequence, or null to leave the current one.
    virtual AbstractCommand* focus(LedPanelModel& model, bool undone) const;

protected:
    // The only ways to change a show; each tells the show's observers.
    static void insertNodes(LedPanelModel& model, AbstractCommand* parent, int row,
                            const QList<AbstractCommand*>& nodes);
    static QList<AbstractCommand*> takeNodes(LedPanelModel& model, AbstractCommand* parent, int row, int count);
    static void moveNodes(LedPanelModel& model, AbstractCommand* parent, int first, int last, int destination);
    static void ledsChanged(LedPanelModel& model, LedStateCommand* frame);
    static void setInfo(LedPanelModel& model, const QString& title, const QString& description);
    static void setLayout(LedPanelModel& model, const LedLayout& layout, const QVector<QVector<int>>& intensities);

private:
    QString m_Text;
};

#endif // ABSTRACTEDIT_H
