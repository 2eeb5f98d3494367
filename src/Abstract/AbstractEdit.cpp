#include "Abstract/AbstractEdit.h"

#include "Data/LedPanelModel.h"

AbstractEdit::AbstractEdit(const QString& text)
    : m_Text(text)
{
}

AbstractEdit::~AbstractEdit() = default;

QString AbstractEdit::text() const
{
    return m_Text;
}

void AbstractEdit::setText(const QString& text)
{
    m_Text = text;
}

qint64 AbstractEdit::ledValueGrowth() const
{
    return 0;
}

QString AbstractEdit::refusal() const
{
    return QString();
}

int AbstractEdit::mergeId() const
{
    return -1;
}

bool AbstractEdit::mergeWith(const AbstractEdit& other)
{
    Q_UNUSED(other)
    return false;
}

AbstractCommand* AbstractEdit::focus(LedPanelModel& model, bool undone) const
{
    Q_UNUSED(model)
    Q_UNUSED(undone)
    return nullptr;
}

void AbstractEdit::insertNodes(LedPanelModel& model, AbstractCommand* parent, int row,
                               const QList<AbstractCommand*>& nodes)
{
    model.insertNodes(parent, row, nodes);
}

QList<AbstractCommand*> AbstractEdit::takeNodes(LedPanelModel& model, AbstractCommand* parent, int row, int count)
{
    return model.takeNodes(parent, row, count);
}

void AbstractEdit::moveNodes(LedPanelModel& model, AbstractCommand* parent, int first, int last, int destination)
{
    model.moveNodes(parent, first, last, destination);
}

void AbstractEdit::ledsChanged(LedPanelModel& model, LedStateCommand* frame)
{
    model.notifyLedsChanged(frame);
}

void AbstractEdit::setLayout(LedPanelModel& model, const LedLayout& layout, const QVector<QVector<int>>& intensities)
{
    model.setLayout(layout, intensities);
}

void AbstractEdit::setInfo(LedPanelModel& model, const QString& title, const QString& description)
{
    model.setInfo(title, description);
}
