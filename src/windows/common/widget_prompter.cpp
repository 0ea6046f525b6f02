#include "windows/common/widget_prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSortFilterProxyModel>

#include "windows/common/qt_text.h"

namespace kvsorv {

namespace {

QWidget* DialogParent() {
  return QApplication::activeWindow();
}

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::kError:
      return QMessageBox::Critical;
    case MessageKind::kWarning:
      return QMessageBox::Warning;
    case MessageKind::kInformation:
      return QMessageBox::Information;
    case MessageKind::kConfirmation:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk:
      return QMessageBox::Ok;
    case MessageButtons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

// The answer for a closed box: the button pressed, or for a box closed otherwise the
// button that stands for declining.
Answer AnswerOf(int button, MessageButtons buttons) {
  switch (button) {
    case QMessageBox::Ok:
      return Answer::kOk;
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    case QMessageBox::Cancel:
      return Answer::kCancel;
    default:
      break;
  }
  switch (buttons) {
    case MessageButtons::kOk:
      return Answer::kOk;
    case MessageButtons::kYesNo:
      return Answer::kNo;
    default:
      return Answer::kCancel;
  }
}

// Lists directories and the files that may be written, hiding read-only files.
class WritableFilesOnly : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files == nullptr) return true;
    const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
    return info.isDir() || info.isWritable();
  }
};

bool Ask(QWidget* parent, const QString& title, const QString& text) {
  return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

void Refuse(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::warning(parent, title, text);
}

std::optional<std::string> RunFileDialog(const FileDialogRequest& request, bool save) {
  QWidget* parent = DialogParent();
  QFileDialog dialog(parent, Q(request.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilters(NameFilters(request.filter));
  dialog.setDefaultSuffix(Q(request.defaultExtension));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  if (request.hideReadOnly) dialog.setProxyModel(new WritableFilesOnly(&dialog));
  if (!request.initialName.empty()) {
    const QFileInfo initial(Q(request.initialName));
    if (initial.absoluteDir().exists()) dialog.setDirectory(initial.absolutePath());
    dialog.selectFile(initial.fileName());
  }

  const QString title = Q(request.title);
  while (dialog.exec() == QDialog::Accepted) {
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) continue;
    const QString name = chosen.front();
    const QFileInfo info(name);
    if (request.pathMustExist && !info.absoluteDir().exists()) {
      Refuse(parent, title, name + "\nThe path does not exist.\nCheck the path and try again.");
      continue;
    }
    if (request.noReadOnlyReturn && info.exists() && !info.isWritable()) {
      Refuse(parent, title, name + "\nThe file is read-only.\nChoose another name.");
      continue;
    }
    if (request.createPrompt && !info.exists() &&
        !Ask(parent, title, name + "\nThis file does not exist.\nCreate the file?")) {
      continue;
    }
    return S(name);
  }
  return std::nullopt;
}

}  // namespace

QStringList NameFilters(const std::string& filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    description.remove(QRegularExpression(R"(\s*\([^)]*\)\s*$)"));
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& p : patterns) {
      p = p.trimmed();
      if (p == "*.*") p = "*";
    }
    filters << description + " (" + patterns.join(' ') + ")";
  }
  return filters;
}

Answer WidgetPrompter::Message(MessageKind kind, MessageButtons buttons, const std::string& text) {
  QMessageBox box(IconOf(kind), MessageKindName(kind), Q(text), ButtonsOf(buttons), DialogParent());
  return AnswerOf(box.exec(), buttons);
}

std::optional<std::string> WidgetPrompter::Input(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& initial) {
  bool ok = false;
  const QString text = QInputDialog::getText(DialogParent(), Q(caption), Q(prompt),
                                             QLineEdit::Normal, Q(initial), &ok);
  if (!ok) return std::nullopt;
  return S(text);
}

std::optional<std::string> WidgetPrompter::OpenFile(const FileDialogRequest& request) {
  return RunFileDialog(request, false);
}

std::optional<std::string> WidgetPrompter::SaveFile(const FileDialogRequest& request) {
  return RunFileDialog(request, true);
}

void WidgetPrompter::Beep() {
  QApplication::beep();
}

}  // namespace kvsorv
