#pragma once
// The error kinds of the system. Every kind carries its message text; the tree decides
// which handler catches what (a math-error handler also catches the insoluble C:N error,
// a division-by-zero handler catches only division by zero).

#include <stdexcept>
#include <string>

namespace kvsorv {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

 private:
  std::string message_;
};

// Failures during a run.
class ERunTimeError : public Exception {
  using Exception::Exception;
};
class EIntegratorError : public ERunTimeError {
  using ERunTimeError::ERunTimeError;
};
class ETooManySteps : public EIntegratorError {
 public:
  ETooManySteps() : EIntegratorError("Too many steps in routine ODEIntegrator") {}
};
class EStepTooSmall : public EIntegratorError {
  using EIntegratorError::EIntegratorError;
};

inline constexpr const char* kRunCanceledMessage = "The run was stopped before it finished.";

// A run stopped on request (its feedback was canceled) before its last step.
class ERunCanceled : public ERunTimeError {
 public:
  ERunCanceled() : ERunTimeError(kRunCanceledMessage) {}
};

// Floating-point faults and the steady-state solver's own checks.
class EMathError : public Exception {
  using Exception::Exception;
};
class EInvalidOp : public EMathError {
 public:
  EInvalidOp() : EMathError("Invalid floating point operation") {}
};
class EZeroDivide : public EMathError {
 public:
  EZeroDivide() : EMathError("Floating point division by zero") {}
};
class EOverflow : public EMathError {
 public:
  EOverflow() : EMathError("Floating point overflow") {}
};

inline constexpr const char* kInsolubleCNMessage =
    "Insoluble C:N is less than target insoluble C:N. ";

class ECalculateError : public EMathError {
 public:
  ECalculateError() : EMathError(kInsolubleCNMessage) {}

 protected:
  explicit ECalculateError(std::string message) : EMathError(std::move(message)) {}
};
class ECalcInitialProc : public ECalculateError {
 public:
  explicit ECalcInitialProc(const std::string& detail)
      : ECalculateError(
            "Unable to calculate initial process values using entered data. Parameter, state "
            "variables, and processes have been set to their previous values. Additional Info: " +
            detail) {}
};
class ECalcNewValue : public ECalculateError {
 public:
  explicit ECalcNewValue(const std::string& detail)
      : ECalculateError(
            "Error calculating new parameter or state variable. New values of parameters and "
            "states but old values of the processes are now shown in the window. Additional "
            "Info: " +
            detail) {}
};
class ECalcNewProcess : public ECalculateError {
 public:
  explicit ECalcNewProcess(const std::string& detail)
      : ECalculateError(
            "Error calculating new processes. New values of parameters, states and processes "
            "(except NPPf, NPPw, NPPr, and NPPt) are now shown in the window. Additional Info: " +
            detail) {}
};

// Output-step rule violations.
class EStepError : public Exception {
  using Exception::Exception;
};
class EOutputStepTooSmall : public EStepError {
 public:
  EOutputStepTooSmall() : EStepError("Output time step is less than simulation time step.") {}
};
class EOutputStepTooLarge : public EStepError {
 public:
  EOutputStepTooLarge() : EStepError("Output time step is greater than run length.") {}
};
class EOutputStepNotMultiple : public EStepError {
 public:
  EOutputStepNotMultiple()
      : EStepError("Output time step must be a multiple of simulation time step.") {}
};

// Input/output failures: a file that cannot be opened, created, read or written, and text
// that is not a number where a number is expected. The message names the file and the fault.
class EInOutError : public Exception {
 public:
  enum class Kind { kFileAccess, kInvalidNumericInput };
  EInOutError(Kind kind, std::string message) : Exception(std::move(message)), kind_(kind) {}
  Kind GetKind() const noexcept { return kind_; }

 private:
  Kind kind_;
};

inline constexpr const char* kInvalidNumericInputMessage = "Invalid numeric input";

// A text that does not convert to a number.
class EConvertError : public Exception {
 public:
  explicit EConvertError(const std::string& text)
      : Exception("'" + text + "' is not a valid floating point value") {}
  // A text that does not convert to a whole number.
  static EConvertError NotAnInteger(const std::string& text) {
    return EConvertError(Exception("'" + text + "' is not a valid integer value"));
  }
  // The same error with a line before its message that says what the text should have been.
  EConvertError WithLineBefore(const std::string& line) const {
    return EConvertError(Exception(line + "\n" + Message()));
  }

 private:
  explicit EConvertError(Exception e) : Exception(std::move(e)) {}
};

}  // namespace kvsorv
