#include "windows/display/series_list_box.h"

#include <QResizeEvent>
#include <QSignalBlocker>
#include <algorithm>

#include "windows/common/qt_text.h"

namespace kvsorv {

namespace {

constexpr int kItemHeight = 16;

}  // namespace

SeriesListBox::SeriesListBox(QWidget* parent) : QListWidget(parent) {
  QFont font = this->font();
  font.setPointSize(10);
  setFont(font);
  setViewMode(QListView::ListMode);
  setFlow(QListView::TopToBottom);
  setWrapping(true);
  setResizeMode(QListView::Adjust);
  setUniformItemSizes(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SetMultipleSelection(true);
  ApplyColumns();
}

void SeriesListBox::Fill(const SeriesList& list) {
  const QSignalBlocker quiet(this);
  clear();
  for (const std::string& name : list.names) addItem(Q(name));
  SetSelection(list.selected);
}

void SeriesListBox::SetMultipleSelection(bool multiple) {
  setSelectionMode(multiple ? QAbstractItemView::MultiSelection
                            : QAbstractItemView::SingleSelection);
}

void SeriesListBox::SetSelection(const std::vector<bool>& selected) {
  const QSignalBlocker quiet(this);
  clearSelection();
  for (int i = 0; i < count() && i < static_cast<int>(selected.size()); ++i)
    if (selected[static_cast<std::size_t>(i)]) item(i)->setSelected(true);
}

std::vector<bool> SeriesListBox::Selection() const {
  std::vector<bool> selected(static_cast<std::size_t>(count()), false);
  for (int i = 0; i < count(); ++i) selected[static_cast<std::size_t>(i)] = item(i)->isSelected();
  return selected;
}

void SeriesListBox::SetColumns(int columns) {
  columns_ = std::max(1, columns);
  ApplyColumns();
}

void SeriesListBox::resizeEvent(QResizeEvent* event) {
  QListWidget::resizeEvent(event);
  ApplyColumns();
}

void SeriesListBox::ApplyColumns() {
  setGridSize(QSize(std::max(1, viewport()->width() / columns_), kItemHeight));
}

}  // namespace kvsorv
