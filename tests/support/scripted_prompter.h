#pragma once
// A prompter for tests: records every message and dialog request and returns queued
// answers (the first button when the queue is empty). Installs itself for its lifetime.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "program/prompter.h"

namespace kvsorv::testing {

class ScriptedPrompter : public Prompter {
 public:
  struct Shown {
    MessageKind kind;
    MessageButtons buttons;
    std::string text;
  };

  ScriptedPrompter() : previous_(InstallPrompter(this)) {}
  ~ScriptedPrompter() override { InstallPrompter(previous_); }
  ScriptedPrompter(const ScriptedPrompter&) = delete;
  ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

  // Queues answers, consumed in order.
  void QueueAnswer(Answer a) { answers_.push_back(a); }
  void QueueInput(std::optional<std::string> text) { inputs_.push_back(std::move(text)); }
  void QueueFile(std::optional<std::string> name) { files_.push_back(std::move(name)); }

  Answer Message(MessageKind kind, MessageButtons buttons, const std::string& text) override {
    messages.push_back({kind, buttons, text});
    if (!answers_.empty()) {
      const Answer a = answers_.front();
      answers_.pop_front();
      return a;
    }
    return buttons == MessageButtons::kOk || buttons == MessageButtons::kOkCancel ? Answer::kOk
                                                                                  : Answer::kYes;
  }
  std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                   const std::string&) override {
    inputPrompts.push_back(caption + "|" + prompt);
    return Pop(inputs_);
  }
  std::optional<std::string> OpenFile(const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    return Pop(files_);
  }
  std::optional<std::string> SaveFile(const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    return Pop(files_);
  }
  void Beep() override { ++beeps; }

  std::vector<Shown> messages;
  std::vector<std::string> inputPrompts;
  std::vector<FileDialogRequest> fileRequests;
  int beeps = 0;

 private:
  static std::optional<std::string> Pop(std::deque<std::optional<std::string>>& q) {
    if (q.empty()) return std::nullopt;
    auto v = std::move(q.front());
    q.pop_front();
    return v;
  }

  Prompter* previous_;
  std::deque<Answer> answers_;
  std::deque<std::optional<std::string>> inputs_;
  std::deque<std::optional<std::string>> files_;
};

}  // namespace kvsorv::testing
