#include "TreeView/LedTreeView.h"

#include "Data/CommandList.h"
#include "Data/LedStateCommand.h"
#include "Document/LedPanelDocument.h"
#include "TreeView/LedTreeModel.h"

#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(CommandList*)
Q_DECLARE_METATYPE(LedStateCommand*)

// The document's own tree view over two sequences, the first with two frames.
class tst_LedTreeView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newDocumentShowsNothing();
    void currentItemSignals_data();
    void currentItemSignals();
    void removingCurrentFrameMovesCurrent();
    void removingLastSequenceGivesNone();
    void clickTexts_data();
    void clickTexts();
    void contextMenuOnlyOverSequence_data();
    void contextMenuOnlyOverSequence();
    void modelDiesWithView();

private:
    QModelIndex indexAt(const QString& where) const;

    LedPanelDocument* m_pDocument = nullptr;
    LedTreeView* m_pView = nullptr;
    CommandList* m_pSequence = nullptr;
    CommandList* m_pOther = nullptr;
    LedStateCommand* m_pFrames[2] = {nullptr, nullptr};
};

void tst_LedTreeView::initTestCase()
{
    qRegisterMetaType<CommandList*>();
    qRegisterMetaType<LedStateCommand*>();
}

void tst_LedTreeView::init()
{
    m_pDocument = new LedPanelDocument;
    m_pView = m_pDocument->findChild<LedTreeView*>(QStringLiteral("treeView"));
    QVERIFY(m_pView);
    LedTreeModel* model = m_pView->model();
    m_pSequence = new CommandList(m_pDocument);
    model->append(m_pSequence, nullptr);
    for (LedStateCommand*& frame : m_pFrames) {
        frame = new LedStateCommand(m_pSequence);
        model->append(frame, m_pSequence);
    }
    m_pOther = new CommandList(m_pDocument);
    model->append(m_pOther, nullptr);
    m_pView->expandAll();
    m_pDocument->resize(600, 400);
    m_pDocument->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pDocument));
}

void tst_LedTreeView::cleanup()
{
    delete m_pDocument;
    m_pDocument = nullptr;
}

QModelIndex tst_LedTreeView::indexAt(const QString& where) const
{
    LedTreeModel* model = m_pView->model();
    if (where == QLatin1String("sequence"))
        return model->index(m_pSequence);
    if (where == QLatin1String("frame0"))
        return model->index(m_pFrames[0]);
    if (where == QLatin1String("frame1"))
        return model->index(m_pFrames[1]);
    if (where == QLatin1String("other"))
        return model->index(m_pOther);
    return QModelIndex();
}

void tst_LedTreeView::newDocumentShowsNothing()
{
    LedPanelDocument fresh;
    auto* view = fresh.findChild<LedTreeView*>(QStringLiteral("treeView"));
    QVERIFY(view);
    QCOMPARE(view->model()->rowCount(), 0);
    QVERIFY(view->isHeaderHidden());
    QCOMPARE(view->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(view->contextMenuPolicy(), Qt::CustomContextMenu);
}

void tst_LedTreeView::currentItemSignals_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("signal");

    QTest::newRow("frame") << QString() << QStringLiteral("frame1") << QStringLiteral("frame");
    QTest::newRow("sequence") << QStringLiteral("frame0") << QStringLiteral("other") << QStringLiteral("sequence");
    QTest::newRow("frame to frame") << QStringLiteral("frame0") << QStringLiteral("frame1") << QStringLiteral("frame");
    QTest::newRow("none") << QStringLiteral("frame0") << QString() << QStringLiteral("none");
}

void tst_LedTreeView::currentItemSignals()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, signal);

    if (!from.isEmpty())
        m_pView->setCurrentIndex(indexAt(from));
    QSignalSpy none(m_pView, &LedTreeView::setNone);
    QSignalSpy sequence(m_pView, &LedTreeView::setSequence);
    QSignalSpy frame(m_pView, &LedTreeView::setFrame);

    const QModelIndex target = indexAt(to);
    if (target.isValid())
        QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, Qt::NoModifier, m_pView->visualRect(target).center());
    else
        m_pView->setCurrentIndex(QModelIndex());

    QCOMPARE(m_pView->currentIndex(), target);
    QCOMPARE(none.count(), signal == QLatin1String("none") ? 1 : 0);
    QCOMPARE(sequence.count(), signal == QLatin1String("sequence") ? 1 : 0);
    QCOMPARE(frame.count(), signal == QLatin1String("frame") ? 1 : 0);
    if (frame.count())
        QCOMPARE(frame.first().first().value<LedStateCommand*>(), static_cast<LedStateCommand*>(target.internalPointer()));
    if (sequence.count())
        QCOMPARE(sequence.first().first().value<CommandList*>(), m_pOther);
}

void tst_LedTreeView::removingCurrentFrameMovesCurrent()
{
    m_pView->setCurrentIndex(indexAt(QStringLiteral("frame0")));
    LedStateCommand* removed = m_pFrames[0];
    // The new current frame must be announced while the old one still exists,
    // so nothing is left showing freed LED values.
    QList<LedStateCommand*> announced;
    connect(m_pView, &LedTreeView::setFrame, this, [&](LedStateCommand* frame) {
        QVERIFY(removed->parent() || frame != removed);
        announced << frame;
    });

    m_pView->model()->remove(removed);
    QVERIFY(!announced.isEmpty());
    QCOMPARE(announced.last(), m_pFrames[1]);
    QCOMPARE(m_pView->currentIndex().internalPointer(), static_cast<void*>(m_pFrames[1]));
    delete removed;
}

void tst_LedTreeView::removingLastSequenceGivesNone()
{
    LedTreeModel* model = m_pView->model();
    model->remove(m_pSequence);
    delete m_pSequence;
    m_pView->setCurrentIndex(model->index(m_pOther));
    QSignalSpy none(m_pView, &LedTreeView::setNone);

    model->remove(m_pOther);
    QCOMPARE(none.count(), 1);
    QVERIFY(!m_pView->currentIndex().isValid());
    delete m_pOther;
}

void tst_LedTreeView::clickTexts_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("text");

    QTest::newRow("first row") << QStringLiteral("sequence") << int(Qt::LeftButton)
                               << QStringLiteral("Left button mouse click at (table) index (0,0).");
    QTest::newRow("second frame") << QStringLiteral("frame1") << int(Qt::LeftButton)
                                  << QStringLiteral("Left button mouse click at (table) index (1,0).");
    QTest::newRow("second sequence") << QStringLiteral("other") << int(Qt::LeftButton)
                                     << QStringLiteral("Left button mouse click at (table) index (1,0).");
    QTest::newRow("empty space") << QString() << int(Qt::LeftButton)
                                 << QStringLiteral("Left button mouse click at (table) index (-1,-1).");
    QTest::newRow("right button") << QStringLiteral("sequence") << int(Qt::RightButton) << QString();
}

void tst_LedTreeView::clickTexts()
{
    QFETCH(QString, where);
    QFETCH(int, button);
    QFETCH(QString, text);

    const QModelIndex index = indexAt(where);
    const QPoint pos = index.isValid() ? m_pView->visualRect(index).center()
                                       : QPoint(10, m_pView->viewport()->height() - 5);
    QSignalSpy spy(m_pView, &LedTreeView::showMessage);
    QTest::mouseClick(m_pView->viewport(), Qt::MouseButton(button), Qt::NoModifier, pos);

    if (text.isEmpty()) {
        QCOMPARE(spy.count(), 0);
        return;
    }
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(0).toString(), text);
    QCOMPARE(spy.first().at(1).toInt(), 2000);
}

void tst_LedTreeView::contextMenuOnlyOverSequence_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("opens");

    QTest::newRow("sequence") << QStringLiteral("sequence") << true;
    QTest::newRow("second sequence") << QStringLiteral("other") << true;
    QTest::newRow("frame") << QStringLiteral("frame0") << false;
    QTest::newRow("empty space") << QString() << false;
}

void tst_LedTreeView::contextMenuOnlyOverSequence()
{
    QFETCH(QString, where);
    QFETCH(bool, opens);

    const QModelIndex index = indexAt(where);
    const QPoint pos = index.isValid() ? m_pView->visualRect(index).center()
                                       : QPoint(10, m_pView->viewport()->height() - 5);
    // A right click as the window system delivers it: the press, then the menu request.
    QTest::mousePress(m_pView->viewport(), Qt::RightButton, Qt::NoModifier, pos);
    QContextMenuEvent request(QContextMenuEvent::Mouse, pos, m_pView->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(m_pView->viewport(), &request);
    QTest::mouseRelease(m_pView->viewport(), Qt::RightButton, Qt::NoModifier, pos);

    auto* menu = m_pView->findChild<QMenu*>(QStringLiteral("contextMenu_table"));
    QVERIFY(menu);
    QCOMPARE(menu->isVisible(), opens);
    if (!opens)
        return;
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({QStringLiteral("import"), QStringLiteral("export")}));
    QCOMPARE(m_pView->currentIndex(), index);
    menu->hide();
}

void tst_LedTreeView::modelDiesWithView()
{
    QPointer<LedTreeModel> model;
    {
        LedTreeView view;
        model = view.model();
        QVERIFY(model);
        QVERIFY(static_cast<QObject*>(model.data())->parent() == nullptr);
    }
    QVERIFY(model.isNull());
}

QTEST_MAIN(tst_LedTreeView)
#include "tst_LedTreeView.moc"
