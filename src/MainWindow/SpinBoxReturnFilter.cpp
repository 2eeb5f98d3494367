#include "MainWindow/SpinBoxReturnFilter.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>

SpinBoxReturnFilter::SpinBoxReturnFilter(QObject* parent)
    : QObject(parent)
{
}

void SpinBoxReturnFilter::install(QWidget* dialog)
{
    auto* filter = new SpinBoxReturnFilter(dialog);
    const QList<QAbstractSpinBox*> boxes = dialog->findChildren<QAbstractSpinBox*>();
    for (QAbstractSpinBox* box : boxes)
        box->installEventFilter(filter);
}

bool SpinBoxReturnFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const auto* box = qobject_cast<QAbstractSpinBox*>(watched);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && box && !box->hasAcceptableInput())
            return true;
    }
    return QObject::eventFilter(watched, event);
}
