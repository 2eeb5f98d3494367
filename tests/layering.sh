#!/bin/sh
# layering.sh SRC PROGRAM... [--gui PROGRAM...]: fails when a model source includes
# widget code, a painting or picture source includes QtWidgets, a view source
# includes the document, a program before
# --gui loads QtGui or QtWidgets, or a program after it loads QtWidgets.
src=$1
shift
status=0
found=$(grep -rnE '#include *[<"](Q(Widget|Application|MessageBox|FileDialog|Dialog|MainWindow|Menu|Action|GraphicsScene|GraphicsView|GraphicsItem)\b|QtWidgets|(Document|GraphicsView|MainWindow)/)' "$src"/Painter "$src"/Picture 2>/dev/null)
if [ -n "$found" ]; then
    echo "painting and picture sources that include widget code:"
    echo "$found"
    status=1
fi
found=$(grep -rnE '#include *[<"]Document/' "$src"/GraphicsView 2>/dev/null)
if [ -n "$found" ]; then
    echo "view sources that include the document:"
    echo "$found"
    status=1
fi
model="$src/Abstract $src/Data $src/Helper"
found=$(grep -rnE '#include *[<"](Q(Widget|Application|GuiApplication|Painter|Pixmap|Image|Color|Brush|Pen|GraphicsScene|GraphicsView|GraphicsItem|MessageBox|FileDialog|Dialog|MainWindow|Menu|Action|UndoStack|UndoCommand)|QtWidgets|QtGui|(Document|GraphicsView|MainWindow)/|TreeView/LedTreeView)' $model \
        $(ls "$src"/MspFlasher/*.h "$src"/MspFlasher/*.cpp "$src"/SerialPort/*.h "$src"/SerialPort/*.cpp "$src"/TreeView/LedTreeModel.* 2>/dev/null | grep -vE '(Dialog|Widget)[^/]*$'))
if [ -n "$found" ]; then
    echo "model sources that include widget code:"
    echo "$found"
    status=1
fi
banned='libQt5(Gui|Widgets)'
count=0
for program in "$@"; do
    if [ "$program" = "--gui" ]; then
        banned='libQt5Widgets'
        continue
    fi
    count=$((count + 1))
    libs=$(ldd "$program" | grep -E "$banned")
    if [ -n "$libs" ]; then
        echo "$program loads:"
        echo "$libs"
        status=1
    fi
done
[ $status -eq 0 ] && echo "layering holds: $count programs checked"
exit $status
