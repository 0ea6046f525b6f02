#pragma once
// A series list as the display and its series dialog show it: the names in columns, filled
// top to bottom and then left to right, scrolling sideways; font 10 point, items 16 pixels
// high. With multiple selection each click toggles an item.

#include <QListWidget>
#include <vector>

#include "display/series_list.h"

namespace kvsorv {

class SeriesListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit SeriesListBox(QWidget* parent = nullptr);

  // The list's names and selection.
  void Fill(const SeriesList& list);
  void SetMultipleSelection(bool multiple);
  void SetSelection(const std::vector<bool>& selected);
  std::vector<bool> Selection() const;

  // The number of columns the visible width is shared among (at least 1).
  void SetColumns(int columns);
  int Columns() const { return columns_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ApplyColumns();
  int columns_ = 1;
};

}  // namespace kvsorv
