<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>shortcut_list</name>
    <message>
        <source> or </source>
        <translation> oder </translation>
    </message>
    <message>
        <source>Move between the table, the filter and the panels</source>
        <translation>Zwischen Tabelle, Filter und Bereichen wechseln</translation>
    </message>
    <message>
        <source>Tab, Shift+Tab</source>
        <translation>Tab, Umschalt+Tab</translation>
    </message>
    <message>
        <source>In the search box: clear it and return to the table</source>
        <translation>Im Suchfeld: leeren und zur Tabelle zurückkehren</translation>
    </message>
    <message>
        <source>In the entry dialog: OK, also from Notes</source>
        <translation>Im Eintragsdialog: OK, auch aus den Notizen</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Keyboard shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Tasten</translation>
    </message>
</context>
<context>
    <name>tarvik::RecordEditor</name>
    <message>
        <source>%1: %2 is too large.</source>
        <translation>%1: %2 ist zu groß.</translation>
    </message>
    <message>
        <source>%1: in “%2” the digits are not grouped in threes; type a number such as %3.</source>
        <translation>%1: In „%2“ sind die Ziffern nicht in Dreiergruppen gegliedert; geben Sie eine Zahl wie %3 ein.</translation>
    </message>
    <message>
        <source>%1: “%2” is not a number; type one such as %3.</source>
        <translation>%1: „%2“ ist keine Zahl; geben Sie eine wie %3 ein.</translation>
    </message>
    <message>
        <source>Date: %1 lies beyond the dates this system can keep.</source>
        <translation>Datum: %1 liegt außerhalb der Daten, die dieses System speichern kann.</translation>
    </message>
    <message>
        <source>Date: “%1” is not a date; type it as YYYY-MM-DD, such as 2003-05-17.</source>
        <translation>Datum: „%1“ ist kein Datum; geben Sie es als JJJJ-MM-TT ein, etwa 2003-05-17.</translation>
    </message>
    <message>
        <source>Mileage</source>
        <translation type="vanished">Kilometerstand</translation>
    </message>
    <message>
        <source>Date</source>
        <translation type="vanished">Datum</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation type="vanished">Arbeit</translation>
    </message>
    <message>
        <source>Cost</source>
        <translation type="vanished">Kosten</translation>
    </message>
    <message>
        <source>YYYY-MM-DD</source>
        <translation>JJJJ-MM-TT</translation>
    </message>
    <message>
        <source>The value the box is read as.</source>
        <translation>Der Wert, als der die Eingabe gelesen wird.</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation type="vanished">Notizen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>In the file: %1</source>
        <translation>In der Datei: %1</translation>
    </message>
    <message>
        <source>The file holds more than the box shows. It stays in the file as it is unless you type a value here.</source>
        <translation>Die Datei enthält mehr, als das Feld zeigt. Es bleibt unverändert in der Datei, solange Sie hier keinen Wert eingeben.</translation>
    </message>
    <message>
        <source>Edit Record</source>
        <translation>Eintrag bearbeiten</translation>
    </message>
    <message>
        <source>= %1</source>
        <translation>= %1</translation>
    </message>
    <message>
        <source>The mileage is %1.</source>
        <translation>Der Kilometerstand ist %1.</translation>
    </message>
    <message>
        <source>, and </source>
        <translation> und </translation>
    </message>
    <message>
        <source>lower than %1 on %2</source>
        <translation>niedriger als %1 am %2</translation>
    </message>
    <message>
        <source>higher than %1 on %2</source>
        <translation>höher als %1 am %2</translation>
    </message>
    <message>
        <source>&amp;Mileage</source>
        <translation>&amp;Kilometerstand</translation>
    </message>
    <message>
        <source>&amp;Date</source>
        <translation>&amp;Datum</translation>
    </message>
    <message>
        <source>&amp;Operation</source>
        <translation>&amp;Arbeit</translation>
    </message>
    <message>
        <source>Co&amp;st</source>
        <translation>Ko&amp;sten</translation>
    </message>
    <message>
        <source>&amp;Notes</source>
        <translation>&amp;Notizen</translation>
    </message>
    <message>
        <source>New Entry</source>
        <translation>Neuer Eintrag</translation>
    </message>
    <message>
        <source>&amp;Quantity</source>
        <translation>&amp;Menge</translation>
    </message>
    <message>
        <source>&amp;Price per unit</source>
        <translation>&amp;Preis je Einheit</translation>
    </message>
    <message>
        <source>&amp;Filled to full</source>
        <translation>&amp;Vollgetankt</translation>
    </message>
    <message>
        <source>Other fields</source>
        <translation>Weitere Felder</translation>
    </message>
    <message>
        <source>New Fill-up</source>
        <translation>Neue Tankfüllung</translation>
    </message>
    <message>
        <source>&amp;Energy (%1)</source>
        <translation>&amp;Energie (%1)</translation>
    </message>
    <message>
        <source>&amp;Fuel (%1)</source>
        <translation>&amp;Tankmenge (%1)</translation>
    </message>
    <message>
        <source>&amp;Price per %1</source>
        <translation>&amp;Preis je %1</translation>
    </message>
</context>
<context>
    <name>tarvik::Tarvik</name>
    <message>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>Due List</source>
        <translation>Fälligkeitsliste</translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation>Nicht gespeichert</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Open…</source>
        <translation type="vanished">Öffnen …</translation>
    </message>
    <message>
        <source>New Log…</source>
        <translation type="vanished">Neues Fahrtenbuch …</translation>
    </message>
    <message>
        <source>Open Recent</source>
        <translation type="vanished">Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>Import CSV…</source>
        <translation type="vanished">CSV importieren …</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation type="vanished">CSV exportieren …</translation>
    </message>
    <message>
        <source>Export PDF…</source>
        <translation type="vanished">PDF exportieren …</translation>
    </message>
    <message>
        <source>Print…</source>
        <translation type="vanished">Drucken …</translation>
    </message>
    <message>
        <source>Log Settings…</source>
        <translation type="vanished">Einstellungen des Fahrtenbuchs …</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="vanished">Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Charts…</source>
        <translation type="vanished">Diagramme …</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>About Tarvik</source>
        <translation>Über Tarvik</translation>
    </message>
    <message>
        <source>Tarvik keeps the maintenance and mileage log of one vehicle.

Log file: %1</source>
        <translation type="vanished">Tarvik führt das Wartungs- und Fahrtenbuch eines Fahrzeugs.

Datei: %1</translation>
    </message>
    <message>
        <source>1 record</source>
        <translation>1 Eintrag</translation>
    </message>
    <message>
        <source>%1 records</source>
        <translation>%1 Einträge</translation>
    </message>
    <message>
        <source>, %1 shown</source>
        <translation>, %1 angezeigt</translation>
    </message>
    <message>
        <source>1 service due</source>
        <translation>1 Wartung fällig</translation>
    </message>
    <message>
        <source>%1 services due</source>
        <translation>%1 Wartungen fällig</translation>
    </message>
    <message>
        <source>The reminder at login could not be %1 (%2): %3.</source>
        <translation>Die Erinnerung beim Anmelden konnte nicht %1 werden (%2): %3.</translation>
    </message>
    <message>
        <source>set up</source>
        <translation>eingerichtet</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>entfernt</translation>
    </message>
    <message>
        <source>Chart saved to %1</source>
        <translation>Diagramm in %1 gespeichert</translation>
    </message>
    <message>
        <source>Problems in the Log…</source>
        <translation type="vanished">Probleme im Fahrtenbuch …</translation>
    </message>
    <message>
        <source>Added %1 of %2 — %3 takes it out again</source>
        <translation>%1 vom %2 hinzugefügt — %3 nimmt es wieder heraus</translation>
    </message>
    <message>
        <source>Changed %1 of %2 — %3 brings back what it was</source>
        <translation>%1 vom %2 geändert — %3 stellt den vorigen Stand wieder her</translation>
    </message>
    <message>
        <source>Deleted %1 of %2 — %3 brings it back</source>
        <translation>%1 vom %2 gelöscht — %3 holt es zurück</translation>
    </message>
    <message>
        <source>Log entries</source>
        <translation>Einträge des Fahrtenbuchs</translation>
    </message>
    <message>
        <source>The figures of the entries the table shows</source>
        <translation>Die Kennzahlen der Einträge, die die Tabelle zeigt</translation>
    </message>
    <message>
        <source>Due list</source>
        <translation>Fälligkeitsliste</translation>
    </message>
    <message>
        <source>The service intervals and what is due</source>
        <translation>Die Wartungsintervalle und was fällig ist</translation>
    </message>
    <message>
        <source>Figures by operation</source>
        <translation>Kennzahlen nach Arbeit</translation>
    </message>
    <message>
        <source>For each operation its count, total cost and average interval</source>
        <translation>Für jede Arbeit Anzahl, Gesamtkosten und mittlerer Abstand</translation>
    </message>
    <message>
        <source>Service intervals</source>
        <translation>Wartungsintervalle</translation>
    </message>
    <message>
        <source>For each interval when it was last done, when it is next due and its state</source>
        <translation>Für jedes Intervall, wann es zuletzt erledigt wurde, wann es wieder fällig ist und sein Zustand</translation>
    </message>
    <message>
        <source>Entries</source>
        <translation>Einträge</translation>
    </message>
    <message>
        <source>Log file</source>
        <translation>Datei des Fahrtenbuchs</translation>
    </message>
    <message>
        <source>Services due</source>
        <translation>Fällige Wartungen</translation>
    </message>
    <message>
        <source>Save state</source>
        <translation>Speicherzustand</translation>
    </message>
    <message>
        <source>Commands and filter</source>
        <translation>Befehle und Filter</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Panels</source>
        <translation>Bereiche</translation>
    </message>
    <message>
        <source>Chooses the panel shown below the table</source>
        <translation>Wählt den Bereich unter der Tabelle</translation>
    </message>
    <message>
        <source>&amp;New Entry…</source>
        <translation>&amp;Neuer Eintrag …</translation>
    </message>
    <message>
        <source>&amp;Edit Entry…</source>
        <translation>Eintrag &amp;bearbeiten …</translation>
    </message>
    <message>
        <source>&amp;Delete Entry</source>
        <translation>Eintrag &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Open…</source>
        <translation>Ö&amp;ffnen …</translation>
    </message>
    <message>
        <source>New &amp;Log…</source>
        <translation>Neues Fa&amp;hrtenbuch …</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Import CSV…</source>
        <translation>CSV &amp;importieren …</translation>
    </message>
    <message>
        <source>E&amp;xport CSV…</source>
        <translation>CSV e&amp;xportieren …</translation>
    </message>
    <message>
        <source>Export P&amp;DF…</source>
        <translation>&amp;PDF exportieren …</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Drucken …</translation>
    </message>
    <message>
        <source>Log Se&amp;ttings…</source>
        <translation>Ein&amp;stellungen des Fahrtenbuchs …</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>&amp;Statistics</source>
        <translation>&amp;Statistik</translation>
    </message>
    <message>
        <source>&amp;Due List</source>
        <translation>&amp;Fälligkeitsliste</translation>
    </message>
    <message>
        <source>&amp;Charts…</source>
        <translation>&amp;Diagramme …</translation>
    </message>
    <message>
        <source>&amp;Problems in the Log…</source>
        <translation>&amp;Probleme im Fahrtenbuch …</translation>
    </message>
    <message>
        <source>&amp;Keyboard Shortcuts</source>
        <translation>&amp;Tastenkürzel</translation>
    </message>
    <message>
        <source>&amp;About Tarvik</source>
        <translation>Ü&amp;ber Tarvik</translation>
    </message>
    <message>
        <source>No entries yet — %1 or %2…</source>
        <translation>Noch keine Einträge — %1 oder %2 …</translation>
    </message>
    <message>
        <source>No entry matches the filter.</source>
        <translation>Kein Eintrag passt zum Filter.</translation>
    </message>
    <message>
        <source>One row an entry: mileage, date, operation, cost and notes. Return edits the current entry, Delete removes it.</source>
        <translation>Eine Zeile je Eintrag: Kilometerstand, Datum, Arbeit, Kosten und Notizen. Eingabe bearbeitet den aktuellen Eintrag, Entf löscht ihn.</translation>
    </message>
    <message>
        <source>Edit Entry…</source>
        <translation type="vanished">Eintrag bearbeiten …</translation>
    </message>
    <message>
        <source>Tarvik %1</source>
        <translation>Tarvik %1</translation>
    </message>
    <message>
        <source>Keeps the maintenance and mileage log of one vehicle.

Licence: GNU General Public License, version 3 or later. Tarvik comes with no warranty.

Log file: %1</source>
        <translation>Führt das Wartungs- und Fahrtenbuch eines Fahrzeugs.

Lizenz: GNU General Public License, Version 3 oder später. Tarvik kommt ohne jede Gewährleistung.

Datei: %1</translation>
    </message>
    <message>
        <source>&amp;New Fill-up…</source>
        <translation>Neue &amp;Tankfüllung …</translation>
    </message>
</context>
<context>
    <name>tarvik::charts_dialog</name>
    <message>
        <source>Cost</source>
        <translation>Kosten</translation>
    </message>
    <message>
        <source>Cost per year</source>
        <translation>Kosten pro Jahr</translation>
    </message>
    <message>
        <source>Odometer</source>
        <translation>Kilometerzähler</translation>
    </message>
    <message>
        <source>Mileage</source>
        <translation>Kilometerstand</translation>
    </message>
    <message>
        <source>Charts</source>
        <translation>Diagramme</translation>
    </message>
    <message>
        <source>Save as PNG…</source>
        <translation>Als PNG speichern …</translation>
    </message>
    <message>
        <source>Save Chart</source>
        <translation>Diagramm speichern</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>PNG-Bilder (*.png)</translation>
    </message>
    <message>
        <source>%1 could not be written.</source>
        <translation>%1 konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Fuel</source>
        <translation>Kraftstoff</translation>
    </message>
    <message>
        <source>Services and other</source>
        <translation>Wartung und Sonstiges</translation>
    </message>
    <message>
        <source>Consumption</source>
        <translation>Verbrauch</translation>
    </message>
</context>
<context>
    <name>tarvik::csv_import_dialog</name>
    <message>
        <source>Import CSV</source>
        <translation>CSV importieren</translation>
    </message>
    <message>
        <source>From %1. Choose what each column holds; the first rows are shown.</source>
        <translation>Aus %1. Wählen Sie, was jede Spalte enthält; die ersten Zeilen werden gezeigt.</translation>
    </message>
    <message>
        <source>Comma</source>
        <translation>Komma</translation>
    </message>
    <message>
        <source>Semicolon</source>
        <translation>Semikolon</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tabulator</translation>
    </message>
    <message>
        <source>&amp;Separator:</source>
        <translation>&amp;Trennzeichen:</translation>
    </message>
    <message>
        <source>Year-month-day (2002-05-01)</source>
        <translation>Jahr-Monat-Tag (2002-05-01)</translation>
    </message>
    <message>
        <source>Day first (1.5.2002)</source>
        <translation>Tag zuerst (1.5.2002)</translation>
    </message>
    <message>
        <source>Month first (5/1/2002)</source>
        <translation>Monat zuerst (5/1/2002)</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Auswählen …</translation>
    </message>
    <message>
        <source>&amp;Dates:</source>
        <translation>&amp;Datumsformat:</translation>
    </message>
    <message>
        <source>The dates could be read either way: choose how they are written.</source>
        <translation>Die Daten lassen sich auf beide Arten lesen: Wählen Sie, wie sie geschrieben sind.</translation>
    </message>
    <message>
        <source>Full stop (1,234.5)</source>
        <translation>Punkt (1,234.5)</translation>
    </message>
    <message>
        <source>Comma (1.234,5)</source>
        <translation>Komma (1.234,5)</translation>
    </message>
    <message>
        <source>D&amp;ecimals:</source>
        <translation>Dezimal&amp;zeichen:</translation>
    </message>
    <message>
        <source>Row numbers are the file&apos;s lines</source>
        <translation>Die Zeilennummern sind die Zeilen der Datei</translation>
    </message>
    <message>
        <source>Rows that cannot be read:</source>
        <translation>Zeilen, die nicht gelesen werden können:</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>1 more column is</source>
        <translation>1 weitere Spalte wird</translation>
    </message>
    <message>
        <source>%1 more columns are</source>
        <translation>%1 weitere Spalten werden</translation>
    </message>
    <message>
        <source> not shown: what they hold is kept in the notes of each entry, as &quot;Header: value&quot; lines.</source>
        <translation type="vanished"> nicht gezeigt: Ihr Inhalt wird in den Notizen jedes Eintrags als Zeilen „Überschrift: Wert“ aufbewahrt.</translation>
    </message>
    <message>
        <source>The file holds more than %1 cells, far more than any vehicle log: it cannot be imported.</source>
        <translation>Die Datei enthält mehr als %1 Zellen, weit mehr als jedes Fahrtenbuch: Sie kann nicht importiert werden.</translation>
    </message>
    <message>
        <source>The file holds no rows below its header.</source>
        <translation>Die Datei enthält unter ihrer Kopfzeile keine Zeilen.</translation>
    </message>
    <message>
        <source>Choose the column that holds the dates.</source>
        <translation>Wählen Sie die Spalte, die das Datum enthält.</translation>
    </message>
    <message>
        <source>Choose how the dates are written.</source>
        <translation>Wählen Sie, wie die Daten geschrieben sind.</translation>
    </message>
    <message>
        <source>1 entry</source>
        <translation>1 Eintrag</translation>
    </message>
    <message>
        <source>%1 entries</source>
        <translation>%1 Einträge</translation>
    </message>
    <message>
        <source> to import</source>
        <translation> zu importieren</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message>
        <source>1 row cannot be read</source>
        <translation>1 Zeile kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>%1 rows cannot be read</source>
        <translation>%1 Zeilen können nicht gelesen werden</translation>
    </message>
    <message>
        <source> and will be left out</source>
        <translation> und wird ausgelassen</translation>
    </message>
    <message>
        <source> not shown: what they hold is kept with each entry, as a field named by its header.</source>
        <translation> nicht angezeigt: Ihr Inhalt wird bei jedem Eintrag als Feld mit dem Namen der Spaltenüberschrift behalten.</translation>
    </message>
    <message>
        <source>Import the costs &amp;as they are, unconverted</source>
        <translation>Kosten unverändert übernehmen, &amp;ohne Umrechnung</translation>
    </message>
    <message>
        <source>1 entry has no total: its cost is quantity × price per unit.</source>
        <translation>1 Eintrag hat keinen Gesamtbetrag: Seine Kosten sind Menge × Preis je Einheit.</translation>
    </message>
    <message>
        <source>%1 entries have no total: their cost is quantity × price per unit.</source>
        <translation>%1 Einträge haben keinen Gesamtbetrag: Ihre Kosten sind Menge × Preis je Einheit.</translation>
    </message>
    <message>
        <source>The costs are in different currencies (%1): the log adds them up as one.</source>
        <translation>Die Kosten sind in verschiedenen Währungen (%1): Das Fahrtenbuch zählt sie wie eine zusammen.</translation>
    </message>
    <message>
        <source>&amp;Backslash escapes</source>
        <translation>&amp;Backslash-Maskierung</translation>
    </message>
    <message>
        <source>A backslash before the separator or a quote keeps it in the cell, as some programs write “Autobahn\; A8”</source>
        <translation>Ein Backslash vor dem Trennzeichen oder einem Anführungszeichen behält es in der Zelle, wie manche Programme „Autobahn\; A8“ schreiben</translation>
    </message>
    <message>
        <source>From line %1. Checked sections are imported.</source>
        <translation>Ab Zeile %1. Angehakte Abschnitte werden importiert.</translation>
    </message>
    <message>
        <source>%1 (not entries)</source>
        <translation>%1 (keine Einträge)</translation>
    </message>
    <message>
        <source>From line %1. It describes the vehicle or the program&apos;s lists: it is shown, not imported as entries.</source>
        <translation>Ab Zeile %1. Er beschreibt das Fahrzeug oder Listen des Programms: Er wird gezeigt, aber nicht als Einträge importiert.</translation>
    </message>
    <message>
        <source>Sec&amp;tions of the file (those checked are imported):</source>
        <translation>Abschnitte der Datei (die a&amp;ngehakten werden importiert):</translation>
    </message>
    <message>
        <source>distances in %1</source>
        <translation>Entfernungen in %1</translation>
    </message>
    <message>
        <source>the vehicle’s name “%1”</source>
        <translation>den Fahrzeugnamen „%1“</translation>
    </message>
    <message>
        <source>&amp;Use these for the log: %1</source>
        <translation>Für das Fahrtenbuch &amp;übernehmen: %1</translation>
    </message>
    <message>
        <source>This section describes the vehicle or the program&apos;s lists: it is not imported as entries.</source>
        <translation>Dieser Abschnitt beschreibt das Fahrzeug oder Listen des Programms: Er wird nicht als Einträge importiert.</translation>
    </message>
    <message>
        <source>In all, from the sections checked: %1</source>
        <translation>Insgesamt aus den angehakten Abschnitten: %1</translation>
    </message>
    <message>
        <source>A section checked still needs its date column or date order chosen.</source>
        <translation>Für einen angehakten Abschnitt fehlt noch die Datumsspalte oder das Datumsformat.</translation>
    </message>
    <message>
        <source>The file&apos;s distances are in %1, this log&apos;s in %2: the mileages are imported as written, not converted.</source>
        <translation>Die Entfernungen der Datei sind in %1, die dieses Fahrtenbuchs in %2: Die Kilometerstände werden wie geschrieben importiert, nicht umgerechnet.</translation>
    </message>
    <message>
        <source>The costs are in %1, this log&apos;s in %2: they would be added up as one.</source>
        <translation>Die Kosten sind in %1, die dieses Fahrtenbuchs in %2: Sie würden wie eine Währung zusammengezählt.</translation>
    </message>
    <message>
        <source>UTF-8</source>
        <translation>UTF-8</translation>
    </message>
    <message>
        <source>UTF-16</source>
        <translation>UTF-16</translation>
    </message>
    <message>
        <source>Windows-1252</source>
        <translation>Windows-1252</translation>
    </message>
    <message>
        <source>How the file writes its characters: choose another where letters look wrong</source>
        <translation>Wie die Datei ihre Zeichen schreibt: Wählen Sie eine andere Kodierung, wenn Buchstaben falsch aussehen</translation>
    </message>
    <message>
        <source>&amp;Read as:</source>
        <translation>&amp;Lesen als:</translation>
    </message>
    <message>
        <source>The file cannot be read as %1: %2</source>
        <translation>Die Datei kann nicht als %1 gelesen werden: %2</translation>
    </message>
</context>
<context>
    <name>tarvik::csv_import_parts</name>
    <message>
        <source>Mileage</source>
        <translation>Kilometerstand</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Arbeit</translation>
    </message>
    <message>
        <source>Cost</source>
        <translation>Kosten</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Keep in Notes</source>
        <translation type="vanished">In Notizen aufbewahren</translation>
    </message>
    <message>
        <source>Leave Out</source>
        <translation>Auslassen</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>Keep as Field</source>
        <translation>Als Feld behalten</translation>
    </message>
    <message>
        <source>Fuel Quantity</source>
        <translation>Kraftstoffmenge</translation>
    </message>
    <message>
        <source>Price per Unit</source>
        <translation>Preis je Einheit</translation>
    </message>
    <message>
        <source>Full Tank (yes/no)</source>
        <translation>Vollgetankt (ja/nein)</translation>
    </message>
    <message>
        <source>Partial Fill-up (yes/no)</source>
        <translation>Teilfüllung (ja/nein)</translation>
    </message>
    <message>
        <source>Missed Fill-up (yes/no)</source>
        <translation>Tankfüllung ausgelassen (ja/nein)</translation>
    </message>
    <message>
        <source>Fill Type (1 full, 2 partial)</source>
        <translation>Tankart (1 voll, 2 teilweise)</translation>
    </message>
    <message>
        <source>Fuel Type</source>
        <translation>Kraftstoffsorte</translation>
    </message>
    <message>
        <source>Currency</source>
        <translation>Währung</translation>
    </message>
</context>
<context>
    <name>tarvik::due_list_panel</name>
    <message>
        <source>Service Interval</source>
        <translation>Wartungsintervall</translation>
    </message>
    <message>
        <source>no limit</source>
        <translation>keine Grenze</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Arbeit</translation>
    </message>
    <message>
        <source>Every (distance)</source>
        <translation type="vanished">Alle (Strecke)</translation>
    </message>
    <message>
        <source>Every (months)</source>
        <translation type="vanished">Alle (Monate)</translation>
    </message>
    <message>
        <source>Every (distance): type a number above 0, such as 15000.</source>
        <translation>Alle (Strecke): Geben Sie eine Zahl über 0 ein, etwa 15000.</translation>
    </message>
    <message>
        <source>Operation: type the operation as the log names it.</source>
        <translation>Arbeit: Geben Sie die Arbeit so ein, wie das Fahrtenbuch sie nennt.</translation>
    </message>
    <message>
        <source>Every</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Last done</source>
        <translation>Zuletzt erledigt</translation>
    </message>
    <message>
        <source>Due</source>
        <translation>Fällig</translation>
    </message>
    <message>
        <source>By</source>
        <translation>Nach</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Verbleibend</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Add…</source>
        <translation type="vanished">Hinzufügen …</translation>
    </message>
    <message>
        <source>Change…</source>
        <translation type="vanished">Ändern …</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="vanished">Entfernen</translation>
    </message>
    <message>
        <source>Another program changed the service intervals; the list now shows them as they are. Choose the interval again.</source>
        <translation>Ein anderes Programm hat die Wartungsintervalle geändert; die Liste zeigt sie nun so, wie sie sind. Wählen Sie das Intervall erneut.</translation>
    </message>
    <message>
        <source>1 month</source>
        <translation>1 Monat</translation>
    </message>
    <message>
        <source>%1 months</source>
        <translation>%1 Monate</translation>
    </message>
    <message>
        <source> or </source>
        <translation> oder </translation>
    </message>
    <message>
        <source>Added the interval %1 — %2 takes it out again</source>
        <translation>Intervall %1 hinzugefügt — %2 nimmt es wieder heraus</translation>
    </message>
    <message>
        <source>Changed the interval %1 — %2 brings back what it was</source>
        <translation>Intervall %1 geändert — %2 stellt den vorigen Stand wieder her</translation>
    </message>
    <message>
        <source>Removed the interval %1 — %2 brings it back</source>
        <translation>Intervall %1 entfernt — %2 holt es zurück</translation>
    </message>
    <message>
        <source>&amp;Operation</source>
        <translation>&amp;Arbeit</translation>
    </message>
    <message>
        <source>Every (&amp;distance)</source>
        <translation>Alle (&amp;Strecke)</translation>
    </message>
    <message>
        <source>Every (&amp;months)</source>
        <translation>Alle (&amp;Monate)</translation>
    </message>
    <message>
        <source>&amp;Add…</source>
        <translation>&amp;Hinzufügen …</translation>
    </message>
    <message>
        <source>Chan&amp;ge…</source>
        <translation>Ä&amp;ndern …</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
</context>
<context>
    <name>tarvik::due_reminder</name>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 could not be read to its end</source>
        <translation>%1 konnte nicht bis zum Ende gelesen werden</translation>
    </message>
    <message>
        <source>%1 – %2</source>
        <translation>%1 – %2</translation>
    </message>
    <message>
        <source>A vehicle service is due</source>
        <translation>Eine Fahrzeugwartung ist fällig</translation>
    </message>
    <message>
        <source>%1 vehicle services are due</source>
        <translation>%1 Fahrzeugwartungen sind fällig</translation>
    </message>
</context>
<context>
    <name>tarvik::due_texts</name>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 day</source>
        <translation>%1 Tag</translation>
    </message>
    <message>
        <source>%1 days</source>
        <translation>%1 Tage</translation>
    </message>
    <message>
        <source>Never done</source>
        <translation>Nie erledigt</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Due soon</source>
        <translation>Bald fällig</translation>
    </message>
    <message>
        <source>Due (estimated)</source>
        <translation>Fällig (geschätzt)</translation>
    </message>
    <message>
        <source>Overdue</source>
        <translation>Überfällig</translation>
    </message>
    <message>
        <source>at %1</source>
        <translation>bei %1</translation>
    </message>
    <message>
        <source>date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>distance (estimated)</source>
        <translation>Strecke (geschätzt)</translation>
    </message>
    <message>
        <source>distance</source>
        <translation>Strecke</translation>
    </message>
    <message>
        <source>overdue by %1</source>
        <translation>seit %1 überfällig</translation>
    </message>
    <message>
        <source> and </source>
        <translation> und </translation>
    </message>
    <message>
        <source>about %1</source>
        <translation>etwa %1</translation>
    </message>
    <message>
        <source>Due soon: when a tenth of the interval is left, at most %1 and %2.</source>
        <translation>Bald fällig: wenn ein Zehntel des Intervalls übrig ist, höchstens %1 und %2.</translation>
    </message>
    <message>
        <source>Here: %1.</source>
        <translation>Hier: %1.</translation>
    </message>
    <message>
        <source> or </source>
        <translation> oder </translation>
    </message>
    <message>
        <source>Due (estimated): the distance is expected to be reached by today at the recent pace, though the log does not show it yet.</source>
        <translation>Fällig (geschätzt): Beim bisherigen Tempo ist die Strecke bis heute voraussichtlich erreicht, auch wenn das Fahrtenbuch es noch nicht zeigt.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>, %1</source>
        <translation>, %1</translation>
    </message>
    <message>
        <source> (due %1 by %2)</source>
        <translation> (fällig %1 nach %2)</translation>
    </message>
</context>
<context>
    <name>tarvik::export</name>
    <message>
        <source>1 entry</source>
        <translation>1 Eintrag</translation>
    </message>
    <message>
        <source>%1 entries</source>
        <translation>%1 Einträge</translation>
    </message>
    <message>
        <source>%1 exported to %2</source>
        <translation>%1 nach %2 exportiert</translation>
    </message>
    <message>
        <source>Service history of %1 saved to %2</source>
        <translation>Wartungsheft von %1 in %2 gespeichert</translation>
    </message>
    <message>
        <source>Service history of %1 sent to %2</source>
        <translation>Wartungsheft von %1 an %2 gesendet</translation>
    </message>
</context>
<context>
    <name>tarvik::export_commands</name>
    <message>
        <source>Export all %1 entries of the log, or only the %2 the filter shows?</source>
        <translation>Alle %1 Einträge des Fahrtenbuchs exportieren oder nur die %2, die der Filter zeigt?</translation>
    </message>
    <message>
        <source>All Entries</source>
        <translation>Alle Einträge</translation>
    </message>
    <message>
        <source>Entries Shown</source>
        <translation>Angezeigte Einträge</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>CSV exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>%1 could not be written: %2.</source>
        <translation>%1 konnte nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>%1 entries exported to %2</source>
        <translation type="vanished">%1 Einträge nach %2 exportiert</translation>
    </message>
    <message>
        <source>Include the costs in the service history?</source>
        <translation>Die Kosten in das Wartungsheft aufnehmen?</translation>
    </message>
    <message>
        <source>With Costs</source>
        <translation>Mit Kosten</translation>
    </message>
    <message>
        <source>Without Costs</source>
        <translation>Ohne Kosten</translation>
    </message>
    <message>
        <source>Export PDF</source>
        <translation>PDF exportieren</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
</context>
<context>
    <name>tarvik::field_table</name>
    <message>
        <source>Field</source>
        <translation>Feld</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Fields of the entry beyond the five, as the log file keeps them.</source>
        <translation>Felder des Eintrags über die fünf hinaus, wie die Datei des Fahrtenbuchs sie führt.</translation>
    </message>
    <message>
        <source>Add Field</source>
        <translation>Feld hinzufügen</translation>
    </message>
    <message>
        <source>Remove Field</source>
        <translation>Feld entfernen</translation>
    </message>
    <message>
        <source>Field “%1” has a box of its own above.</source>
        <translation>Das Feld „%1“ hat oben ein eigenes Eingabefeld.</translation>
    </message>
    <message>
        <source>A field needs a name.</source>
        <translation>Ein Feld braucht einen Namen.</translation>
    </message>
    <message>
        <source>Field “%1”: a name may not hold “;”, “=”, “&lt;” or a line break, start with “#”, end with “*” or be that of one of the five fields.</source>
        <translation>Feld „%1“: Ein Name darf kein „;“, „=“, „&lt;“ und keinen Zeilenumbruch enthalten, nicht mit „#“ beginnen, nicht auf „*“ enden und nicht der eines der fünf Felder sein.</translation>
    </message>
</context>
<context>
    <name>tarvik::filter_bar</name>
    <message>
        <source>Search operation and notes</source>
        <translation>Arbeit und Notizen durchsuchen</translation>
    </message>
    <message>
        <source>Dates</source>
        <translation type="vanished">Zeitraum</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suche</translation>
    </message>
    <message>
        <source>Shows only the entries whose operation or notes hold the text; Escape clears it</source>
        <translation>Zeigt nur die Einträge, deren Arbeit oder Notizen den Text enthalten; Esc leert das Feld</translation>
    </message>
    <message>
        <source>&amp;Dates</source>
        <translation>&amp;Zeitraum</translation>
    </message>
    <message>
        <source>Shows only the entries between the two days</source>
        <translation>Zeigt nur die Einträge zwischen den beiden Tagen</translation>
    </message>
    <message>
        <source>First day</source>
        <translation>Erster Tag</translation>
    </message>
    <message>
        <source>The earliest day of the entries shown</source>
        <translation>Der früheste Tag der angezeigten Einträge</translation>
    </message>
    <message>
        <source>Last day</source>
        <translation>Letzter Tag</translation>
    </message>
    <message>
        <source>The latest day of the entries shown</source>
        <translation>Der späteste Tag der angezeigten Einträge</translation>
    </message>
</context>
<context>
    <name>tarvik::import_command</name>
    <message>
        <source>No such file or directory</source>
        <translation>Datei oder Verzeichnis nicht gefunden</translation>
    </message>
    <message>
        <source>It is not a regular file</source>
        <translation>Sie ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>It is larger than %1 MiB, more than any log holds</source>
        <translation>Sie ist größer als %1 MiB, mehr als jedes Fahrtenbuch enthält</translation>
    </message>
    <message>
        <source>Import CSV</source>
        <translation>CSV importieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv *.txt);;All files (*)</source>
        <translation>CSV-Dateien (*.csv *.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>1 entry imported from %2</source>
        <translation type="vanished">1 Eintrag aus %2 importiert</translation>
    </message>
    <message>
        <source>%1 entries imported from %2</source>
        <translation type="vanished">%1 Einträge aus %2 importiert</translation>
    </message>
    <message>
        <source>, not saved yet</source>
        <translation type="vanished">, noch nicht gespeichert</translation>
    </message>
</context>
<context>
    <name>tarvik::import_csv</name>
    <message>
        <source>1 entry imported from %1 — %2 takes it out again</source>
        <translation>1 Eintrag aus %1 importiert — %2 nimmt ihn wieder heraus</translation>
    </message>
    <message>
        <source>%1 entries imported from %2 — %3 takes them out again</source>
        <translation>%1 Einträge aus %2 importiert — %3 nimmt sie wieder heraus</translation>
    </message>
</context>
<context>
    <name>tarvik::interval_command</name>
    <message>
        <source>Add Interval %1</source>
        <translation>Intervall %1 hinzufügen</translation>
    </message>
    <message>
        <source>Remove Interval %1</source>
        <translation>Intervall %1 entfernen</translation>
    </message>
    <message>
        <source>Change Interval %1</source>
        <translation>Intervall %1 ändern</translation>
    </message>
    <message>
        <source>Could not undo %1: the interval has been changed or removed since.</source>
        <translation>„%1“ konnte nicht rückgängig gemacht werden: Das Intervall wurde seitdem geändert oder entfernt.</translation>
    </message>
    <message>
        <source>Could not redo %1: the interval has been changed or removed since.</source>
        <translation>„%1“ konnte nicht wiederhergestellt werden: Das Intervall wurde seitdem geändert oder entfernt.</translation>
    </message>
    <message>
        <source>%1 was not saved: another program changed the service intervals meanwhile.</source>
        <translation>„%1“ wurde nicht gespeichert: Ein anderes Programm hat die Wartungsintervalle inzwischen geändert.</translation>
    </message>
</context>
<context>
    <name>tarvik::log_files</name>
    <message>
        <source>%1 is no longer there; it is taken off the list of recent logs.</source>
        <translation>%1 ist nicht mehr vorhanden; es wird aus der Liste der zuletzt geöffneten Fahrtenbücher entfernt.</translation>
    </message>
    <message>
        <source>Open Log</source>
        <translation>Fahrtenbuch öffnen</translation>
    </message>
    <message>
        <source>Tarvik logs (*.txt);;All files (*)</source>
        <translation>Tarvik-Fahrtenbücher (*.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>New Log</source>
        <translation>Neues Fahrtenbuch</translation>
    </message>
    <message>
        <source>%1 already exists. Open it instead?</source>
        <translation>%1 gibt es bereits. Stattdessen öffnen?</translation>
    </message>
    <message>
        <source>&amp;%1 %2  (%3)</source>
        <translation>&amp;%1 %2  (%3)</translation>
    </message>
    <message>
        <source>No Recent Logs</source>
        <translation>Keine zuletzt geöffneten Fahrtenbücher</translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation>Menü leeren</translation>
    </message>
</context>
<context>
    <name>tarvik::log_notices</name>
    <message>
        <source>Problems in the log</source>
        <translation>Probleme im Fahrtenbuch</translation>
    </message>
    <message>
        <source>%1 was read with these problems. What could not be used stays in the file; correct it there if you like.</source>
        <translation>%1 wurde mit diesen Problemen gelesen. Was nicht verwendet werden konnte, bleibt in der Datei; korrigieren Sie es dort, wenn Sie möchten.</translation>
    </message>
    <message>
        <source> Before the first change is saved, a copy of the file as it is now is kept beside it.</source>
        <translation> Bevor die erste Änderung gespeichert wird, wird daneben eine Kopie der Datei in ihrem jetzigen Zustand aufbewahrt.</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <source>Problem</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>%1 is not a regular file (%2). Tarvik does not read it and never writes to it, so changes made in this window cannot be saved.</source>
        <translation>%1 ist keine reguläre Datei (%2). Tarvik liest sie nicht und schreibt nie hinein; Änderungen in diesem Fenster können daher nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>%1 could not be read: %2. The window starts empty. Before a change is saved, a copy of the file is kept beside it; while that cannot be done, changes are not saved.</source>
        <translation>%1 konnte nicht gelesen werden: %2. Das Fenster beginnt leer. Bevor eine Änderung gespeichert wird, wird daneben eine Kopie der Datei aufbewahrt; solange das nicht möglich ist, werden Änderungen nicht gespeichert.</translation>
    </message>
    <message>
        <source>%1 is not written: %2, which an export never replaces. Choose another file.</source>
        <translation>%1 wird nicht geschrieben: %2, das ein Export nie ersetzt. Wählen Sie eine andere Datei.</translation>
    </message>
    <message>
        <source>%1 is not written: %2.</source>
        <translation>%1 wird nicht geschrieben: %2.</translation>
    </message>
    <message>
        <source>These records were changed both in this window and by another program: %1. This window&apos;s version is saved in %2; the file as the other program left it is kept as %3.</source>
        <translation>Diese Einträge wurden sowohl in diesem Fenster als auch von einem anderen Programm geändert: %1. Die Fassung dieses Fensters ist in %2 gespeichert; die Datei, wie das andere Programm sie hinterlassen hat, wird als %3 aufbewahrt.</translation>
    </message>
    <message>
        <source>Part of %1 could not be read. The file as it was before this save is kept as %2.</source>
        <translation>Ein Teil von %1 konnte nicht gelesen werden. Die Datei, wie sie vor diesem Speichern war, wird als %2 aufbewahrt.</translation>
    </message>
    <message>
        <source>The change could not be saved to %1: %2.</source>
        <translation>Die Änderung konnte nicht in %1 gespeichert werden: %2.</translation>
    </message>
    <message>
        <source>It stays in the window and is saved with the next change that can be written, or when you try again.</source>
        <translation>Sie bleibt im Fenster und wird mit der nächsten Änderung gespeichert, die geschrieben werden kann, oder wenn Sie es erneut versuchen.</translation>
    </message>
    <message>
        <source>Try Again</source>
        <translation>Erneut versuchen</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Nicht jetzt</translation>
    </message>
    <message>
        <source>The last change could not be saved to %1: %2.</source>
        <translation>Die letzte Änderung konnte nicht in %1 gespeichert werden: %2.</translation>
    </message>
    <message>
        <source>Try to save it again before closing?</source>
        <translation>Vor dem Schließen erneut versuchen zu speichern?</translation>
    </message>
    <message>
        <source>Try to save it again before opening another log?</source>
        <translation>Vor dem Öffnen eines anderen Fahrtenbuchs erneut versuchen zu speichern?</translation>
    </message>
    <message>
        <source>Close Without Saving</source>
        <translation>Ohne Speichern schließen</translation>
    </message>
    <message>
        <source>Open Without Saving</source>
        <translation>Ohne Speichern öffnen</translation>
    </message>
</context>
<context>
    <name>tarvik::log_settings_dialog</name>
    <message>
        <source>Log Settings</source>
        <translation>Einstellungen des Fahrtenbuchs</translation>
    </message>
    <message>
        <source>The units of %1:</source>
        <translation>Die Einheiten von %1:</translation>
    </message>
    <message>
        <source>Kilometres (km)</source>
        <translation>Kilometer (km)</translation>
    </message>
    <message>
        <source>Miles (mi)</source>
        <translation>Meilen (mi)</translation>
    </message>
    <message>
        <source>&amp;Distance unit:</source>
        <translation>&amp;Längeneinheit:</translation>
    </message>
    <message>
        <source>a symbol or code: €, $, EUR</source>
        <translation>ein Zeichen oder Code: €, $, EUR</translation>
    </message>
    <message>
        <source>&amp;Currency:</source>
        <translation>&amp;Währung:</translation>
    </message>
    <message>
        <source>&amp;Remind me at login</source>
        <translation>Beim Anmelden e&amp;rinnern</translation>
    </message>
    <message>
        <source>When you log in, a desktop notification tells which services are due in the logs on the Open Recent list. Nothing is shown when none is due.</source>
        <translation>Beim Anmelden zeigt eine Desktop-Benachrichtigung, welche Wartungen in den Fahrtenbüchern der Liste „Zuletzt geöffnet“ fällig sind. Ist keine fällig, wird nichts angezeigt.</translation>
    </message>
    <message>
        <source>titles the printed history; else %1</source>
        <translation>Titel des gedruckten Wartungshefts; sonst %1</translation>
    </message>
    <message>
        <source>&amp;Vehicle:</source>
        <translation>&amp;Fahrzeug:</translation>
    </message>
    <message>
        <source>Litres (l)</source>
        <translation>Liter (l)</translation>
    </message>
    <message>
        <source>US gallons (US gal)</source>
        <translation>US-Gallonen (US gal)</translation>
    </message>
    <message>
        <source>Imperial gallons (imp gal)</source>
        <translation>Britische Gallonen (imp gal)</translation>
    </message>
    <message>
        <source>Kilowatt-hours (kWh), electric</source>
        <translation>Kilowattstunden (kWh), elektrisch</translation>
    </message>
    <message>
        <source>V&amp;olume unit:</source>
        <translation>V&amp;olumeneinheit:</translation>
    </message>
    <message>
        <source>Con&amp;sumption unit:</source>
        <translation>&amp;Verbrauchseinheit:</translation>
    </message>
</context>
<context>
    <name>tarvik::open_log</name>
    <message>
        <source>Saved together with changes another program made to the log</source>
        <translation>Zusammen mit den Änderungen eines anderen Programms am Fahrtenbuch gespeichert</translation>
    </message>
    <message>
        <source>Kept records another program had removed, as changed here: %1</source>
        <translation>Einträge behalten, die ein anderes Programm entfernt hatte, da sie hier geändert wurden: %1</translation>
    </message>
    <message>
        <source>a record that was deleted here</source>
        <translation>ein hier gelöschter Eintrag</translation>
    </message>
    <message>
        <source>%1 is the log open in this window</source>
        <translation>%1 ist das in diesem Fenster geöffnete Fahrtenbuch</translation>
    </message>
    <message>
        <source>%1 could not be opened: %2.</source>
        <translation>%1 konnte nicht geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>%1 could not be made: %2.</source>
        <translation>%1 konnte nicht angelegt werden: %2.</translation>
    </message>
    <message>
        <source>Opened %1</source>
        <translation>%1 geöffnet</translation>
    </message>
    <message>
        <source>The log was changed by another program; the next save merges it</source>
        <translation>Das Fahrtenbuch wurde von einem anderen Programm geändert; das nächste Speichern führt es zusammen</translation>
    </message>
    <message>
        <source>The log was changed by another program and cannot be read: %1</source>
        <translation>Das Fahrtenbuch wurde von einem anderen Programm geändert und kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The log was changed by another program; showing its new content</source>
        <translation>Das Fahrtenbuch wurde von einem anderen Programm geändert; sein neuer Inhalt wird gezeigt</translation>
    </message>
    <message>
        <source>Another program changed the service intervals in %1 meanwhile, so %2 not saved. The list now shows the intervals as they are; make the change again if it is still wanted.</source>
        <translation>Ein anderes Programm hat die Wartungsintervalle in %1 inzwischen geändert, daher %2 nicht gespeichert. Die Liste zeigt die Intervalle nun so, wie sie sind; nehmen Sie die Änderung erneut vor, wenn sie noch gewünscht ist.</translation>
    </message>
    <message>
        <source>this change and the earlier one that could not be saved were</source>
        <translation>wurden diese Änderung und die frühere, die nicht gespeichert werden konnte,</translation>
    </message>
    <message>
        <source>this change was</source>
        <translation>wurde diese Änderung</translation>
    </message>
    <message>
        <source>The service intervals could not be saved to %1: %2.</source>
        <translation>Die Wartungsintervalle konnten nicht in %1 gespeichert werden: %2.</translation>
    </message>
    <message>
        <source>The units could not be saved to %1: %2.</source>
        <translation>Die Einheiten konnten nicht in %1 gespeichert werden: %2.</translation>
    </message>
    <message>
        <source>The record is saved but hidden by the filter</source>
        <translation>Der Eintrag ist gespeichert, wird aber vom Filter ausgeblendet</translation>
    </message>
    <message>
        <source>The log was read without problems</source>
        <translation>Das Fahrtenbuch wurde ohne Probleme gelesen</translation>
    </message>
    <message>
        <source>The log could not be read: %1</source>
        <translation>Das Fahrtenbuch konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>, not saved yet</source>
        <translation>, noch nicht gespeichert</translation>
    </message>
    <message>
        <source>Undid: %1</source>
        <translation>Rückgängig gemacht: %1</translation>
    </message>
    <message>
        <source>Redid: %1</source>
        <translation>Wiederhergestellt: %1</translation>
    </message>
</context>
<context>
    <name>tarvik::record_commands</name>
    <message>
        <source>Could not %1 %2: the record has been changed or removed in the log since.</source>
        <translation>„%2“ konnte nicht %1 werden: Der Eintrag wurde seitdem im Fahrtenbuch geändert oder entfernt.</translation>
    </message>
    <message>
        <source>New</source>
        <translation type="vanished">Anlegen</translation>
    </message>
    <message>
        <source>undo</source>
        <translation>rückgängig gemacht</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="vanished">Bearbeiten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="vanished">Löschen</translation>
    </message>
    <message>
        <source>redo</source>
        <translation>wiederhergestellt</translation>
    </message>
    <message>
        <source>Import CSV</source>
        <translation>CSV-Import</translation>
    </message>
    <message>
        <source>Could not undo Import CSV: every imported record has been changed or removed in the log since.</source>
        <translation>Der CSV-Import konnte nicht rückgängig gemacht werden: Jeder importierte Eintrag wurde seitdem im Fahrtenbuch geändert oder entfernt.</translation>
    </message>
    <message>
        <source>Undo Import CSV left %1 of the imported records in the log: they have been changed or removed there since.</source>
        <translation>Das Rückgängigmachen des CSV-Imports hat %1 der importierten Einträge im Fahrtenbuch gelassen: Sie wurden dort seitdem geändert oder entfernt.</translation>
    </message>
    <message>
        <source>an entry without operation</source>
        <translation>ein Eintrag ohne Arbeit</translation>
    </message>
    <message>
        <source>New %1</source>
        <translation>Neu: %1</translation>
    </message>
    <message>
        <source>Edit %1</source>
        <translation>Bearbeiten: %1</translation>
    </message>
    <message>
        <source>Delete %1</source>
        <translation>Löschen: %1</translation>
    </message>
</context>
<context>
    <name>tarvik::record_model</name>
    <message>
        <source>Left out of the odometer figures: lower than the readings before it.</source>
        <translation>In den Kilometerzahlen ausgelassen: niedriger als die Stände davor.</translation>
    </message>
    <message>
        <source>Left out of the odometer figures: higher than the readings after it.</source>
        <translation>In den Kilometerzahlen ausgelassen: höher als die Stände danach.</translation>
    </message>
    <message>
        <source>No odometer reading (mileage 0): left out of the odometer figures.</source>
        <translation>Kein Kilometerstand (0): in den Kilometerzahlen ausgelassen.</translation>
    </message>
</context>
<context>
    <name>tarvik::record_rows</name>
    <message>
        <source>Mileage</source>
        <translation>Kilometerstand</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Arbeit</translation>
    </message>
    <message>
        <source>Cost</source>
        <translation>Kosten</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Fuel</source>
        <translation>Kraftstoff</translation>
    </message>
    <message>
        <source>Consumption</source>
        <translation>Verbrauch</translation>
    </message>
    <message>
        <source>Charged</source>
        <translation>Geladen</translation>
    </message>
</context>
<context>
    <name>tarvik::service_history</name>
    <message>
        <source>Service history: %1</source>
        <translation>Wartungsheft: %1</translation>
    </message>
    <message>
        <source>%1 entries, %2 to %3</source>
        <translation>%1 Einträge, %2 bis %3</translation>
    </message>
    <message>
        <source>No entries.</source>
        <translation>Keine Einträge.</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Mileage</source>
        <translation>Kilometerstand</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Arbeit</translation>
    </message>
    <message>
        <source>Cost</source>
        <translation>Kosten</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Total cost</source>
        <translation>Gesamtkosten</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
    <message>
        <source>1 entry, %1 to %2</source>
        <translation>1 Eintrag, %1 bis %2</translation>
    </message>
</context>
<context>
    <name>tarvik::statistics_panel</name>
    <message>
        <source>Entries</source>
        <translation>Einträge</translation>
    </message>
    <message>
        <source>Total cost</source>
        <translation>Gesamtkosten</translation>
    </message>
    <message>
        <source>Cost per year</source>
        <translation>Kosten pro Jahr</translation>
    </message>
    <message>
        <source>Cost per 1,000</source>
        <translation>Kosten pro 1.000</translation>
    </message>
    <message>
        <source>Distance per year</source>
        <translation>Strecke pro Jahr</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Arbeit</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>Anzahl</translation>
    </message>
    <message>
        <source>Every (distance)</source>
        <translation>Alle (Strecke)</translation>
    </message>
    <message>
        <source>Every (days)</source>
        <translation>Alle (Tage)</translation>
    </message>
    <message>
        <source>Cost per %1 %2</source>
        <translation>Kosten pro %1 %2</translation>
    </message>
    <message>
        <source>Every</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>no reading</source>
        <translation>kein Stand</translation>
    </message>
    <message>
        <source>lower than the readings before it</source>
        <translation>niedriger als die Stände davor</translation>
    </message>
    <message>
        <source>higher than the readings after it</source>
        <translation>höher als die Stände danach</translation>
    </message>
    <message>
        <source>%1 on %2 (%3)</source>
        <translation>%1 am %2 (%3)</translation>
    </message>
    <message>
        <source>%1 more against the others</source>
        <translation>%1 weitere im Widerspruch zu den anderen</translation>
    </message>
    <message>
        <source>%1 without a reading (mileage 0)</source>
        <translation>%1 ohne Stand (Kilometerstand 0)</translation>
    </message>
    <message>
        <source>1 reading left out of the odometer figures: %2</source>
        <translation type="vanished">1 Stand in den Kilometerzahlen ausgelassen: %2</translation>
    </message>
    <message>
        <source>%1 readings left out of the odometer figures: %2</source>
        <translation>%1 Stände in den Kilometerzahlen ausgelassen: %2</translation>
    </message>
    <message>
        <source>1 reading left out of the odometer figures: %1</source>
        <translation>1 Stand in den Kilometerzahlen ausgelassen: %1</translation>
    </message>
    <message>
        <source>Fuel</source>
        <translation>Kraftstoff</translation>
    </message>
    <message>
        <source>Services and other</source>
        <translation>Wartung und Sonstiges</translation>
    </message>
    <message>
        <source>Average consumption</source>
        <translation>Durchschnittsverbrauch</translation>
    </message>
    <message>
        <source>Best consumption</source>
        <translation>Bester Verbrauch</translation>
    </message>
    <message>
        <source>Worst consumption</source>
        <translation>Schlechtester Verbrauch</translation>
    </message>
</context>
</TS>
