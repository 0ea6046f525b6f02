#include "windows/common/window_placement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace kvsorv {

namespace {

// `rect` moved to lie inside `area`, shrunk where it is larger.
QRect Inside(QRect rect, const QRect& area) {
  rect.setWidth(std::min(rect.width(), area.width()));
  rect.setHeight(std::min(rect.height(), area.height()));
  rect.moveLeft(std::clamp(rect.left(), area.left(), area.right() + 1 - rect.width()));
  rect.moveTop(std::clamp(rect.top(), area.top(), area.bottom() + 1 - rect.height()));
  return rect;
}

// The frame's size around a widget's contents (nothing before it is first shown).
QSize FrameExtra(const QWidget* window) {
  return window->frameGeometry().size() - window->geometry().size();
}

}  // namespace

QRect RectBeside(const QRect& opener, const QSize& size, const QRect& area, int minimumWidth,
                 int keepClear) {
  const int roomRight = area.right() - opener.right();
  const int roomLeft = opener.left() - area.left();
  QRect rect(QPoint(0, opener.top()), size);
  if (size.width() <= roomRight) {
    rect.moveLeft(opener.right() + 1);
  } else if (size.width() <= roomLeft) {
    rect.moveRight(opener.left() - 1);
  } else {
    const bool right = roomRight >= roomLeft;
    const int room = std::max(roomRight, roomLeft);
    rect.setWidth(std::clamp(room, std::min(minimumWidth, size.width()), size.width()));
    if (right) {
      rect.moveRight(area.right());
    } else {
      rect.moveLeft(area.left());
    }
    // Still over the opener: end above its buttons, moving up first and shortening last.
    if (rect.width() > room) {
      const int bottom = opener.bottom() - keepClear;
      if (rect.bottom() > bottom) rect.moveBottom(std::max(bottom, area.top() + size.height() - 1));
      if (rect.bottom() > bottom && bottom > area.top()) rect.setBottom(bottom);
    }
  }
  return Inside(rect, area);
}

QRect RectCentredOver(const QRect& over, const QSize& size, const QRect& area) {
  QRect rect(QPoint(0, 0), size);
  rect.moveCenter(over.center());
  return Inside(rect, area);
}

void GiveToOwner(QWidget* window, QWidget* owner) {
  if (owner != nullptr && window->parentWidget() != owner)
    window->setParent(owner, window->windowFlags());
}

void PlaceBeside(QWidget* window, const QWidget* opener, int minimumWidth, int keepClear) {
  const QScreen* screen = opener != nullptr ? opener->screen() : window->screen();
  if (screen == nullptr || opener == nullptr) return;
  const QSize extra = FrameExtra(window);
  const QRect frame = RectBeside(opener->frameGeometry(), window->size() + extra,
                                 screen->availableGeometry(), minimumWidth, keepClear);
  window->resize(frame.size() - extra);
  window->move(frame.topLeft());
}

void CentreOver(QWidget* window, const QWidget* over) {
  const QScreen* screen = over != nullptr ? over->screen() : window->screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize extra = FrameExtra(window);
  const QRect frame =
      RectCentredOver(over != nullptr && over->isVisible() ? over->frameGeometry() : area,
                      window->size() + extra, area);
  window->resize(frame.size() - extra);
  window->move(frame.topLeft());
}

}  // namespace kvsorv
