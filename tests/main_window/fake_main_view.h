#pragma once
// A main window made of plain values: field texts, enabled commands, and a log of the
// windows it was asked to show, with the answers its modal windows give.

#include <map>
#include <string>
#include <vector>

#include "main_window/main_view.h"

namespace kvsorv::testing {

class FakeMainView : public MainView {
 public:
  FakeMainView() {
    text[MainField::kPresentBox] = "0";
    text[MainField::kStartTime] = "0";
    text[MainField::kStopTime] = "2";
    text[MainField::kTimeStep] = "1";
  }

  void SetCaption(const std::string& c) override { caption = c; }
  std::string FieldText(MainField f) const override {
    const auto it = text.find(f);
    return it == text.end() ? std::string() : it->second;
  }
  void SetFieldText(MainField f, const std::string& t) override { text[f] = t; }
  void EnterFieldText(MainField f, const std::string& t) override {
    text[f] = t;
    edited[f] = true;
  }
  bool FieldEdited(MainField f) const override {
    const auto it = edited.find(f);
    return it != edited.end() && it->second;
  }
  void EnableCommand(MainCommand c, bool on) override { enabled[c] = on; }
  bool IsEnabled(MainCommand c) const {
    const auto it = enabled.find(c);
    return it != enabled.end() && it->second;
  }
  bool ParamBoxFocused() const override { return paramBoxFocused; }
  void FocusBackground() override {
    paramBoxFocused = false;
    Log("focus background");
  }
  void SetMainWindowEnabled(bool on) override {
    windowEnabled = on;
    Log(on ? "enabled" : "disabled");
  }
  void CloseMainWindow() override {
    closed = true;
    Log("closed");
  }
  ProgramWindows& Windows() override { return windows; }

  std::map<MainField, std::string> text;
  std::map<MainField, bool> edited;
  std::map<MainCommand, bool> enabled;
  std::string caption;
  bool paramBoxFocused = false;
  bool windowEnabled = true;
  bool closed = false;
  bool modalAnswer = false;        // what the modal editors and dialogs return (true: OK)
  bool ensemblePlanClosed = true;  // what the question about an unsaved plan returns
  std::vector<std::string> log;
  std::vector<int> progress;

 private:
  // The other windows, logging into the same log as the main window.
  class FakeWindows : public ProgramWindows {
   public:
    explicit FakeWindows(FakeMainView& view) : view_(view) {}
    void ShowProgress() override { view_.Log("progress shown"); }
    void SetProgress(int percent) override { view_.progress.push_back(percent); }
    void HideProgress() override { view_.Log("progress hidden"); }
    void ShowTrouble(const std::string& message) override { view_.Log("trouble: " + message); }
    void ShowAbout() override { view_.Log("about"); }
    bool ShowParameterEditor() override { return Modal("parameter editor"); }
    void ShowStateGrid() override { view_.Log("state grid"); }
    bool ShowDriverEditor() override { return Modal("driver editor"); }
    bool ShowReloadDialog() override { return Modal("reload dialog"); }
    void ShowSteadyState() override { view_.Log("steady state"); }
    void ShowOutputDisplay(bool tableMode) override { view_.Log(tableMode ? "table" : "chart"); }
    void ShowEnsemble(std::optional<ensemble::Method> design) override {
      view_.Log(std::string("ensemble") + (design ? std::string(" ") + MethodName(*design) : ""));
    }
    void OpenEnsemblePlan(const std::string& fileName) override {
      view_.Log("ensemble plan " + fileName);
    }
    void ShowCalibration() override { view_.Log("calibration"); }
    bool CloseCalibrationPlan() override { return true; }
    bool CloseEnsemblePlan() override {
      view_.Log("ensemble plan closed");
      return view_.ensemblePlanClosed;
    }

   private:
    bool Modal(const std::string& name) {
      view_.Log(name);
      return view_.modalAnswer;
    }
    FakeMainView& view_;
  };

  void Log(const std::string& event) { log.push_back(event); }

  FakeWindows windows{*this};
};

}  // namespace kvsorv::testing
