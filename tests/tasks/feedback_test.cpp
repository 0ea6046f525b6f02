// The feedback of a long task: progress that never goes back and stays within its total, a
// cancel seen by another thread's loop, and a wait that ends with Finish from another thread.

#include "tasks/feedback.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kvsorv {
namespace {

constexpr double kTolerance = 1e-12;

struct Report {
  std::size_t done = 0;
  std::size_t total = 0;
  std::optional<double> fraction{};  // SetFraction instead of SetProgress
};

struct ProgressCase {
  const char* name;
  std::vector<Report> reports;
  FeedbackProgress expected;
  std::size_t calls = 0;  // of the listener
};

TEST(Feedback, Reports_AreClampedAndNeverGoBack) {
  const ProgressCase cases[] = {
      {.name = "counts",
       .reports = {{.done = 1, .total = 4}, {.done = 3, .total = 4}},
       .expected = {.done = 3, .total = 4, .fraction = 0.75},
       .calls = 2},
      {.name = "done beyond the total",
       .reports = {{.done = 7, .total = 5}},
       .expected = {.done = 5, .total = 5, .fraction = 1.0},
       .calls = 1},
      {.name = "a report going back",
       .reports = {{.done = 3, .total = 10}, {.done = 2, .total = 10}},
       .expected = {.done = 3, .total = 10, .fraction = 0.3},
       .calls = 1},
      {.name = "the same report again",
       .reports = {{.done = 3, .total = 10}, {.done = 3, .total = 10}},
       .expected = {.done = 3, .total = 10, .fraction = 0.3},
       .calls = 1},
      {.name = "nothing to do yet",
       .reports = {{.done = 0, .total = 100}},
       .expected = {.done = 0, .total = 100, .fraction = 0.0},
       .calls = 1},
      {.name = "fractions beyond 1, below 0 and NaN",
       .reports = {{.fraction = 1.5}, {.fraction = -1.0}, {.fraction = std::nan("")}},
       .expected = {.fraction = 1.0},
       .calls = 1},
  };
  for (const ProgressCase& c : cases) {
    Feedback feedback;
    std::vector<FeedbackProgress> heard;
    // The listener may read the feedback: it is called outside its lock.
    feedback.OnProgress([&](const FeedbackProgress&) { heard.push_back(feedback.Progress()); });
    for (const Report& r : c.reports) {
      if (r.fraction)
        feedback.SetFraction(*r.fraction);
      else
        feedback.SetProgress(r.done, r.total);
    }
    const FeedbackProgress p = feedback.Progress();
    EXPECT_EQ(p.done, c.expected.done) << c.name;
    EXPECT_EQ(p.total, c.expected.total) << c.name;
    EXPECT_NEAR(p.fraction, c.expected.fraction, kTolerance) << c.name;
    EXPECT_EQ(heard.size(), c.calls) << c.name;
    for (std::size_t i = 1; i < heard.size(); ++i)
      EXPECT_GE(heard[i].fraction, heard[i - 1].fraction) << c.name;
  }
}

TEST(Feedback, MessageChanges_ReachTheListenerOnceEach) {
  Feedback feedback;
  std::vector<std::string> heard;
  feedback.OnMessage([&](const std::string& m) { heard.push_back(m); });
  for (const char* m : {"cell 1", "cell 1", "cell 2"}) feedback.SetMessage(m);
  EXPECT_EQ(heard, (std::vector<std::string>{"cell 1", "cell 2"}));
  EXPECT_EQ(feedback.Message(), "cell 2");
}

TEST(Feedback, CancelOnOneThread_EndsALoopPollingOnAnother) {
  Feedback feedback;
  std::thread task([&] {
    while (!feedback.IsCanceled()) std::this_thread::yield();  // a step per pass
  });
  feedback.Cancel();
  task.join();  // returns only once the loop has seen the cancel
  EXPECT_TRUE(feedback.IsCanceled());
}

TEST(Feedback, WaitFinished_ReturnsOnceAnotherThreadFinishes) {
  Feedback feedback;
  EXPECT_FALSE(feedback.IsFinished());
  std::thread task([&] {
    feedback.SetProgress(3, 3);
    feedback.Finish();
  });
  feedback.WaitFinished();
  EXPECT_TRUE(feedback.IsFinished());
  EXPECT_EQ(feedback.Progress().done, 3u);  // what the task reported before finishing
  task.join();
  feedback.WaitFinished();  // finished: at once
}

}  // namespace
}  // namespace kvsorv
