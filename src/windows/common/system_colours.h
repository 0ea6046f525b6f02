#pragma once
// The system colours the windows name, taken from a widget's palette.

#include <QColor>
#include <QPalette>

namespace kvsorv {

// The grey of scroll bars: the background of cells and fields that cannot be edited.
inline QColor ScrollBarColour(const QPalette& palette) {
  return palette.color(QPalette::Window).darker(106);
}

// The shadow of buttons: the frame drawn around each cell of the state and process grid.
inline QColor ButtonShadowColour(const QPalette& palette) {
  return palette.color(QPalette::Mid);
}

}  // namespace kvsorv

namespace kvsorv {

// The border of an inactive window: the ground of read-only grids.
inline QColor InactiveBorderColour() {
  return QColor(244, 247, 252);
}

}  // namespace kvsorv
