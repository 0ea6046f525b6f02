#pragma once
// What the progress, trouble and about windows show, filled when they are shown.

#include <string>

namespace kvsorv {

inline constexpr const char* kAboutCaption = "About KVS ORV";
inline constexpr const char* kAboutMaker = "Kestrin";
inline constexpr const char* kTroubleCaption = "FmTrouble";
inline constexpr const char* kTroubleText =
    "Having trouble \nparameterizing?\nClick the icon on the left.";
inline constexpr const char* kTroubleIconMessage = "Take a break, go get a beer.";

// The about window's contact text: its first line and the maker's contact lines.
std::string AboutContactText();

struct ProgressWindowTexts {
  std::string caption;  // the model's name and " run progress."
  std::string begin;    // StartTime, general form with up to 15 significant digits
  std::string end;      // StopTime, likewise
};

// The progress window's texts from ModelDef and RunSettings.
ProgressWindowTexts ProgressTexts();

struct AboutWindowTexts {
  std::string model;    // ModelDef.modelname
  std::string version;  // "Version " and ModelDef.versionname
};

// The about (and trouble) window's labels from ModelDef.
AboutWindowTexts AboutTexts();

}  // namespace kvsorv
