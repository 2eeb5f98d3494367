#ifndef LEDPANELOBSERVER_H
#define LEDPANELOBSERVER_H

class AbstractCommand;
class LedStateCommand;

// Told of every change of a show as it happens, the way an item model tells its
// views: the tree model and the document's views follow the show through it.
// Rows are positions among the parent node's children.
class LedPanelObserver
{
public:
    virtual ~LedPanelObserver() = default;

    virtual void nodesAboutToBeInserted(AbstractCommand* /*parent*/, int /*first*/, int /*last*/) {}
    virtual void nodesInserted(AbstractCommand* /*parent*/, int /*first*/, int /*last*/) {}
    virtual void nodesAboutToBeRemoved(AbstractCommand* /*parent*/, int /*first*/, int /*last*/) {}
    virtual void nodesRemoved(AbstractCommand* /*parent*/, int /*first*/, int /*last*/) {}
    // The nodes first .. last move so that they stand before row destination of the old order.
    virtual void nodesAboutToBeMoved(AbstractCommand* /*parent*/, int /*first*/, int /*last*/, int /*destination*/) {}
    virtual void nodesMoved(AbstractCommand* /*parent*/, int /*first*/, int /*last*/, int /*destination*/) {}
    virtual void ledsChanged(LedStateCommand* /*frame*/) {}
    virtual void infoChanged() {}
    // Another layout, and every frame's LEDs with it; the nodes stay.
    virtual void layoutAboutToBeChanged() {}
    virtual void layoutChanged() {}
    // A file is read into the show: everything may change.
    virtual void showAboutToBeReset() {}
    virtual void showReset() {}
};

#endif // LEDPANELOBSERVER_H
