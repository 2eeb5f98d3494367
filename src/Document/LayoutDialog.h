#ifndef LAYOUTDIALOG_H
#define LAYOUTDIALOG_H

#include "Data/LedLayout.h"

#include <QDialog>
#include <QHash>
#include <QPair>

class LayoutPreview;
class QDoubleSpinBox;
class LedPanelDocument;

namespace Ui {
class LayoutDialog;
}

// Chooses the panel of a document: type, a common preset or rows, columns,
// spacings and the first LED, with the body fitted around the LEDs unless set by
// hand. OK changes the document's layout as one edit.
class LayoutDialog : public QDialog
{
    Q_OBJECT

public:
    LayoutDialog(LedPanelDocument* document, QWidget* parent);
    ~LayoutDialog() override;

    // The layout the fields describe.
    LedLayout panelLayout() const;

    // The layout File > New makes, from app.ini; the default ring when none is kept.
    static LedLayout defaultLayout();

public slots:
    void accept() override;

signals:
    // After OK: how many lit LEDs the change dropped over all frames.
    void layoutChanged(qint64 droppedLit);

private:
    void showLayout(const LedLayout& layout);
    void applyPreset(int index);
    void typeChanged();
    void fieldEdited();
    void refresh();
    // Whether OK would leave the document's layout, maybe one only a file may hold, as it is.
    bool keepsDocumentLayout(const LedLayout& layout) const;
    void showValue(QDoubleSpinBox* box, double value);
    double value(const QDoubleSpinBox* box) const;

    Ui::LayoutDialog* ui;
    LedPanelDocument* m_pDocument;
    LayoutPreview* m_pPreview;
    bool m_AngleEdited;
    bool m_Showing;
    int m_RowSign;
    // Per field: the value shown and what the field made of it.
    QHash<const QDoubleSpinBox*, QPair<double, double>> m_ShownValues;
    int m_ShownColumns;
};

#endif // LAYOUTDIALOG_H
