#ifndef GIFEXPORTDIALOG_H
#define GIFEXPORTDIALOG_H

#include <QDialog>

namespace Ui {
class GifExportDialog;
}

// Asks the size of an exported GIF: its longer side in pixels.
class GifExportDialog : public QDialog
{
    Q_OBJECT

public:
    explicit GifExportDialog(int size, QWidget* parent = nullptr);
    ~GifExportDialog() override;

    int size() const;

private:
    Ui::GifExportDialog* ui;
};

#endif // GIFEXPORTDIALOG_H
