#pragma once
// The desktop program's windows created as at start-up, on a fresh working directory with the
// example site, with a scripted prompter in place of every box and dialog.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QRect>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "program/run_modes.h"
#include "program/run_settings.h"
#include "support/model_fixture.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "windows/main_window/application_windows.h"
#include "windows/main_window/main_form.h"

namespace kvsorv::testing {

class GuiTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    Start("kvsorv");
  }
  void TearDown() override {
    for (const QPointer<QTimer>& t : modalWatchers_) delete t.data();
    windows.reset();
    ModelTest::TearDown();
  }

  // Creates every window as the program does when started under that name.
  void Start(const std::string& executablePath) {
    windows.reset();
    windows = std::make_unique<ApplicationWindows>(executablePath);
    form = &windows->MainForm();
    form->show();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
  }

  std::string Example(const std::string& name) { return dir.CopyExample(name); }

  // No two of the controls overlap in their window.
  static void ExpectNoOverlap(QWidget* window, const std::vector<const char*>& names) {
    std::vector<QRect> areas;
    for (const char* name : names) {
      QWidget* control = Find(*window, name);
      areas.emplace_back(control->mapTo(window, QPoint()), control->size());
      for (std::size_t i = 0; i + 1 < areas.size(); ++i)
        EXPECT_FALSE(areas[i].intersects(areas.back())) << names[i] << " and " << name;
    }
  }

  // A window's control by its object name (a test failure when there is none).
  template <typename T = QWidget>
  static T* Find(const QObject& window, const char* name) {
    T* control = window.findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  // Types into a field as the user does and leaves it with Tab.
  static void Type(QLineEdit* field, const std::string& text) {
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    QTest::keyClicks(field, QString::fromStdString(text));
    QTest::keyClick(field, Qt::Key_Tab);
  }

  // The example site typed into the three file fields: ready to run from 0 to 2.
  void ChooseExampleSite() {
    Example("cell1b.drr");
    Type(Find<QLineEdit>(*form, "ParamBox"), Example("cell1.par"));
    Type(Find<QLineEdit>(*form, "DriverBox"), Example("cell1.drr"));
    Type(Find<QLineEdit>(*form, "OutputBox"), dir.File("cell1.out"));
  }

  // Calls `inspect` with the next modal window once it shows, then closes that window if
  // `inspect` left it open. Gives up after a few seconds, and at the end of the test, so a
  // missing window fails the test instead of hanging it.
  void OnNextModal(std::function<void(QWidget*)> inspect) {
    auto* timer = new QTimer;
    modalWatchers_.emplace_back(timer);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, inspect] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr && ++*tries < 500) return;
      timer->stop();
      timer->deleteLater();
      if (modal == nullptr) return;
      // Keys and focus act in the active window; a busy machine may not have made the
      // modal window active yet on the offscreen platform.
      QApplication::setActiveWindow(modal);
      EXPECT_TRUE(QTest::qWaitForWindowActive(modal));
      inspect(modal);
      if (modal->isVisible()) modal->close();
    });
    timer->start(10);
  }

  TempWorkDir dir;
  ScriptedPrompter prompter;
  std::unique_ptr<ApplicationWindows> windows;
  TMainForm* form = nullptr;

 private:
  std::vector<QPointer<QTimer>> modalWatchers_;
};

}  // namespace kvsorv::testing
