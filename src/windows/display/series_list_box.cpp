#include "windows/display/series_list_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "windows/common/qt_text.h"

namespace kvsorv {

namespace {

constexpr int kItemHeight = 16;
// Room around an item's text: its margins and the gap to the next column.
constexpr int kItemPadding = 8;

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
  names_ = SeriesList{.names = list.names, .selected = {}};
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
  ShowFirstSelected();
}

void SeriesListBox::ShowFirstSelected() {
  for (int i = 0; i < count(); ++i) {
    if (!item(i)->isSelected()) continue;
    scrollToItem(item(i));
    return;
  }
}

void SeriesListBox::showEvent(QShowEvent* event) {
  QListWidget::showEvent(event);
  // Once the items are laid out at the list's shown size.
  QTimer::singleShot(0, this, &SeriesListBox::ShowFirstSelected);
}

std::vector<bool> SeriesListBox::Selection() const {
  std::vector<bool> selected(static_cast<std::size_t>(count()), false);
  for (int i = 0; i < count(); ++i) selected[static_cast<std::size_t>(i)] = item(i)->isSelected();
  return selected;
}

int SeriesListBox::WidestItemWidth() const {
  int widest = 0;
  for (int i = 0; i < count(); ++i)
    widest = std::max(widest, fontMetrics().horizontalAdvance(item(i)->text()));
  return widest + kItemPadding;
}

int SeriesListBox::ItemHeight() {
  return kItemHeight;
}

void SeriesListBox::SetColumns(int columns) {
  columns_ = std::max(1, columns);
  ApplyColumns();
}

void SeriesListBox::resizeEvent(QResizeEvent* event) {
  QListWidget::resizeEvent(event);
  ApplyColumns();
}

bool SeriesListBox::Searching() const {
  return sinceTyped_.isValid() && sinceTyped_.elapsed() < QApplication::keyboardInputInterval();
}

void SeriesListBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && Searching()) {
    keyboardSearch(" ");
    return;
  }
  QListWidget::keyPressEvent(event);
}

void SeriesListBox::keyboardSearch(const QString& text) {
  if (!Searching()) {
    search_.clear();
    if (text.trimmed().isEmpty()) return;  // a blank starts no name (Space has toggled)
  }
  search_ += text;
  sinceTyped_.start();
  const int found = names_.FindTyped(S(search_));
  if (found < 0 || found >= count()) return;
  setCurrentItem(item(found), QItemSelectionModel::NoUpdate);
  scrollToItem(item(found));
}

void SeriesListBox::ApplyColumns() {
  setGridSize(QSize(std::max(1, viewport()->width() / columns_), kItemHeight));
}

}  // namespace kvsorv
