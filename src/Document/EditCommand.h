#ifndef EDITCOMMAND_H
#define EDITCOMMAND_H

#include <QUndoCommand>

#include <memory>

class AbstractEdit;
class LedPanelDocument;

// An edit of the show as a step of the document's undo history.
class EditCommand : public QUndoCommand
{
public:
    EditCommand(LedPanelDocument* document, AbstractEdit* edit);
    ~EditCommand() override;

    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    LedPanelDocument* m_pDocument;
    std::unique_ptr<AbstractEdit> m_pEdit;
    // The first redo is the edit itself: whoever made it decides what becomes current.
    bool m_Done;
};

#endif // EDITCOMMAND_H
