#!/bin/sh
# layering.sh SRC PROGRAM...: fails when a model source includes widget code or
# when one of the given programs loads QtGui or QtWidgets.
src=$1
shift
status=0
model="$src/Abstract $src/Data $src/Helper"
found=$(grep -rnE '#include *[<"](Q(Widget|Application|GuiApplication|Painter|Pixmap|Image|Color|Brush|Pen|GraphicsScene|GraphicsView|GraphicsItem|MessageBox|FileDialog|Dialog|MainWindow|Menu|Action|UndoStack|UndoCommand)|QtWidgets|QtGui|(Document|GraphicsView|MainWindow)/|TreeView/LedTreeView)' $model \
        $(ls "$src"/MspFlasher/*.h "$src"/MspFlasher/*.cpp "$src"/SerialPort/*.h "$src"/SerialPort/*.cpp "$src"/TreeView/LedTreeModel.* 2>/dev/null | grep -vE '(Dialog|Widget)[^/]*$'))
if [ -n "$found" ]; then
    echo "model sources that include widget code:"
    echo "$found"
    status=1
fi
for program in "$@"; do
    libs=$(ldd "$program" | grep -E 'libQt5(Gui|Widgets)')
    if [ -n "$libs" ]; then
        echo "$program loads:"
        echo "$libs"
        status=1
    fi
done
[ $status -eq 0 ] && echo "layering holds: $# model programs checked"
exit $status
