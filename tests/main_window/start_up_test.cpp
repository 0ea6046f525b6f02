// What the main window's fields take from the desktop program's command line.

#include <gtest/gtest.h>

#include <string>

#include "main_window/start_up.h"

namespace kvsorv {
namespace {

struct FieldCase {
  MainField field;
  std::string text;
  bool fits;
};

TEST(FieldTextRefusalTest, TimeFieldsTakeWhatTheirMasksAllow) {
  const FieldCase cases[] = {
      {.field = MainField::kStartTime, .text = "0", .fits = true},
      {.field = MainField::kStartTime, .text = "99999", .fits = true},
      {.field = MainField::kStartTime, .text = "00042", .fits = true},
      {.field = MainField::kStartTime, .text = "", .fits = false},
      {.field = MainField::kStartTime, .text = "-5", .fits = false},
      {.field = MainField::kStartTime, .text = "+5", .fits = false},
      {.field = MainField::kStartTime, .text = " 5", .fits = false},
      {.field = MainField::kStartTime, .text = "1.5", .fits = false},
      {.field = MainField::kStartTime, .text = "100000", .fits = false},
      {.field = MainField::kStopTime, .text = "1e3", .fits = false},
      {.field = MainField::kStopTime, .text = "\xd9\xa3", .fits = false},  // a digit, not ASCII
      {.field = MainField::kTimeStep, .text = "", .fits = true},
      {.field = MainField::kTimeStep, .text = "1e-3x", .fits = true},
      {.field = MainField::kTimeStep,
       .text = "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9",
       .fits = true},  // five accented letters, ten bytes
      {.field = MainField::kTimeStep, .text = "0.0001", .fits = false},
      {.field = MainField::kTimeStep,
       .text = "\xf0\x9f\x8c\xb3\xf0\x9f\x8c\xb3\xf0\x9f\x8c\xb3",
       .fits = false},  // three trees beyond the basic plane: six UTF-16 units
      {.field = MainField::kParamBox, .text = std::string(300, 'x'), .fits = true},
  };
  for (const FieldCase& c : cases) {
    const auto refusal = FieldTextRefusal(c.field, c.text);
    EXPECT_EQ(!refusal.has_value(), c.fits) << "'" << c.text << "'";
    if (refusal) {
      EXPECT_EQ(refusal->find("'" + c.text + "'"), 0u) << *refusal;
    }
  }
}

}  // namespace
}  // namespace kvsorv
