#ifndef PICTURECONTROLLER_H
#define PICTURECONTROLLER_H

#include <QObject>
#include <QPointer>

class LedPanelDocument;
class MainMenu;
class QAction;
class QWidget;

// Pictures in and out of the current document: a picture or animated GIF
// imported as frames, the current sequence exported as an animated GIF and the
// current frame as PNG.
class PictureController : public QObject
{
    Q_OBJECT

public:
    PictureController(QWidget* window, MainMenu* menu);

    void setDocument(LedPanelDocument* document);

    QAction* action_ImportImage = nullptr;
    QAction* action_ExportGif = nullptr;
    QAction* action_ExportPng = nullptr;

public slots:
    void importImage();
    void exportGif();
    void exportPng();
    void updateActions();

private:
    QWidget* m_pWindow;
    QPointer<LedPanelDocument> m_pDocument;
    int m_Size; // the longer side of exported pictures
};

#endif // PICTURECONTROLLER_H
