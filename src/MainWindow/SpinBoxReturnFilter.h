#ifndef SPINBOXRETURNFILTER_H
#define SPINBOXRETURNFILTER_H

#include <QObject>

class QWidget;

// Return in a spin box whose text is no value it takes (left empty, below its least) puts the
// last value back, and the dialog then accepts that one. The filter keeps the key from both:
// the field goes on showing what was typed until it is mended or the dialog cancelled.
class SpinBoxReturnFilter : public QObject
{
    Q_OBJECT

public:
    // Watches every spin box of the dialog.
    static void install(QWidget* dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit SpinBoxReturnFilter(QObject* parent);
};

#endif // SPINBOXRETURNFILTER_H
