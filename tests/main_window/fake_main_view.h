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
  void ShowProgressWindow() override { Log("progress shown"); }
  void SetRunProgress(int percent) override { progress.push_back(percent); }
  void HideProgressWindow() override { Log("progress hidden"); }
  void ShowTroubleWindow(const std::string& message) override { Log("trouble: " + message); }
  void ShowAboutWindow() override { Log("about"); }
  bool ShowParameterEditor() override { return Modal("parameter editor"); }
  void ShowStateGrid() override { Log("state grid"); }
  bool ShowDriverEditor() override { return Modal("driver editor"); }
  bool ShowReloadDialog() override { return Modal("reload dialog"); }
  void ShowSteadyStateWindow() override { Log("steady state"); }
  void ShowOutputDisplay(bool tableMode) override { Log(tableMode ? "table" : "chart"); }

  std::map<MainField, std::string> text;
  std::map<MainField, bool> edited;
  std::map<MainCommand, bool> enabled;
  std::string caption;
  bool paramBoxFocused = false;
  bool windowEnabled = true;
  bool closed = false;
  bool modalAnswer = false;  // what the modal editors and dialogs return (true: OK)
  std::vector<std::string> log;
  std::vector<int> progress;

 private:
  void Log(const std::string& event) { log.push_back(event); }
  bool Modal(const std::string& name) {
    Log(name);
    return modalAnswer;
  }
};

}  // namespace kvsorv::testing
