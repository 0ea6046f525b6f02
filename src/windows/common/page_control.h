#pragma once
// A page control whose tabs wrap onto as many rows as its width needs, so that every tab is
// in view at once. The tabs are equally wide: at least the minimum tab width, wide enough for
// the longest caption, and spread to fill each row. Clicking a tab shows its page; Ctrl+Tab
// and Ctrl+Shift+Tab show the next and the previous page, wrapping around at either end.

#include <QWidget>

class QStackedWidget;

namespace kvsorv {

class WrappingTabBar;

class TMyPageControl : public QWidget {
  Q_OBJECT
 public:
  explicit TMyPageControl(QWidget* parent = nullptr);

  void SetMinimumTabWidth(int width);
  // Adds a page (the control takes it) and returns its index.
  int AddPage(QWidget* page, const QString& caption);
  int Count() const;
  QWidget* Page(int index) const;
  QString Caption(int index) const;
  int CurrentIndex() const;
  void SetCurrentIndex(int index);
  // The next page (forward) or the previous one, wrapping around at either end.
  void SelectNextPage(bool forward);
  // A tab's rectangle in this control's coordinates.
  QRect TabRect(int index) const;
  // The strip of tabs.
  QWidget* TabBar() const;

 signals:
  void currentChanged(int index);

 private:
  WrappingTabBar* tabs_;
  QStackedWidget* pages_;
};

}  // namespace kvsorv
