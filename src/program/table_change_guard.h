#pragma once
// Announces a change of the global tables when a scope ends, however it ends: values stored
// before a failure are changes too.

#include "program/change_notifier.h"

namespace kvsorv {

class TableChangeGuard {
 public:
  explicit TableChangeGuard(const TableChange& change) : change_(change) {}
  ~TableChangeGuard() { TableChanges().Notify(change_); }
  TableChangeGuard(const TableChangeGuard&) = delete;
  TableChangeGuard& operator=(const TableChangeGuard&) = delete;

 private:
  TableChange change_;
};

}  // namespace kvsorv
