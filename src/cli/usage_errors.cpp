#include "usage_errors.h"

#include <sstream>

namespace cli {
namespace {

// The first word of the parser's text that names an option ("--locale") or a placeholder.
std::string NamedOption(const std::string& what) {
  std::istringstream words(what);
  std::string word;
  while (words >> word) {
    while (!word.empty() && (word.back() == ':' || word.back() == ',')) word.pop_back();
    if (word.size() > 1 && word[0] == '-') return word;
  }
  return {};
}

std::string Joined(const std::vector<std::string>& items) {
  std::string out;
  for (const auto& item : items) out += (out.empty() ? "„" : " „") + item + "“";
  return out;
}

std::string Explain(const std::string& errorName, const std::string& what,
                    const std::vector<std::string>& unmatched) {
  if (errorName == "RequiredError") {
    if (what.find("subcommand") != std::string::npos) {
      if (!unmatched.empty()) return "Unbekannter Befehl " + Joined({unmatched.front()}) + ".";
      return "Es fehlt der Befehl (html, json, csv, check, find, duplicates oder list).";
    }
    const auto pos = what.find(" is required");
    if (pos != std::string::npos) return "Es fehlt die Angabe " + what.substr(0, pos) + ".";
    return "Es fehlt eine Pflichtangabe.";
  }
  if (errorName == "ExtrasError") {
    if (!unmatched.empty() && unmatched.front().size() > 1 && unmatched.front()[0] == '-')
      return "Unbekannte Option " + Joined({unmatched.front()}) + ".";
    if (!unmatched.empty()) return "Unerwartete Angabe: " + Joined(unmatched) + ".";
    return "Unerwartete Angaben auf der Befehlszeile.";
  }
  const std::string option = NamedOption(what);
  if (errorName == "ExcludesError") {
    const auto pos = what.find(" excludes ");
    if (!option.empty() && pos != std::string::npos)
      return "Die Optionen " + option + " und " + what.substr(pos + 10) + " schließen einander aus.";
  }
  if (errorName == "ArgumentMismatch") {
    if (!option.empty()) return "Die Option " + option + " braucht genau einen Wert.";
    return "Falsche Anzahl von Werten.";
  }
  if (!option.empty()) return "Ungültige Angabe bei " + option + ".";
  return "Ungültiger Aufruf.";
}

}  // namespace

std::string UsageErrorText(const std::string& errorName, const std::string& what,
                           const std::vector<std::string>& unmatched) {
  return "quandel-cli: " + Explain(errorName, what, unmatched) + "\nHilfe: quandel-cli --help\n";
}

}  // namespace cli
