#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn in code.
namespace Pictures {

// 32 x 32: a yellow square in a blue frame, "ВЕ" over "v 3.0" in blue capitals.
// Another size draws the same picture to that scale (the desktop's menu wants
// several).
QPixmap programIcon(int size = 32);
QIcon programIconSet();

// The red cross beside "Удалить".
QIcon redCross();

// The classic "No" glyph beside "&Отмена": a red circle crossed by a
// diagonal bar.
QIcon noGlyph();

// 39 x 39, in the 16 colours of the classic palette: a yellow folder holding a
// white document, with a red circle bearing a white exclamation mark at its
// lower left. Shown by "Удаление записи".
QPixmap deleteWarning();

// A circle filled red with a black outline, as large as fits centred in size.
// Shown by "Изменение записи".
QPixmap redCircle(QSize size);

} // namespace Pictures
