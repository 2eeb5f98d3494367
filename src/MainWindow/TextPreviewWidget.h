#ifndef TEXTPREVIEWWIDGET_H
#define TEXTPREVIEWWIDGET_H

#include "Data/LedLayout.h"

#include <QVector>
#include <QWidget>

// A small picture of one frame on the panel: every LED at its place, lit or dark.
class TextPreviewWidget : public QWidget
{
    Q_OBJECT

public:
    explicit TextPreviewWidget(QWidget* parent = nullptr);

    void setPanelLayout(const LedLayout& layout);
    void setValues(const QVector<int>& values);
    QVector<int> values() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LedLayout m_Layout;
    QVector<int> m_Values;
};

#endif // TEXTPREVIEWWIDGET_H
