#ifndef REPEATFRAMEDIALOG_H
#define REPEATFRAMEDIALOG_H

#include "Data/FrameOperations.h"

#include <QDialog>

namespace Ui {
class RepeatFrameDialog;
}

// Asks how many frames "Repeat..." makes and what happens from one to the next.
class RepeatFrameDialog : public QDialog
{
    Q_OBJECT

public:
    RepeatFrameDialog(LedLayout::eType layoutType, QWidget* parent = nullptr);
    ~RepeatFrameDialog() override;

    int count() const;
    FrameOperations::eOperation operation() const;

private:
    Ui::RepeatFrameDialog* ui;
};

#endif // REPEATFRAMEDIALOG_H
