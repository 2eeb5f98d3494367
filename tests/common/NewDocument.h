#ifndef NEWDOCUMENT_H
#define NEWDOCUMENT_H

class LedPanelDocument;
class MainWindow;

// Shows the window and, through its menu, a new document of one sequence of these frames, current in the tree.
// Null on failure.
LedPanelDocument* newDocumentWithFrames(MainWindow& window, int frames);

#endif // NEWDOCUMENT_H
