#pragma once
// The series dialog (TFmSeries): chooses the chart's independent series, or views and changes
// its dependent series, for the axis named by the display session's AxisIsX. Its rules live
// in display/series_choice.h.

#include <QDialog>

class QPushButton;

namespace kvsorv {

class OutputDisplaySession;
class SeriesListBox;

class TFmSeries : public QDialog {
  Q_OBJECT
 public:
  explicit TFmSeries(QWidget* parent = nullptr);

  // Shows the dialog modally, centred over its owner inside the screen, wide enough for its
  // longest name; OK hands the selection to the session.
  // Returns whether it was closed with OK.
  bool Open(OutputDisplaySession& session);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Wide enough that no name is cut, tall enough for every row (within the screen).
  void FitToNames();
  void FormResize();

  SeriesListBox* LbxChooseSeries;
  QPushButton* BtnClearSelection;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
};

}  // namespace kvsorv
