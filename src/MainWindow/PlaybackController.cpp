#include "MainWindow/PlaybackController.h"

#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedStateWidget.h"
#include "GraphicsView/OnionSkinItem.h"
#include "MainWindow/MainSettings.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

PlaybackController::PlaybackController(QMainWindow* window, QMenu* menu)
    : QObject(window)
    , m_pTimer(new QTimer(this))
    , label_FramePosition(new QLabel(window))
    , m_Stepping(false)
    , m_pOnionSkin(nullptr)
{
    Q_ASSERT(window);
    Q_ASSERT(menu);
    setObjectName(QStringLiteral("playbackController"));
    m_pTimer->setObjectName(QStringLiteral("timer_Playback"));
    // A coarse timer may fire 5 % late, which at 50 frames per second is a frame lost every second.
    m_pTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pTimer, &QTimer::timeout, this, &PlaybackController::tick);

    createActions(menu);
    createToolBar(window);
    label_FramePosition->setObjectName(QStringLiteral("label_FramePosition"));
    window->statusBar()->addPermanentWidget(label_FramePosition);

    // Stored when the window closes, as the other settings are.
    const int framesPerSecond = MainSettings::getFramesPerSecond();
    spinBox_FramesPerSecond->setValue(framesPerSecond);
    m_pTimer->setInterval(1000 / framesPerSecond);
    connect(spinBox_FramesPerSecond, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &PlaybackController::setFramesPerSecond);

    updateActions();
}

void PlaybackController::createActions(QMenu* menu)
{
    QWidget* window = qobject_cast<QWidget*>(parent());
    const QStyle* style = window->style();

    action_Play = new QAction(style->standardIcon(QStyle::SP_MediaPlay), tr("&Play"), window);
    action_Play->setObjectName(QStringLiteral("action_Play"));
    action_Play->setCheckable(true);
    // The window's context: a text field takes its own Space, and a dialog is another window.
    action_Play->setShortcut(QKeySequence(Qt::Key_Space));
    connect(action_Play, &QAction::triggered, this, [this](bool checked) { checked ? play() : pause(); });

    action_Loop = new QAction(tr("&Loop"), window);
    action_Loop->setObjectName(QStringLiteral("action_Loop"));
    action_Loop->setCheckable(true);
    action_Loop->setChecked(true);

    action_PreviousFrame = new QAction(style->standardIcon(QStyle::SP_MediaSkipBackward), tr("P&revious frame"), window);
    action_PreviousFrame->setObjectName(QStringLiteral("action_PreviousFrame"));
    action_PreviousFrame->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Left));
    connect(action_PreviousFrame, &QAction::triggered, this, &PlaybackController::previousFrame);

    action_NextFrame = new QAction(style->standardIcon(QStyle::SP_MediaSkipForward), tr("&Next frame"), window);
    action_NextFrame->setObjectName(QStringLiteral("action_NextFrame"));
    action_NextFrame->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Right));
    connect(action_NextFrame, &QAction::triggered, this, &PlaybackController::nextFrame);

    action_OnionSkin = new QAction(tr("&Onion skin"), window);
    action_OnionSkin->setObjectName(QStringLiteral("action_OnionSkin"));
    action_OnionSkin->setCheckable(true);
    action_OnionSkin->setChecked(MainSettings::value(QStringLiteral("Playback/OnionSkin"), false).toBool());
    connect(action_OnionSkin, &QAction::toggled, this, &PlaybackController::updateOnionSkin);
    connect(action_OnionSkin, &QAction::toggled, this,
            [](bool on) { MainSettings::setValue(QStringLiteral("Playback/OnionSkin"), on); });

    menu->addAction(action_Play);
    menu->addSeparator();
    menu->addAction(action_PreviousFrame);
    menu->addAction(action_NextFrame);
    menu->addSeparator();
    menu->addAction(action_Loop);
    menu->addAction(action_OnionSkin);
}

void PlaybackController::createToolBar(QMainWindow* window)
{
    toolBar_Playback = new QToolBar(tr("Playback"), window);
    toolBar_Playback->setObjectName(QStringLiteral("toolBar_Playback"));
    toolBar_Playback->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar_Playback->addAction(action_PreviousFrame);
    toolBar_Playback->addAction(action_Play);
    toolBar_Playback->addAction(action_NextFrame);
    toolBar_Playback->addSeparator();
    toolBar_Playback->addAction(action_Loop);
    toolBar_Playback->addAction(action_OnionSkin);
    toolBar_Playback->addSeparator();

    auto* label = new QLabel(tr("Speed:"), toolBar_Playback);
    spinBox_FramesPerSecond = new QSpinBox(toolBar_Playback);
    spinBox_FramesPerSecond->setObjectName(QStringLiteral("spinBox_FramesPerSecond"));
    spinBox_FramesPerSecond->setRange(MainSettings::MinFramesPerSecond, MainSettings::MaxFramesPerSecond);
    spinBox_FramesPerSecond->setSuffix(tr(" fps"));
    spinBox_FramesPerSecond->setToolTip(tr("Frames per second"));
    label->setBuddy(spinBox_FramesPerSecond);
    toolBar_Playback->addWidget(label);
    toolBar_Playback->addWidget(spinBox_FramesPerSecond);
    // A row of its own: beside the editing toolbar the speed would hide behind the overflow arrow.
    window->addToolBarBreak();
    window->addToolBar(toolBar_Playback);
}

void PlaybackController::setDocument(LedPanelDocument* document)
{
    if (document == m_pDocument)
        return;
    pause();
    while (!m_DocumentConnections.isEmpty())
        disconnect(m_DocumentConnections.takeFirst());
    for (const QPointer<QObject>& watched : qAsConst(m_Watched)) {
        if (watched)
            watched->removeEventFilter(this);
    }
    m_Watched.clear();

    m_pDocument = document;
    m_pTreeView = document ? document->findChild<LedTreeView*>(QStringLiteral("treeView")) : nullptr;
    if (document) {
        Q_ASSERT(m_pTreeView);
        m_DocumentConnections << connect(document, &LedPanelDocument::aboutToEdit, this, &PlaybackController::pause)
                              << connect(m_pTreeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
                                         &PlaybackController::currentChanged)
                              << connect(document, &LedPanelDocument::treeChanged, this,
                                         &PlaybackController::updateActions)
                              // Another layout is another scene, which needs an onion skin of its own.
                              << connect(document->ledFrame(), &LedStateWidget::sceneReplaced, this,
                                         &PlaybackController::attachOnionSkin);
        // Presses are seen before the view acts on them, so a click lands on the frame shown.
        m_Watched << m_pTreeView->viewport() << document->ledFrame()->viewport();
        for (const QPointer<QObject>& watched : qAsConst(m_Watched))
            watched->installEventFilter(this);
    }
    attachOnionSkin();
    updateActions();
}

bool PlaybackController::isPlaying() const
{
    return m_pTimer->isActive();
}

int PlaybackController::framesPerSecond() const
{
    return spinBox_FramesPerSecond->value();
}

CommandList* PlaybackController::currentSequence() const
{
    return m_pDocument ? m_pDocument->currentSequence() : nullptr;
}

LedStateCommand* PlaybackController::currentFrame() const
{
    return m_pDocument ? m_pDocument->currentFrame() : nullptr;
}

void PlaybackController::play()
{
    CommandList* sequence = currentSequence();
    if (sequence && sequence->frameCount() > 0 && !isPlaying()) {
        const LedStateCommand* frame = currentFrame();
        const int last = sequence->frameCount() - 1;
        // A sequence starts from its first frame; so does one played to its end without looping.
        if (!frame || (!action_Loop->isChecked() && frame->index() == last))
            showFrame(sequence, 0);
        m_pTimer->start();
    }
    updatePlayAction();
}

void PlaybackController::pause()
{
    m_pTimer->stop();
    updatePlayAction();
}

void PlaybackController::updatePlayAction()
{
    const bool playing = isPlaying();
    action_Play->setChecked(playing);
    action_Play->setText(playing ? tr("&Pause") : tr("&Play"));
    action_Play->setIcon(action_Play->parentWidget()->style()->standardIcon(playing ? QStyle::SP_MediaPause
                                                                                    : QStyle::SP_MediaPlay));
    updateOnionSkin();
}

void PlaybackController::nextFrame()
{
    step(1);
}

void PlaybackController::previousFrame()
{
    step(-1);
}

void PlaybackController::setFramesPerSecond(int framesPerSecond)
{
    framesPerSecond = qBound(MainSettings::MinFramesPerSecond, framesPerSecond, MainSettings::MaxFramesPerSecond);
    if (spinBox_FramesPerSecond->value() != framesPerSecond)
        spinBox_FramesPerSecond->setValue(framesPerSecond);
    m_pTimer->setInterval(1000 / framesPerSecond);
    // Pictures are exported and imported at the speed playback has now; the file gets it when the window closes.
    MainSettings::setFramesPerSecond(framesPerSecond);
}

void PlaybackController::tick()
{
    CommandList* sequence = currentSequence();
    if (!sequence || sequence->frameCount() == 0) {
        pause();
        return;
    }
    const LedStateCommand* frame = currentFrame();
    const int count = sequence->frameCount();
    const bool loop = action_Loop->isChecked();
    int next = frame ? frame->index() + 1 : 0;
    if (next >= count) {
        if (!loop) {
            pause();
            return;
        }
        next = 0;
    }
    showFrame(sequence, next);
    if (!loop && next == count - 1)
        pause();
}

void PlaybackController::step(int delta)
{
    CommandList* sequence = currentSequence();
    const int count = sequence ? sequence->frameCount() : 0;
    if (count == 0)
        return;
    const LedStateCommand* frame = currentFrame();
    // From the sequence itself, forwards starts at its first frame and backwards at its last.
    const int index = frame ? (frame->index() + delta % count + count) % count : (delta > 0 ? 0 : count - 1);
    showFrame(sequence, index);
}

void PlaybackController::showFrame(CommandList* sequence, int index)
{
    Q_ASSERT(m_pTreeView);
    Q_ASSERT(index >= 0 && index < sequence->frameCount());
    m_Stepping = true;
    // The frame shown alone is selected: the view's setCurrentIndex() would add it to the selection
    // while Ctrl (of Ctrl+Right) or Shift is held, and Delete would then take every frame passed.
    m_pDocument->makeCurrent(sequence->frame(index));
    m_Stepping = false;
}

void PlaybackController::currentChanged()
{
    // The user moved to another item (keys in the tree): stay there.
    if (!m_Stepping)
        pause();
    attachOnionSkin();
    updateActions();
}

void PlaybackController::updateActions()
{
    const CommandList* sequence = currentSequence();
    const int count = sequence ? sequence->frameCount() : 0;
    action_Play->setEnabled(count > 0);
    action_NextFrame->setEnabled(count > 0);
    action_PreviousFrame->setEnabled(count > 0);

    const LedStateCommand* frame = currentFrame();
    label_FramePosition->setText(frame ? tr("Frame %1 of %2").arg(frame->index() + 1).arg(count) : QString());
}

void PlaybackController::attachOnionSkin()
{
    AbstractLedGraphicsScene* scene = m_pDocument ? m_pDocument->ledScene() : nullptr;
    if (!m_pOnionSkin || scene != m_pOnionScene) {
        // A scene that is gone took the item with it.
        if (m_pOnionSkin && m_pOnionScene) {
            m_pOnionScene->removeItem(m_pOnionSkin);
            delete m_pOnionSkin;
        }
        m_pOnionSkin = nullptr;
        m_pOnionScene = scene;
        if (scene) {
            m_pOnionSkin = new OnionSkinItem;
            scene->addItem(m_pOnionSkin);
        }
    }
    updateOnionSkin();
}

void PlaybackController::updateOnionSkin()
{
    if (m_pOnionSkin && m_pOnionScene)
        m_pOnionSkin->setVisible(action_OnionSkin->isChecked() && !isPlaying());
}

bool PlaybackController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && isPlaying() && m_Watched.contains(watched)) {
        const bool onTree = m_pTreeView && watched == m_pTreeView->viewport();
        // Only a left press edits an LED; the middle button pans and the right one opens the zoom menu.
        if (onTree || static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            pause();
    }
    return QObject::eventFilter(watched, event);
}
