#pragma once
// A series list as the display and its series dialog show it: the names in columns, filled
// top to bottom and then left to right, scrolling sideways; font 10 point, items 16 pixels
// high. With multiple selection each click toggles an item, and so does Space. Typing the
// start of a name, or a quantity's symbol, makes that item current without selecting it; a
// blank typed within such a name belongs to it.

#include <QElapsedTimer>
#include <QListWidget>
#include <vector>

#include "display/series_list.h"

namespace kvsorv {

class SeriesListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit SeriesListBox(QWidget* parent = nullptr);

  // The list's names and selection (the first selected item scrolled into view).
  void Fill(const SeriesList& list);
  void SetMultipleSelection(bool multiple);
  void SetSelection(const std::vector<bool>& selected);
  std::vector<bool> Selection() const;

  // The number of columns the visible width is shared among (at least 1).
  void SetColumns(int columns);
  // The widest item's text with the room around it, and every item's height, in pixels.
  int WidestItemWidth() const;
  static int ItemHeight();
  int Columns() const { return columns_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 public:
  void keyboardSearch(const QString& text) override;

 private:
  void ApplyColumns();
  void ShowFirstSelected();
  bool Searching() const;
  int columns_ = 1;
  SeriesList names_;          // the items' names, to find a typed name or symbol
  QString search_;            // the start of a name typed to find an item
  QElapsedTimer sinceTyped_;  // since its last character
};

}  // namespace kvsorv
