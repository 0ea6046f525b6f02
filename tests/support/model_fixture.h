#pragma once
// Shared test set-up: the catalogue built once, the global tables reset around each test,
// and the example forest's starting values as a realistic model state.

#include <gtest/gtest.h>

#include <string_view>

#include "model/records.h"

namespace kvsorv::testing {

// Drivers, states and parameters of a temperate deciduous forest (the example site's
// starting point), written into the given tables by symbol.
void FillExampleDrivers(drivearray& drivers);
void FillExampleStates(statearray& states);
void FillExampleParams(paramarray& params);

// Value of the quantity with that symbol in a table (test failure when unknown).
double& StateValue(statearray& states, std::string_view symbol);
double& DriverValue(drivearray& drivers, std::string_view symbol);
double& ParamValue(paramarray& params, std::string_view symbol);
double ProcessValue(const processarray& processes, std::string_view symbol);

// Resets the program's shared state (ResetProgramState) before and after each test, so tests
// never see each other's globals.
class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Fills the global Drivers, States and Params with the example forest.
  void LoadExample();
};

}  // namespace kvsorv::testing
