#pragma once
// The program's pictures, drawn rather than loaded: a small tree for the about window and
// the window icon, and a forest-and-soil scene for the trouble window.

#include <QPixmap>
#include <QSize>

namespace kvsorv {

// A tree on a strip of soil, size x size pixels.
QPixmap TreeIcon(int size);

// A tree above soil layers with its roots, filling the given size.
QPixmap ForestScene(QSize size);

}  // namespace kvsorv
