#pragma once
// Where a window opens: beside or over the window it belongs to, always inside the screen's
// free area. The rectangles are frame rectangles in screen pixels; the pure functions hold
// the rules, the widget functions apply them.

#include <QRect>

class QWidget;

namespace kvsorv {

// A window of `size` beside `opener`: to its right, else to its left, where it fits whole.
// Where neither side has room it goes to the side with more, narrowed to that room but never
// below `minimumWidth`; where even that would cover the opener it keeps clear of the opener's
// lowest `keepClear` pixels (where its buttons are), shortened when it must be.
QRect RectBeside(const QRect& opener, const QSize& size, const QRect& area, int minimumWidth,
                 int keepClear);
// A window of `size` centred over `over`, moved (and at most shrunk) to lie inside `area`.
QRect RectCentredOver(const QRect& over, const QSize& size, const QRect& area);

// Makes `window` a window owned by `owner` (kept above it and shown over it), its flags
// kept, unless it already is.
void GiveToOwner(QWidget* window, QWidget* owner);
// Moves (and resizes, where it must) `window` beside `opener`, by RectBeside.
void PlaceBeside(QWidget* window, const QWidget* opener, int minimumWidth, int keepClear);
// Moves `window` centred over `over` (its screen where `over` is null), inside the screen.
void CentreOver(QWidget* window, const QWidget* over);

}  // namespace kvsorv
