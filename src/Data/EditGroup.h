#ifndef EDITGROUP_H
#define EDITGROUP_H

#include "Abstract/AbstractEdit.h"

// Several edits done as one: undone together, in reverse order.
class EditGroup : public AbstractEdit
{
public:
    explicit EditGroup(const QString& text);
    ~EditGroup() override;

    void append(AbstractEdit* edit);
    bool isEmpty() const;

    qint64 ledValueGrowth() const override;
    void redo(LedPanelModel& model) override;
    void undo(LedPanelModel& model) override;
    AbstractCommand* focus(LedPanelModel& model, bool undone) const override;

private:
    QList<AbstractEdit*> m_Edits;
};

#endif // EDITGROUP_H
