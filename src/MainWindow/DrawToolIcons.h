#ifndef DRAWTOOLICONS_H
#define DRAWTOOLICONS_H

#include <QIcon>

// The Draw toolbar's small pictures, painted rather than shipped: a narrow
// toolbar beside the LED view leaves the view its width.
namespace DrawToolIcons {

enum eIcon
{
    Pen,
    Line,
    Rectangle,
    Ellipse,
    Fill,
    Select,
    Lit,
    Filled,
    Text
};

QIcon icon(eIcon which);

} // namespace DrawToolIcons

#endif // DRAWTOOLICONS_H
