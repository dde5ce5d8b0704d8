#include "options.h"

// GCC 12 sees a null dereference in CLI11's inlined string splitting that cannot happen.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnull-dereference"
#include <CLI/CLI.hpp>
#pragma GCC diagnostic pop

#include "product.h"
#include "usage_errors.h"

namespace cli {
namespace {

void GermanLabels(CLI::App& app) {
  auto formatter = app.get_formatter();
  formatter->label("Usage", "Aufruf");
  formatter->label("OPTIONS", "OPTIONEN");
  formatter->label("SUBCOMMAND", "BEFEHL");
  formatter->label("SUBCOMMANDS", "BEFEHLE");
  formatter->label("Positionals", "Argumente");
  formatter->label("REQUIRED", "(Pflicht)");
  formatter->column_width(26);
  app.option_defaults()->group("Optionen");
}

// Some errors carry the command's name instead of their kind in get_name().
std::string ErrorKind(const CLI::ParseError& e) {
  if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr) return "RequiredError";
  if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr) return "ExtrasError";
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr) return "ArgumentMismatch";
  return e.get_name();
}

CLI::App* AddCommand(CLI::App& app, const std::string& name, const std::string& description,
                     TInvocation& invocation, TCommand command, bool withOutput) {
  CLI::App* sub = app.add_subcommand(name, description);
  sub->group("Befehle");
  sub->get_help_ptr()->group("Optionen");
  sub->add_option("DATEI", invocation.File, "Die DTAUS-Datei")->required()->type_name("");
  if (withOutput)
    sub->add_option("-o,--ausgabe", invocation.Output,
                    "In diese Datei schreiben statt auf die Standardausgabe")
        ->type_name("AUSGABE");
  sub->add_option("--locale", invocation.Locale,
                  "Regionaleinstellungen: de_DE oder en_US (ohne Angabe: die der Umgebung)")
      ->type_name("NAME");
  sub->callback([&invocation, command] { invocation.Command = command; });
  return sub;
}

// The options every command over files and folders shares; --json when `json` describes it.
CLI::App* AddArchiveCommand(CLI::App& app, const std::string& name, const std::string& description,
                            TInvocation& invocation, TCommand command, const std::string& json) {
  CLI::App* sub = app.add_subcommand(name, description);
  sub->group("Befehle");
  sub->get_help_ptr()->group("Optionen");
  sub->add_option("PFAD", invocation.Paths, "DTAUS-Dateien oder Ordner")->required()->type_name("");
  if (!json.empty()) sub->add_flag("--json", invocation.Json, json);
  sub->add_flag("--verbose", invocation.Verbose, "Auch die übersprungenen Dateien mit ihrem Grund nennen");
  sub->add_option("--jobs", invocation.Jobs,
                  "So viele Dateien gleichzeitig lesen (ohne Angabe: eine je Prozessor, soweit "
                  "der freie Arbeitsspeicher für die größten Dateien reicht)")
      ->type_name("N")
      ->check(CLI::Range(1u, 1024u));
  sub->add_option("--locale", invocation.Locale,
                  "Regionaleinstellungen: de_DE oder en_US (ohne Angabe: die der Umgebung)")
      ->type_name("NAME");
  sub->callback([&invocation, command] { invocation.Command = command; });
  return sub;
}

void AddArchiveCommands(CLI::App& app, TInvocation& invocation) {
  const char* const accounts = "Auch jede Kontonummer gegen das Bankverzeichnis prüfen";
  AddArchiveCommand(app, "check",
                    "Dateien prüfen: Feldprüfungen, Anzahl, Gesamtsumme und Prüfsummen; Ordner mit allen "
                    "DTAUS-Dateien darin",
                    invocation, TCommand::Check, "Je Datei ein JSON-Objekt in einer Zeile ausgeben")
      ->add_flag("--accounts", invocation.Accounts, accounts);

  CLI::App* find =
      AddArchiveCommand(app, "find", "Zahlungen in allen Dateien suchen: Name, Zweck, Konto, Betrag, Datum",
                        invocation, TCommand::Find, "Je Zahlung ein JSON-Objekt in einer Zeile ausgeben");
  find->add_option("--name", invocation.FindName, "Name des Empfängers enthält TEXT")->type_name("TEXT");
  find->add_option("--purpose", invocation.FindPurpose, "Verwendungszweck enthält TEXT")->type_name("TEXT");
  find->add_option("--account", invocation.FindAccount,
                   "Konto des Empfängers, wahlweise mit Bankleitzahl davor")
      ->type_name("[BLZ/]KONTO");
  find->add_option("--amount", invocation.FindAmount, "Betrag von MIN bis MAX (eine Grenze darf fehlen)")
      ->type_name("MIN..MAX");
  find->add_option("--date", invocation.FindDate,
                   "Datum der Datei von FROM bis TO (TT.MM.JJJJ, JJJJ-MM-TT oder JJJJ)")
      ->type_name("FROM..TO");

  AddArchiveCommand(app, "duplicates", "Doppelte Dateien und mehrfach ausgeführte Zahlungen finden",
                    invocation, TCommand::Duplicates, "Je Gruppe ein JSON-Objekt in einer Zeile ausgeben")
      ->add_flag("--loose", invocation.Loose, "Zahlungen ohne den Verwendungszweck vergleichen");

  CLI::App* list =
      AddArchiveCommand(app, "list", "Verzeichnis der DTAUS-Dateien: Art, Datum, Absender, Anzahl, Summe",
                        invocation, TCommand::List, "Je Datei ein JSON-Objekt in einer Zeile ausgeben");
  CLI::Option* csv = list->add_flag("--csv", invocation.Csv, "Als CSV-Tabelle (UTF-8) ausgeben");
  list->get_option("--json")->excludes(csv);
  list->add_flag("--accounts", invocation.Accounts, accounts);

  // sqlite writes no lines, so it has no --json.
  AddArchiveCommand(app, "sqlite",
                    "Dateien und Ordner in eine SQLite-Datenbank aufnehmen (Tabellen dateien, zahlungen, "
                    "befunde); schon aufgenommene Dateien werden übergangen",
                    invocation, TCommand::Sqlite, "")
      ->add_option("-o,--ausgabe", invocation.Output, "Die Datenbank: neu anlegen oder ergänzen")
      ->required()
      ->type_name("DATENBANK");
}

}  // namespace

std::optional<int> ParseCommandLine(int argc, const char* const* argv, TInvocation& invocation,
                                    std::ostream& out, std::ostream& err) {
  CLI::App app("DTAUS-Dateien auf der Befehlszeile: Kontrolliste, Export und Prüfung.", "quandel-cli");
  GermanLabels(app);
  app.set_help_flag("-h,--help", "Diese Hilfe zeigen und beenden");
  app.set_version_flag(
      "--version", std::string(support::ProductName) + " " + support::Version + ", build " + support::Build,
      "Die Version zeigen und beenden");
  app.require_subcommand(1);
  app.footer(
      "Rückgabewert: 0 in Ordnung; 1 Datei oder Ordner nicht lesbar, (check, list, sqlite)\n"
      "Abweichungen oder (duplicates) Doppeltes gefunden;\n"
      "2 falscher Aufruf, Ausgabe nicht schreibbar oder fremde Datenbank.");

  AddCommand(app, "html", "Datenträger-Kontrolliste als HTML-Seite (Windows-1252) schreiben", invocation,
             TCommand::Html, true);
  const char* const banks = "Je Zahlung auch Bank, Ort und Ergebnis der Kontoprüfung";
  const char* const partial = "Von einer beschädigten Datei ausgeben, was vor dem Schaden gelesen wurde";
  for (CLI::App* sub :
       {AddCommand(app, "json", "Die gelesene Datei als JSON-Objekt (UTF-8) ausgeben", invocation,
                   TCommand::Json, false),
        AddCommand(app, "csv", "Die Zahlungen als CSV-Tabelle (UTF-8) für Tabellenkalkulationen", invocation,
                   TCommand::Csv, true)}) {
    sub->add_flag("--banks", invocation.Banks, banks);
    sub->add_flag("--partial", invocation.Partial, partial);
  }
  CLI::App* xlsx =
      AddCommand(app, "xlsx", "Die Zahlungen als Excel-Arbeitsmappe (.xlsx) mit einem Blatt zur Datei",
                 invocation, TCommand::Xlsx, true);
  xlsx->get_option("-o")->required()->description("Die Arbeitsmappe, die geschrieben wird");
  xlsx->add_flag("--banks", invocation.Banks, banks);
  AddArchiveCommands(app, invocation);

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    const int exitCode = app.exit(e, out, err);
    // Help that never arrived (a full disk, a closed pipe) is no success.
    if (!out.flush()) {
      err << "quandel-cli: Die Standardausgabe kann nicht geschrieben werden.\n";
      return kExitUsage;
    }
    return exitCode;
  } catch (const CLI::ParseError& e) {
    err << UsageErrorText(ErrorKind(e), e.what(), app.remaining(true));
    return kExitUsage;
  }
  return std::nullopt;
}

}  // namespace cli
