#ifndef PLAYBACKCONTROLLER_H
#define PLAYBACKCONTROLLER_H

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

class AbstractLedGraphicsScene;
class CommandList;
class LedPanelDocument;
class LedStateCommand;
class LedTreeView;
class OnionSkinItem;
class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QSpinBox;
class QTimer;
class QToolBar;

// Plays the current sequence of the window's document in its LED view, frame
// after frame from a timer, and steps through it by hand. It moves only the
// tree's current item, which the LED view follows; the show is never touched.
// Whatever would change the show or the current item on the user's behalf
// pauses it first. It also holds the onion skin, shown only while paused.
class PlaybackController : public QObject
{
    Q_OBJECT

public:
    PlaybackController(QMainWindow* window, QMenu* menu);

    void setDocument(LedPanelDocument* document);
    bool isPlaying() const;
    int framesPerSecond() const;

    QAction* action_Play;
    QAction* action_Loop;
    QAction* action_PreviousFrame;
    QAction* action_NextFrame;
    QAction* action_OnionSkin;
    QSpinBox* spinBox_FramesPerSecond;
    QToolBar* toolBar_Playback;

public slots:
    void play();
    void pause();
    void nextFrame();
    void previousFrame();
    void setFramesPerSecond(int framesPerSecond);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions(QMenu* menu);
    void createToolBar(QMainWindow* window);
    void tick();
    void step(int delta);
    void showFrame(CommandList* sequence, int index);
    void currentChanged();
    void updatePlayAction();
    void updateActions();
    void attachOnionSkin();
    void updateOnionSkin();
    CommandList* currentSequence() const;
    LedStateCommand* currentFrame() const;

    QTimer* m_pTimer;
    QLabel* label_FramePosition;
    QPointer<LedPanelDocument> m_pDocument;
    QPointer<LedTreeView> m_pTreeView;
    QList<QPointer<QObject>> m_Watched;
    QList<QMetaObject::Connection> m_DocumentConnections;
    // True while the controller itself moves the tree's current item.
    bool m_Stepping;
    OnionSkinItem* m_pOnionSkin;
    QPointer<AbstractLedGraphicsScene> m_pOnionScene;
};

#endif // PLAYBACKCONTROLLER_H
