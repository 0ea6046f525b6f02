#include "windows/common/pending_window.h"
#include "windows/common/qt_text.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kvsorv {

TPendingWindow::TPendingWindow(std::string_view windowName, const QString& title, QWidget* parent)
    : QDialog(parent) {
  setObjectName(Q(windowName));
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(title + " is not available in this version yet.", this);
  text->setObjectName("LblPending");
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace kvsorv
