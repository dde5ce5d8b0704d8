#include "help_window.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <utility>

namespace quandel {
namespace {

// The keys that belong to the list itself and are no action of the window.
const std::pair<const char*, const char*> kListKeys[] = {
    {"Pfeil auf, Pfeil ab", "Zur vorigen oder nächsten Zahlung"},
    {"Pfeil links, Pfeil rechts", "Zelle wählen, die „Zelle kopieren“ aus dem Kontextmenü kopiert"},
    {"Bild auf, Bild ab", "Eine Seite der Liste zurück oder weiter"},
    {"Pos1, Ende", "Zum Anfang oder zum Ende der Liste"},
    {"Umschalt+Pfeil, Umschalt+Klick", "Auswahl bis zur Zahlung erweitern"},
    {"Strg+Klick", "Zahlung zur Auswahl hinzufügen oder aus ihr nehmen"},
    {"Klick auf einen Spaltenkopf",
     "Nach der Spalte sortieren; ein zweiter Klick kehrt die Richtung um, ein dritter stellt die Reihenfolge "
     "der Datei wieder her"},
    {"Tab, Umschalt+Tab", "Zwischen Liste, sichtbaren Verweisen und offenen Leisten wechseln"},
    {"Eingabe", "Den gewählten Verweis öffnen; in der Suchleiste: nächster Treffer"},
    {"Esc", "Such-, Gehe-zu- oder Filterleiste schließen; während des Ladens: Laden abbrechen"},
    {"Umschalt+F10, Menütaste", "Kontextmenü der Liste"},
    {"Strg+Mausrad", "Ansicht vergrößern oder verkleinern"},
};

// What a find and a filter take a typed text for.
const char* const kFindHelp =
    "<h3>Suchen und Filtern</h3>\n"
    "<p>Groß- und Kleinschreibung zählen nicht. Umlaute gelten in jeder Schreibweise: „müller“ findet "
    "„MÜLLER“, „MUELLER“ und „M]LLER“, wie DTAUS-Dateien Ü schreiben (ebenso Ä, Ö und ß). Bankleitzahlen und "
    "Konten werden ohne Leerzeichen verglichen: „20050550“ findet „200 505 50“. Ein Betrag wie „1250“, "
    "„1.250,00“ oder „1250.00“ findet die Zahlungen über genau 1.250,00. Alt+Eingabe wählt alle Treffer "
    "aus.</p>\n";

QString Row(const QString& keys, const QString& what) {
  return QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>\n")
      .arg(keys.toHtmlEscaped(), what.toHtmlEscaped());
}

QString Caption(const QAction& action) {
  QString text = action.text();
  text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
  return text;
}

}  // namespace

QString KeysHelpHtml(const QList<QAction*>& commands) {
  QString html = QStringLiteral("<h3>Tasten in der Liste</h3>\n<table cellspacing=\"4\">\n");
  for (const auto& [keys, what] : kListKeys) html += Row(QString::fromUtf8(keys), QString::fromUtf8(what));
  html += QStringLiteral("</table>\n<h3>Befehle</h3>\n<table cellspacing=\"4\">\n");
  for (const QAction* action : commands) {
    if (action == nullptr || action->isSeparator() || action->text().isEmpty()) continue;
    QStringList keys;
    for (const QKeySequence& shortcut : action->shortcuts())
      keys << shortcut.toString(QKeySequence::NativeText);
    html += Row(keys.isEmpty() ? QStringLiteral("–") : keys.join(QStringLiteral(", ")), Caption(*action));
  }
  return html +
         QStringLiteral("</table>\n<p>Die Befehle ohne Menüeintrag stehen im Kontextmenü der Liste.</p>\n") +
         QString::fromUtf8(kFindHelp);
}

THelpWindow::THelpWindow(QWidget* parent) : QDialog(parent), text_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Tasten und Befehle"));
  text_->setObjectName(QStringLiteral("HelpText"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(buttons);
  resize(560, 520);
}

void THelpWindow::showHelp(const QList<QAction*>& commands) {
  text_->setHtml(KeysHelpHtml(commands));
  show();
  raise();
  activateWindow();
}

}  // namespace quandel
