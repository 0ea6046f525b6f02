#pragma once
// Stands in for a window that this version of the program does not have yet: it exists
// under the window's name, and showing it says so and returns Cancel.

#include <QDialog>
#include <string_view>

namespace kvsorv {

class TPendingWindow : public QDialog {
  Q_OBJECT
 public:
  TPendingWindow(std::string_view windowName, const QString& title, QWidget* parent = nullptr);
};

}  // namespace kvsorv
