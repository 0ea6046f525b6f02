#pragma once
// The ensemble plan's rank correlations as an item model: a row per pair with its two
// parameters and its rank correlation. A row that makes no correlation is tinted and its
// tooltip says why. Edits go to the session.

#include <QAbstractTableModel>

#include "ensemble_window/ensemble_session.h"

namespace kvsorv {

class CorrelationTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit CorrelationTableModel(ensemble::EnsembleSession& session, QObject* parent = nullptr);

  // The session's rows changed as a whole (a plan opened, a row added or removed).
  void Reload();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 signals:
  void edited();

 private:
  ensemble::EnsembleSession& session_;
};

}  // namespace kvsorv
