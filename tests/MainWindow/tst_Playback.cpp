#include "Data/CommandList.h"
#include "Data/LedData.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "GraphicsView/AbstractLedGraphicsScene.h"
#include "GraphicsView/LedGraphicsItem.h"
#include "GraphicsView/LedStateWidget.h"
#include "GraphicsView/OnionSkinItem.h"
#include "MainWindow/MainMenu.h"
#include "MainWindow/MainWindow.h"
#include "TreeView/FrameThumbnailCache.h"
#include "TreeView/FrameThumbnailDelegate.h"
#include "TreeView/LedTreeModel.h"
#include "TreeView/LedTreeView.h"

#include "NewDocument.h"

#include <QtTest>
#include <QtWidgets>

class tst_Playback : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { delete m_window; }
    void controls_data();
    void controls();
    void pausesFirst_data();
    void pausesFirst();
    void speedSurvivesRestart_data();
    void speedSurvivesRestart();
    void onionSkin_data();
    void onionSkin();
    void thumbnailsFollowEdits();

private:
    template<typename T = QAction> T* find(const char* name) const { return m_window->findChild<T*>(name); }
    QTimer* timer() const { return find<QTimer>("timer_Playback"); }
    MainMenu* menu() const { return qobject_cast<MainMenu*>(m_window->menuBar()); }
    LedPanelDocument* document() const { return qobject_cast<LedPanelDocument*>(m_window->currentDocument()); }
    LedTreeView* tree() const { return document()->findChild<LedTreeView*>(); }
    int shownFrame() const { return document()->currentFrame() ? document()->currentFrame()->index() : -1; }
    QString settingsFile() const { return QCoreApplication::applicationDirPath() + QStringLiteral("/app.ini"); }
    bool openWithFrames(int frames, int current);
    void tick() { QMetaObject::invokeMethod(timer(), "timeout"); }
    // Where an LED is in the LED view, zoomed to fit.
    QPoint ledAt(int led) const
    {
        LedStateWidget* view = document()->ledFrame();
        view->ZoomAll();
        return view->mapFromScene(view->scene()->ledItems().at(led)->scenePos());
    }
    void clickLed(int led) { QTest::mouseClick(document()->ledFrame()->viewport(), Qt::LeftButton, {}, ledAt(led)); }
    QByteArray showFile() const
    {
        QBuffer file;
        return file.open(QIODevice::WriteOnly) && document()->writeXML(&file) ? file.data() : QByteArray();
    }

    MainWindow* m_window = nullptr;
};

void tst_Playback::init()
{
    QFile::remove(settingsFile());
    m_window = new MainWindow;
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

// A document of one sequence with these frames; current is a frame, or -1 for the sequence.
bool tst_Playback::openWithFrames(int frames, int current)
{
    if (!newDocumentWithFrames(*m_window, frames))
        return false;
    const QModelIndex sequence = document()->treeModel()->index(document()->sequence(0));
    tree()->setCurrentIndex(current < 0 ? sequence : document()->treeModel()->index(current, 0, sequence));
    tree()->setFocus();
    document()->setModified(false);
    return shownFrame() == current;
}

// Keys: space on the tree, 's' space typed into the speed box, '>' Ctrl+Right, '<' Ctrl+Left, 't' a timer tick.
void tst_Playback::controls_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("start"); // -1: the sequence
    QTest::addColumn<bool>("loop");
    QTest::addColumn<int>("fps");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("shown");
    QTest::addColumn<bool>("playing");

    QTest::newRow("from the sequence, first frame, then ticks") << 5 << -1 << true << 10 << " ttt" << 3 << true;
    QTest::newRow("loop wraps") << 4 << 2 << true << 50 << " tt" << 0 << true;
    QTest::newRow("loop off stops on the last frame") << 4 << 1 << false << 25 << " tt" << 3 << false;
    QTest::newRow("loop off, from the end again") << 4 << 3 << false << 1 << " t" << 1 << true;
    QTest::newRow("pause") << 5 << 1 << true << 3 << " t " << 2 << false;
    QTest::newRow("next wraps") << 5 << 4 << true << 10 << ">" << 0 << false;
    QTest::newRow("previous wraps") << 5 << 0 << true << 10 << "<" << 4 << false;
    QTest::newRow("previous from the sequence") << 5 << -1 << true << 10 << "<" << 4 << false;
    QTest::newRow("stepping while playing") << 6 << 1 << true << 10 << " >t" << 3 << true;
    QTest::newRow("space in the speed box") << 5 << 1 << true << 10 << "s" << 1 << false;
}

void tst_Playback::controls()
{
    QFETCH(int, frames);
    QFETCH(int, start);
    QFETCH(bool, loop);
    QFETCH(int, fps);
    QFETCH(QString, keys);
    QFETCH(int, shown);
    QFETCH(bool, playing);
    QVERIFY(openWithFrames(frames, start));
    document()->sequence(0)->frame(1)->led(7)->setIntensity(1);
    const QByteArray before = showFile();
    find<QAction>("action_Loop")->setChecked(loop);
    auto* speed = find<QSpinBox>("spinBox_FramesPerSecond");
    speed->setValue(fps);
    QSignalSpy framesShown(tree(), &LedTreeView::setFrame);

    for (const QChar key : keys) {
        if (key == 't') {
            QVERIFY(timer()->isActive());
            const int from = shownFrame();
            framesShown.clear();
            tick();
            QCOMPARE(framesShown.count(), 1);
            QCOMPARE(shownFrame(), (from + 1) % frames);
        } else if (key == 's') {
            speed->setFocus();
            QTest::keyClick(speed, Qt::Key_Space);
            tree()->setFocus();
        } else {
            const Qt::Key code = key == ' ' ? Qt::Key_Space : key == '>' ? Qt::Key_Right : Qt::Key_Left;
            QTest::keyClick(tree(), code, key == ' ' ? Qt::NoModifier : Qt::ControlModifier);
        }
    }
    QCOMPARE(shownFrame(), shown);
    QCOMPARE(timer()->isActive(), playing);
    QCOMPARE(timer()->interval(), 1000 / fps);
    auto* play = find<QAction>("action_Play");
    QCOMPARE(play->isChecked(), playing);
    QCOMPARE(play->text(), playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
    QCOMPARE(find<QLabel>("label_FramePosition")->text(), QStringLiteral("Frame %1 of %2").arg(shown + 1).arg(frames));
    // Playing shows frames and changes nothing.
    QVERIFY(!before.isEmpty());
    QCOMPARE(showFile(), before);
    QVERIFY(!document()->isModified() && !m_window->isWindowModified());
}

void tst_Playback::pausesFirst_data()
{
    QTest::addColumn<QString>("interruption");
    QTest::addColumn<int>("shown"); // -1: no frame, or no document

    QTest::newRow("LED click") << "led" << 2;
    QTest::newRow("tree click") << "tree" << 0;
    QTest::newRow("menu edit") << "edit" << 2;
    QTest::newRow("close") << "close" << -1;
    QTest::newRow("new document") << "new" << -1;
}

void tst_Playback::pausesFirst()
{
    QFETCH(QString, interruption);
    QFETCH(int, shown);
    QVERIFY(openWithFrames(4, 1));
    find<QAction>("action_Play")->trigger();
    tick();
    QCOMPARE(shownFrame(), 2);

    if (interruption == QLatin1String("led")) {
        clickLed(5);
    } else if (interruption == QLatin1String("tree")) {
        const QModelIndex first = document()->treeModel()->index(document()->sequence(0)->frame(0));
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualRect(first).center());
    } else if (interruption == QLatin1String("edit")) {
        menu()->action_AddFrame->trigger();
    } else {
        (interruption == QLatin1String("close") ? menu()->action_Close : menu()->action_New)->trigger();
    }
    QVERIFY(!timer()->isActive());
    QVERIFY(!find<QAction>("action_Play")->isChecked());
    if (shown < 0) {
        QVERIFY(!document() || !document()->currentSequence());
        QVERIFY(!find<QAction>("action_Play")->isEnabled());
        return;
    }
    QCOMPARE(shownFrame(), shown);
    CommandList* sequence = document()->sequence(0);
    for (int f = 0; f < sequence->frameCount(); ++f)
        QCOMPARE(sequence->frame(f)->led(5)->intensity(), interruption == QLatin1String("led") && f == 2 ? 1 : 0);
}

void tst_Playback::speedSurvivesRestart_data()
{
    QTest::addColumn<QString>("stored"); // empty: no such key
    QTest::addColumn<int>("fps");

    QTest::newRow("first run") << "" << 10;
    QTest::newRow("in range") << "7" << 7;
    QTest::newRow("too fast") << "500" << 50;
    QTest::newRow("zero") << "0" << 1;
    QTest::newRow("not a number") << "fast" << 10;
}

void tst_Playback::speedSurvivesRestart()
{
    QFETCH(QString, stored);
    QFETCH(int, fps);
    delete m_window;
    if (!stored.isEmpty())
        QSettings(settingsFile(), QSettings::IniFormat).setValue(QStringLiteral("Playback/FramesPerSecond"), stored);
    m_window = new MainWindow;
    auto* speed = find<QSpinBox>("spinBox_FramesPerSecond");
    QCOMPARE(speed->value(), fps);
    QCOMPARE(timer()->interval(), 1000 / fps);

    speed->selectAll();
    QTest::keyClicks(speed, QStringLiteral("25"));
    QVERIFY(m_window->close());
    QCOMPARE(QSettings(settingsFile(), QSettings::IniFormat).value(QStringLiteral("Playback/FramesPerSecond")).toInt(), 25);
    delete m_window;
    m_window = new MainWindow;
    QCOMPARE(find<QSpinBox>("spinBox_FramesPerSecond")->value(), 25);
    QCOMPARE(timer()->interval(), 40);
}

// Frame 0 lights LEDs 0 and 1, frame 1 LEDs 1 and 2.
void tst_Playback::onionSkin_data()
{
    QTest::addColumn<bool>("onion");
    QTest::addColumn<bool>("playing");
    QTest::addColumn<int>("frame");
    QTest::addColumn<int>("led");
    QTest::addColumn<QColor>("colour");

    const QColor lit(Qt::yellow), dark(Qt::darkGray), onion = OnionSkinItem::color();
    QTest::newRow("lit before, dark now") << true << false << 1 << 0 << onion;
    QTest::newRow("lit now") << true << false << 1 << 1 << lit;
    QTest::newRow("dark in both") << true << false << 1 << 3 << dark;
    QTest::newRow("switched off") << false << false << 1 << 0 << dark;
    QTest::newRow("first frame, no previous one") << true << false << 0 << 2 << dark;
    QTest::newRow("not while playing") << true << true << 1 << 0 << dark;
}

void tst_Playback::onionSkin()
{
    QFETCH(bool, onion);
    QFETCH(bool, playing);
    QFETCH(int, frame);
    QFETCH(int, led);
    QFETCH(QColor, colour);
    // Otherwise a missing onion skin would pass for a drawn one.
    QVERIFY(OnionSkinItem::color() != QColor(Qt::yellow) && OnionSkinItem::color() != QColor(Qt::darkGray));
    QVERIFY(openWithFrames(2, frame));
    for (const QPoint& lit : {QPoint(0, 0), QPoint(0, 1), QPoint(1, 1), QPoint(1, 2)}) // frame, LED
        document()->sequence(0)->frame(lit.x())->led(lit.y())->setIntensity(1);
    find<QAction>("action_OnionSkin")->setChecked(onion);
    if (playing)
        find<QAction>("action_Play")->trigger();
    QCOMPARE(timer()->isActive(), playing);
    const QPoint at = ledAt(led);
    QCOMPARE(document()->ledFrame()->viewport()->grab().toImage().pixelColor(at), colour);
}

// Pictures are drawn for the rows shown only, and an edit redraws its own frame's picture alone.
void tst_Playback::thumbnailsFollowEdits()
{
    const int frames = 300;
    QVERIFY(openWithFrames(frames, 1));
    tree()->expandAll();
    auto* cache = qobject_cast<FrameThumbnailDelegate*>(tree()->itemDelegate())->cache();
    const QModelIndex sequence = document()->treeModel()->index(document()->sequence(0));
    const auto rowImage = [&](int frame) {
        return tree()->viewport()->grab(tree()->visualRect(tree()->model()->index(frame, 0, sequence))).toImage();
    };
    // Dots are smaller than the LEDs' pixels: lit ones blend with the body, but stay yellowish.
    const auto yellowPixels = [](const QImage& image) {
        int count = 0;
        for (int i = 0; i < image.width() * image.height(); ++i) {
            const QColor c = image.pixelColor(i % image.width(), i / image.width());
            count += c.red() > 128 && c.green() > 128 && c.blue() < 96;
        }
        return count;
    };
    tree()->viewport()->grab();
    const QImage edited = rowImage(1), untouched = rowImage(2);
    const int rowHeight = tree()->visualRect(tree()->model()->index(1, 0, sequence)).height();
    QVERIFY(rowHeight >= FrameThumbnailCache::Height);
    const int drawn = cache->drawnCount();
    QVERIFY2(drawn > 2 && drawn <= tree()->viewport()->height() / rowHeight + 1, qPrintable(QString::number(drawn)));
    QCOMPARE(yellowPixels(edited), 0);

    clickLed(5);
    QCOMPARE(document()->sequence(0)->frame(1)->led(5)->intensity(), 1);
    QVERIFY(yellowPixels(rowImage(1)) > 0);
    QCOMPARE(rowImage(2), untouched);
    QCOMPARE(cache->drawnCount(), drawn + 1);
}

QTEST_MAIN(tst_Playback)
#include "tst_Playback.moc"
