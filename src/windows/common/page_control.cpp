#include "windows/common/page_control.h"

#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <vector>

namespace kvsorv {

namespace {

constexpr int kCaptionPadding = 12;  // on each side of a caption
constexpr int kRowPadding = 5;       // above and below a caption

}  // namespace

// The tabs, row after row, left to right.
class WrappingTabBar : public QWidget {
 public:
  explicit WrappingTabBar(QWidget* parent) : QWidget(parent) {
    setObjectName("TabBar");
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setMouseTracking(true);
  }

  std::function<void(int)> clicked;

  void SetMinimumTabWidth(int width) {
    minimumTabWidth_ = width;
    Changed();
  }
  void Add(const QString& caption) {
    captions_.push_back(caption);
    Changed();
  }
  void SetCurrent(int index) {
    current_ = index;
    update();
  }
  int Count() const { return static_cast<int>(captions_.size()); }
  const QString& Caption(int index) const { return captions_.at(static_cast<std::size_t>(index)); }

  QRect TabRect(int index) const { return TabRectFor(index, width()); }

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override {
    const int columns = Columns(width);
    const int rows = (Count() + columns - 1) / columns;
    return rows * RowHeight() + 1;
  }
  QSize sizeHint() const override {
    const int width = 5 * TabWidth();
    return {width, heightForWidth(width)};
  }
  QSize minimumSizeHint() const override {
    const int width = 3 * TabWidth();
    return {width, heightForWidth(width)};
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    for (int i = 0; i < Count(); ++i) {
      const QRectF r = QRectF(TabRect(i)).adjusted(1.5, 1.5, -1.5, -0.5);
      QPainterPath shape;
      shape.addRoundedRect(r, 3, 3);
      const bool selected = i == current_;
      const bool hovered = i == hovered_ && !selected;
      QColor fill = selected ? pal.color(QPalette::Base) : pal.color(QPalette::Button);
      if (hovered) fill = fill.lighter(106);
      p.fillPath(shape, fill);
      p.setPen(QPen(selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Mid),
                    selected ? 1.5 : 1.0));
      p.drawPath(shape);
      QFont f = font();
      f.setBold(selected);
      p.setFont(f);
      p.setPen(pal.color(QPalette::ButtonText));
      p.drawText(r, Qt::AlignCenter, Caption(i));
    }
  }

  void mousePressEvent(QMouseEvent* event) override {
    const int index = TabAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index >= 0 && clicked) clicked(index);
  }

  void mouseMoveEvent(QMouseEvent* event) override {
    const int index = TabAt(event->position().toPoint());
    if (index != hovered_) {
      hovered_ = index;
      update();
    }
  }

  void leaveEvent(QEvent*) override {
    hovered_ = -1;
    update();
  }

 private:
  void Changed() {
    updateGeometry();
    update();
  }
  int RowHeight() const { return fontMetrics().height() + 2 * kRowPadding; }
  // The narrowest a tab may be: the minimum, or the longest caption in bold.
  int TabWidth() const {
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int widest = 0;
    for (const QString& c : captions_) widest = std::max(widest, metrics.horizontalAdvance(c));
    return std::max(minimumTabWidth_, widest + 2 * kCaptionPadding);
  }
  int Columns(int width) const {
    return std::clamp(width / std::max(1, TabWidth()), 1, std::max(1, Count()));
  }
  QRect TabRectFor(int index, int width) const {
    const int columns = Columns(width);
    const int row = index / columns;
    const int column = index % columns;
    // The row's width shared out evenly, the remainder to the first tabs.
    const int base = width / columns;
    const int extra = width % columns;
    const int left = column * base + std::min(column, extra);
    const int tabWidth = base + (column < extra ? 1 : 0);
    return {left, row * RowHeight(), tabWidth, RowHeight()};
  }
  int TabAt(const QPoint& point) const {
    for (int i = 0; i < Count(); ++i)
      if (TabRect(i).contains(point)) return i;
    return -1;
  }

  std::vector<QString> captions_;
  int minimumTabWidth_ = 0;
  int current_ = -1;
  int hovered_ = -1;
};

TMyPageControl::TMyPageControl(QWidget* parent)
    : QWidget(parent), tabs_(new WrappingTabBar(this)), pages_(new QStackedWidget(this)) {
  setObjectName("TMyPageControl");
  pages_->setObjectName("Pages");
  pages_->setFrameShape(QFrame::StyledPanel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(tabs_);
  layout->addWidget(pages_, 1);
  tabs_->clicked = [this](int index) { SetCurrentIndex(index); };

  const auto shortcut = [this](const QKeySequence& keys, bool forward) {
    auto* s = new QShortcut(keys, this);
    s->setContext(Qt::WindowShortcut);
    connect(s, &QShortcut::activated, this, [this, forward] { SelectNextPage(forward); });
  };
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), true);
  shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), false);
  shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), false);
}

void TMyPageControl::SetMinimumTabWidth(int width) {
  tabs_->SetMinimumTabWidth(width);
}

int TMyPageControl::AddPage(QWidget* page, const QString& caption) {
  const int index = pages_->addWidget(page);
  tabs_->Add(caption);
  if (index == 0) SetCurrentIndex(0);
  return index;
}

int TMyPageControl::Count() const {
  return tabs_->Count();
}

QWidget* TMyPageControl::Page(int index) const {
  return pages_->widget(index);
}

QString TMyPageControl::Caption(int index) const {
  return tabs_->Caption(index);
}

int TMyPageControl::CurrentIndex() const {
  return pages_->currentIndex();
}

void TMyPageControl::SetCurrentIndex(int index) {
  if (index < 0 || index >= Count()) return;
  const bool changed = index != CurrentIndex();
  pages_->setCurrentIndex(index);
  tabs_->SetCurrent(index);
  if (changed) emit currentChanged(index);
}

void TMyPageControl::SelectNextPage(bool forward) {
  if (Count() == 0) return;
  SetCurrentIndex((CurrentIndex() + (forward ? 1 : Count() - 1)) % Count());
}

QRect TMyPageControl::TabRect(int index) const {
  return tabs_->TabRect(index).translated(tabs_->pos());
}

QWidget* TMyPageControl::TabBar() const {
  return tabs_;
}

}  // namespace kvsorv
