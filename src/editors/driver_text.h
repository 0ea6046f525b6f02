#pragma once
// The driver file as the driver editor shows it: fixed-width text, every field the text of
// one value left-justified in 21 characters; and the writing of such a text as a driver file.

#include <cstddef>
#include <string>
#include <string_view>

#include "files/driver_series.h"
#include "model/records.h"

namespace kvsorv {

inline constexpr std::size_t kDriverTextFieldWidth = 21;

// A header field: the text cut to 21 characters and padded to 21 ("%-21.21s").
std::string DriverTextHeaderField(std::string_view text);

// A number field: the value's text for editing (general format, up to 15 significant
// digits, more when needed to read back the same number) padded to 21 characters. A text of
// 21 characters or more is kept whole and followed by one blank, so that it still reads
// back as the same number.
std::string DriverTextNumberField(double value);

// The whole text, lines separated by "\n": "Time" and the names of drivers 1..count, the
// time unit and their units, then one line per record of the series (its time, then its
// values).
std::string DriverText(const drivearray& drivers, int count, std::string_view timeUnit,
                       const DriverSeries& series);

// Writes the text to the file line by line as it stands, each line ended by CR LF (a final
// line break ends the last line; it adds no empty line). A regular file is replaced only
// once the whole text is written. Failures: EInOutError kFileAccess; any previous file then
// stays as it was.
void WriteDriverText(const std::string& fileName, std::string_view text);

}  // namespace kvsorv
