#ifndef IMAGEIMPORTDIALOG_H
#define IMAGEIMPORTDIALOG_H

#include "Data/LedLayout.h"
#include "Picture/PictureImportSettings.h"

#include <QDialog>
#include <QImage>

namespace Ui {
class ImageImportDialog;
}

// The settings of a picture import, with a live preview of the picture's first
// frame on the panel.
class ImageImportDialog : public QDialog
{
    Q_OBJECT

public:
    ImageImportDialog(const LedLayout& layout, const QImage& firstFrame, bool animation, QWidget* parent = nullptr);
    ~ImageImportDialog() override;

    // framesPerSecond is the playback speed, which the dialog does not ask.
    PictureImportSettings settings(int framesPerSecond) const;
    // The preview's LED values, for the frame shown.
    QVector<int> previewValues() const;

private:
    void updatePreview();

    Ui::ImageImportDialog* ui;
    LedLayout m_Layout;
    QImage m_FirstFrame;
    QVector<int> m_PreviewValues;
};

#endif // IMAGEIMPORTDIALOG_H
