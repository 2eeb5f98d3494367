#ifndef TEXTDIALOG_H
#define TEXTDIALOG_H

#include "Data/LedLayout.h"

#include <QDialog>

namespace Ui {
class TextDialog;
}

// Asks for lettering: the text, whether it stands still in the current frame or
// scrolls through new frames, with a preview of the lettering and the number of frames.
class TextDialog : public QDialog
{
    Q_OBJECT

public:
    enum eMode
    {
        Still = 0,
        Scroll = 1
    };

    explicit TextDialog(const LedLayout& layout, QWidget* parent = nullptr);
    ~TextDialog() override;

    QString text() const;
    eMode mode() const;
    // The frames the lettering makes: one for a still text.
    qint64 frameCount() const;

private:
    void updatePreview();

    Ui::TextDialog* ui;
    LedLayout m_Layout;
};

#endif // TEXTDIALOG_H
