#ifndef LEDPANELDOCUMENT_H
#define LEDPANELDOCUMENT_H

#include "Data/LedPanelModel.h"
#include "Data/LedPanelObserver.h"
#include "Document/AbstractDocument.h"

#include <QDateTime>
#include <QVariantMap>

class AbstractLedGraphicsScene;
class CommandList;
class LedStateCommand;
class LedStateWidget;
class LedTreeModel;
class LedTreeView;
class QModelIndex;
class QUndoStack;

namespace Ui {
class LedPanelDocument;
}

// The LED panel document: a show in a window. It is both the document widget,
// with the tree of sequences and frames beside the page of the current item,
// and the show itself, the root of the command tree.
class LedPanelDocument : public AbstractDocument, public LedPanelModel, private LedPanelObserver
{
    Q_OBJECT

public:
    explicit LedPanelDocument(QWidget* parent = nullptr);
    ~LedPanelDocument() override;

    static LedPanelDocument* newDocument();

    int type() const override;

    AbstractLedGraphicsScene* ledScene();
    // The view that shows the current frame's LEDs (a widget, not a frame of the show).
    LedStateWidget* ledFrame();
    LedTreeModel* treeModel();
    LedTreeView* treeView();
    // Every edit of the show, to be undone and redone; its clean state is the saved one.
    QUndoStack* undoStack() const;
    // Makes a sequence or frame the tree's current item; null leaves the current one.
    void makeCurrent(AbstractCommand* node);

    CommandList* currentSequence();
    LedStateCommand* currentFrame();
    // The rows, ascending, of the frames a command on frames takes: those selected in the
    // tree within the current sequence, or else the current frame.
    QList<int> targetFrameRows();

    static QString fileDialogFilter();

    bool load(const QString& fileName) override;
    bool save(const QString& fileName) override;
    // The file as this document last read or wrote it, to tell another program's writes, also after a
    // restart from a recovery file: Time (ms since the epoch), Size and Hash (hex); empty for none.
    QVariantMap fileState() const;
    void setFileState(const QVariantMap& state);

signals:
    // An edit is about to change the show; whatever runs on the show (a preview) stops first.
    void aboutToEdit();
    // Sequences or frames were added, removed or moved, or the whole tree was rebuilt:
    // whatever depends on what the show holds looks again.
    void treeChanged();
    // Written to filePath(), whoever asked for it: the menu or the question before closing.
    void saved(const QString& filePath);

protected:
    QString openSaveFileDialogFilter() const override;
    QString defaultSuffix() const override;
    void execute(AbstractEdit* edit) override;
    void refuse(const QString& reason) override;
    bool focusNextPrevChild(bool next) override;

private:
    void setLayoutScene(AbstractLedGraphicsScene* scene);
    // The file as this document last read or wrote it, to tell another program's writes.
    void noteFileOnDisk();
    bool changedOnDisk(const QString& fileName) const;
    // Tells the scene the current frame's values again; it repaints what differs.
    void showCurrentFrame();

    void ledsChanged(LedStateCommand* frame) override;
    void showAboutToBeReset() override;
    void showReset() override;
    void layoutChanged() override;

    Ui::LedPanelDocument* ui;
    QMetaObject::Connection m_SceneConnection;
    QUndoStack* m_pUndoStack;
    QDateTime m_DiskTime;
    qint64 m_DiskSize = -1; // none: no file of ours to compare with
    QByteArray m_DiskHash;

    // The number the next untitled document takes in its name, LedPanel_1.xml, LedPanel_2.xml …
    static int sequenceNumber;
};

#endif // LEDPANELDOCUMENT_H
