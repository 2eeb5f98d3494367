#ifndef CHANGELAYOUTEDIT_H
#define CHANGELAYOUTEDIT_H

#include "Abstract/AbstractEdit.h"
#include "Data/LedLayout.h"

#include <QCoreApplication>

// Another layout for the show. Every frame's LEDs move by row and column as
// drawn: an LED keeps its state where its row and column exist in the new
// layout, new LEDs are dark and LEDs outside it are dropped. Kept by index
// instead, each value stays with its LED number.
class ChangeLayoutEdit : public AbstractEdit
{
    Q_DECLARE_TR_FUNCTIONS(ChangeLayoutEdit)

public:
    enum eKeep
    {
        KeepPlaces,
        KeepIndices
    };

    ChangeLayoutEdit(const LedPanelModel& model, const LedLayout& layout, eKeep keep = KeepPlaces);

    // Lit LEDs the change drops, over all frames.
    qint64 droppedLitCount() const;

    qint64 ledValueGrowth() const override;
    void redo(LedPanelModel& model) override;
    void undo(LedPanelModel& model) override;

    // The intensities of a frame of the old layout moved into the new one.
    static QVector<int> moved(const QVector<int>& intensities, const LedLayout& from, const LedLayout& to,
                              qint64* droppedLit = nullptr, eKeep keep = KeepPlaces);

private:
    eKeep m_Keep;
    LedLayout m_Layout;
    LedLayout m_OldLayout;
    QVector<QVector<int>> m_OldIntensities;
    qint64 m_Growth;
    qint64 m_DroppedLit;
};

#endif // CHANGELAYOUTEDIT_H
