#ifndef NEWDOCUMENT_H
#define NEWDOCUMENT_H

class LedPanelDocument;
class MainWindow;

// Shows the window and makes a new document through its menu: one sequence,
// current in the tree, holding the given number of frames. Null on failure.
LedPanelDocument* newDocumentWithFrames(MainWindow& window, int frames);

#endif // NEWDOCUMENT_H
