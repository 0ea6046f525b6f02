#pragma once
// Colours of the classic desktop that some windows paint with by name.

#include <QColor>

namespace kvsorv {

// The trough of a scroll bar.
inline QColor ScrollBarColour() {
  return QColor(200, 200, 200);
}

}  // namespace kvsorv

namespace kvsorv {

// The border of an inactive window: the ground of read-only grids.
inline QColor InactiveBorderColour() {
  return QColor(244, 247, 252);
}

}  // namespace kvsorv
