#!/bin/sh
# layering.sh SRC PROGRAM... [--gui PROGRAM...]: fails when a source includes a layer above its own (each look
# below says which), a program before --gui loads QtGui or QtWidgets, or a program after it loads QtWidgets.
src=$1
shift
status=0
fail() {
    [ -z "$2" ] && return
    printf '%s:\n%s\n' "$1" "$2"
    status=1
}
found=$(grep -rnE '#include *[<"](Q(Widget|Application|MessageBox|FileDialog|Dialog|MainWindow|Menu|Action|GraphicsScene|GraphicsView|GraphicsItem)\b|QtWidgets|(Document|GraphicsView|MainWindow)/)' "$src"/Painter "$src"/Picture 2>/dev/null)
fail "painting and picture sources that include widget code" "$found"
found=$(grep -rnE '#include *[<"]Document/' "$src"/GraphicsView 2>/dev/null)
fail "view sources that include the document" "$found"
model="$src/Abstract $src/Data $src/Helper"
found=$(grep -rnE '#include *[<"](Q(Widget|Application|GuiApplication|Painter|Pixmap|Image|Color|Brush|Pen|GraphicsScene|GraphicsView|GraphicsItem|MessageBox|FileDialog|Dialog|MainWindow|Menu|Action|UndoStack|UndoCommand)|QtWidgets|QtGui|(Document|GraphicsView|MainWindow)/|TreeView/LedTreeView)' $model \
        $(ls "$src"/MspFlasher/*.h "$src"/MspFlasher/*.cpp "$src"/SerialPort/*.h "$src"/SerialPort/*.cpp "$src"/TreeView/LedTreeModel.* 2>/dev/null | grep -vE '(Dialog|Widget)[^/]*$'))
fail "model sources that include widget code" "$found"
banned='libQt5(Gui|Widgets)'
count=0
for program in "$@"; do
    if [ "$program" = "--gui" ]; then
        banned='libQt5Widgets'
        continue
    fi
    count=$((count + 1))
    libs=$(ldd "$program") || fail "$program" "ldd cannot read it"
    fail "$program loads" "$(echo "$libs" | grep -E "$banned")"
done
[ $status -eq 0 ] && echo "layering holds: $count programs checked"
exit $status
