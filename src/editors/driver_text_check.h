#pragma once
// Reading the driver editor's text back before it is saved: finds the first line that the
// driver reader would not read back as written, one record per line.

#include <optional>
#include <string>
#include <string_view>

namespace kvsorv {

struct DriverTextFault {
  enum class Kind {
    kNotANumber,     // the reader stops at this token
    kTooFewNumbers,  // the record takes its missing numbers from later lines, or 0 at the end
    kDataAfterEnd,   // a record of zeros ends the data: the lines after it are not read
  };
  Kind kind = Kind::kNotANumber;
  int line = 0;       // line of the text, from 1
  std::string token;  // the token that is not a number, or the last number of a short record
  int numbers = 0;    // numbers on a short record's line
  friend bool operator==(const DriverTextFault&, const DriverTextFault&) = default;
};

// Reads the text as the driver reader reads a file (the first two lines skipped, numbers
// separated by characters with codes up to 32, at most 64 characters each, what follows a
// record's last number on its line ignored) and checks that every line that is not blank
// holds a whole record of a time and `count` values. Returns the first fault.
std::optional<DriverTextFault> CheckDriverText(std::string_view text, int count);

// The warning that names the fault's line and token.
std::string DriverTextFaultMessage(const DriverTextFault& fault, int count);

}  // namespace kvsorv
