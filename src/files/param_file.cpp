#include "files/param_file.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "files/number_text.h"
#include "files/text_reader.h"
#include "files/text_writer.h"
#include "model/catalogue.h"
#include "model/checked_math.h"

namespace kvsorv {

namespace {

constexpr std::size_t kNameWidth = 20;
constexpr std::size_t kModelFieldWidth = 21;  // model name field and its separating space
// The header is read up to this many characters; a version is never near as long.
constexpr std::size_t kHeaderKept = 1024;

void CheckCount(int count, int capacity, const char* what) {
  if (count < 0 || count > capacity)
    throw std::out_of_range(std::string("parameter file: ") + what + " count out of range");
}

std::string WithoutSpaces(std::string_view text) {
  std::string result;
  for (const char c : text)
    if (c != ' ') result += c;
  return result;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

// The format version the header line declares: the text after the model-name field up to
// its first space when that field names this model, "Unknown" otherwise.
std::string HeaderVersion(std::string_view header) {
  const std::string_view modelField = header.substr(0, kModelFieldWidth);
  if (!EqualIgnoringCase(WithoutSpaces(modelField), WithoutSpaces(Catalogue().def.modelname)))
    return "Unknown";
  const std::string_view rest =
      header.size() > kModelFieldWidth ? header.substr(kModelFieldWidth) : std::string_view();
  return std::string(rest.substr(0, rest.find(' ')));
}

// One value line: the name field (ignored), the number, the units field (ignored), the rest
// of the line.
double ReadValueLine(TextReader& file) {
  file.SkipChars(kNameWidth);
  const double value = file.ReadNumber();
  file.SkipChars(kNameWidth);
  file.SkipLine();
  return value;
}

void AppendValueLine(std::string& text, std::string_view name, double value,
                     std::string_view units) {
  text += LeftField(name, kNameWidth);
  text += FormatParamNumber(fp::Finite(value));
  text += ' ';
  text += LeftField(units, kNameWidth);
  text += "\r\n";
}

}  // namespace

bool ReadParamValues(const std::string& fileName, int paramCount, paramarray& params,
                     int stateCount, statearray& states, double& residual) {
  CheckCount(paramCount, paramarray::kCapacity, "parameter");
  CheckCount(stateCount, statearray::kCapacity, "state");
  TextReader file(fileName);
  if (HeaderVersion(file.ReadLine(kHeaderKept)) != Catalogue().def.versionname) return false;
  for (int i = 1; i <= stateCount; ++i) states[i].value = ReadValueLine(file);
  for (int i = 1; i <= paramCount; ++i) params[i].value = ReadValueLine(file);
  file.SkipChars(kNameWidth);
  const double readResidual = file.ReadNumber();
  file.SkipLine();
  residual = readResidual;
  return true;
}

void WriteParamFile(const std::string& fileName, int paramCount, const paramarray& params,
                    double residual, const statearray& states, int stateCount) {
  CheckCount(paramCount, paramarray::kCapacity, "parameter");
  CheckCount(stateCount, statearray::kCapacity, "state");

  std::string text = LeftField(Catalogue().def.modelname, kNameWidth) + ' ' +
                     LeftField(Catalogue().def.versionname, kNameWidth) + "\r\n";
  for (int i = 1; i <= stateCount; ++i)
    AppendValueLine(text, states[i].name, states[i].value, states[i].units);
  for (int i = 1; i <= paramCount; ++i)
    AppendValueLine(text, params[i].name, params[i].value, params[i].units);
  text += LeftField("Total Residual ", kNameWidth);
  text += FormatParamNumber(fp::Finite(residual));
  text += "\r\n";

  TextWriter writer(fileName);
  writer.Write(text);
  writer.Close();
}

}  // namespace kvsorv
