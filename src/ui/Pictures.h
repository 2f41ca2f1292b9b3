#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn in code.
namespace Pictures {

// 32 x 32: a yellow square in a blue frame, "ВЕ" over "v 3.0" in blue capitals.
QPixmap programIcon();
QIcon programIconSet();

// The red cross beside "Удалить".
QIcon redCross();

} // namespace Pictures
