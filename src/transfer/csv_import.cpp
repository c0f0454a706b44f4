#include "transfer/csv_import.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <ctime>
#include <optional>

#include "data/number_text.h"
#include "data/calendar.h"
#include "insight/consumption.h"
#include "transfer/csv_export.h"

namespace tarvik {
namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// An operation or note as the export wrote it, without the quote it puts
// before a text a spreadsheet would run as a formula (csv_export.h).
std::string text_cell(const std::string& cell) {
  if (!cell.empty() && cell.front() == '\'' && formula_guarded(cell)) return cell.substr(1);
  return cell;
}

std::string lower_ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The words of a header, lower-cased: runs of letters (a UTF-8 character
// counts as one, its Latin-1 capitals lower-cased too), read apart at
// anything else and where a small letter meets a capital, so that
// "FuelConsumed" and "fuel_consumed" read alike. NUL bytes are passed over,
// as column_name leaves them out of the name shown.
std::vector<std::string> words_of(std::string_view header) {
  std::vector<std::string> words;
  std::string word;
  bool after_small = false;
  const auto end_word = [&] {
    if (!word.empty()) words.push_back(std::move(word));
    word.clear();
    after_small = false;
  };
  for (std::size_t i = 0; i < header.size(); ++i) {
    const char c = header[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\0') continue;
    if (c >= 'A' && c <= 'Z') {
      if (after_small) end_word();
      word += static_cast<char>(c - 'A' + 'a');
      after_small = false;
    } else if (c >= 'a' && c <= 'z') {
      word += c;
      after_small = true;
    } else if (byte == 0xC2 && i + 1 < header.size() &&
               static_cast<unsigned char>(header[i + 1]) == 0xA0) {
      end_word();  // a no-break space
      ++i;
    } else if (byte >= 0x80) {
      word += c;
      after_small = true;
      // À..Þ (but ×) to à..þ: "QUANTITÉ" is "quantité".
      if (byte == 0xC3 && i + 1 < header.size()) {
        const auto next = static_cast<unsigned char>(header[i + 1]);
        const bool capital = next >= 0x80 && next <= 0x9E && next != 0x97;
        word += static_cast<char>(capital ? next + 0x20 : next);
        after_small = !capital;
        ++i;
      }
    } else {
      end_word();
    }
  }
  end_word();
  return words;
}

using word_list = std::initializer_list<std::string_view>;

bool any_of_words(const std::vector<std::string>& words, word_list known) {
  for (const std::string& word : words) {
    for (const std::string_view k : known) {
      if (word == k) return true;
    }
  }
  return false;
}

const word_list kDateWords{"date", "datum", "data", "fecha", "dato"};
// Readings of the odometer, not distances since the last entry.
const word_list kOdometerWords{
    "odometer", "odo", "mileage", "kilometerstand", "tachostand", "kmstand", "compteur",
    "kilométrage", "kilometrage", "odomètre", "kilometraje", "odómetro", "odometro",
    "chilometraggio", "contachilometri", "kilometerteller", "przebieg", "licznik",
    "quilometragem", "odômetro", "hodômetro", "hodometro"};
const word_list kDistanceWords{"km", "miles", "mi", "kilometers", "kilometres", "kilometer",
                               "kilometre", "kilometri", "kilómetros", "kilometros"};
const word_list kOperationWords{
    "description", "service", "operation", "type", "title", "beschreibung", "leistung",
    "bezeichnung", "wartung", "libellé", "libelle", "intervention", "opération", "entretien",
    "descripción", "descripcion", "servicio", "concepto", "descrizione", "intervento",
    "servizio", "omschrijving", "beschrijving", "onderhoud", "opis", "usługa", "usluga",
    "czynność", "descrição", "descricao", "serviço", "servico", "operação", "operacao"};
const word_list kCostWords{
    "cost", "costs", "price", "amount", "total", "expenses", "expense", "kosten", "betrag",
    "preis", "gesamtkosten", "gesamtbetrag", "gesamtpreis", "summe", "coût", "cout", "montant",
    "prix", "costo", "coste", "importe", "precio", "gasto", "gastos", "importo", "prezzo",
    "spesa", "bedrag", "prijs", "totaal", "koszt", "koszty", "kwota", "cena", "suma", "razem",
    "custo", "valor", "preço", "preco", "totale"};
// What was paid in all, before any other cost column.
const word_list kTotalWords{"total", "totaal", "totale", "gesamt", "gesamtkosten",
                            "gesamtbetrag", "gesamtpreis", "summe", "suma", "razem"};
// A price alone: per unit where a quantity is beside it.
const word_list kPriceWords{"price", "preis", "prix", "precio", "prezzo", "prijs",
                            "cena", "preço", "preco"};
const word_list kNotesWords{
    "notes", "note", "comment", "comments", "memo", "notiz", "notizen", "bemerkung",
    "bemerkungen", "anmerkung", "anmerkungen", "remarque", "remarques", "commentaire",
    "commentaires", "notas", "nota", "comentario", "comentarios", "observaciones",
    "osservazioni", "opmerking", "opmerkingen", "notitie", "notities", "uwagi", "notatki",
    "notatka", "komentarz", "observações", "observacoes", "observação", "observacao"};
const word_list kQuantityWords{
    "quantity", "volume", "liters", "litres", "liter", "litre", "gallons", "gallon", "menge",
    "tankmenge", "quantité", "quantite", "cantidad", "litros", "litro", "quantità", "quantita",
    "litri", "hoeveelheid", "ilość", "ilosc", "litry", "quantidade", "kwh"};
// Units a price per unit names ("Price / L").
const word_list kVolumeUnits{"l", "ltr", "liter", "litre", "litro", "litr", "gal", "gallon",
                             "kwh"};
const word_list kPerWords{"per", "pro", "por", "par", "al", "za", "je", "unit", "unitaire",
                          "unitario", "unitário", "unitaria", "jednostkowa", "eenheidsprijs"};
const word_list kUnitPriceWords{"literpreis", "litrepreis", "volumeprice", "unitprice",
                                "literprijs"};
// Columns of figures and codes that hold none of an entry's values, though
// their names may have a word that would take a role: the economy, codes
// and numbers of records, reminders, distances since the last entry.
const word_list kNeverWords{
    "economy", "efficiency", "consumption", "verbrauch", "consommation", "consumo", "verbruik",
    "zużycie", "mpg", "kpl", "speed", "temp", "temperature", "duration", "latitude", "longitude",
    "remind", "reminder", "repeat", "notification", "interval", "percentage", "rate", "additive",
    "exclude", "calc", "id", "version", "template", "income", "bc", "obc", "second", "third",
    "added", "trip", "distance", "since", "payment", "unit", "units", "number", "capacity",
    "link", "shift", "method", "strecke", "tankcalc"};
const word_list kMissedWords{"missed", "missing", "verpasst", "vergessen", "manqué"};
const word_list kPartialWords{"partial", "teilbetankung", "teilweise", "partiel", "partielle",
                              "parcial", "parziale", "gedeeltelijk", "częściowe", "czesciowe"};
const word_list kFullWords{"full", "voll", "volltank", "volltankung", "plein", "lleno", "pieno",
                           "cheio", "pełny", "pelny"};
const word_list kCurrencyWords{"currency", "währung", "wahrung", "devise", "monnaie", "moneda",
                               "divisa", "valuta", "waluta", "moeda"};
const word_list kFuelTypeWords{"fueltype", "kraftstoff", "kraftstoffart", "kraftstoffsorte",
                               "sorte", "carburant", "combustible", "carburante", "brandstof",
                               "paliwo", "combustível", "combustivel", "octane"};

// The role a word of a header names, or `extra`.
csv_role role_of_word(const std::string& word, bool distance_is_mileage) {
  const std::vector<std::string> one{word};
  if (any_of_words(one, kDateWords)) return csv_role::date;
  if (any_of_words(one, kOdometerWords)) return csv_role::mileage;
  if (distance_is_mileage && any_of_words(one, kDistanceWords)) return csv_role::mileage;
  if (any_of_words(one, kOperationWords)) return csv_role::operation;
  if (any_of_words(one, kCostWords)) return csv_role::cost;
  if (any_of_words(one, kNotesWords)) return csv_role::notes;
  return csv_role::extra;
}

// What a header says of its column by itself; `fuel_alone` and `type_alone`
// and `price_alone` are settled by the columns beside it.
enum class header_kind {
  words,  // the first word that names a free role decides
  never, quantity, unit_price, full, partial, missed, currency, fuel_type, total, operation,
  fuel_alone, type_alone, price_alone,
};

header_kind kind_of(std::string_view header, const std::vector<std::string>& words) {
  const auto has = [&](word_list known) { return any_of_words(words, known); };
  const bool priced = has(kPriceWords) || any_of_words(words, {"cost", "costo", "koszt"});
  if (has(kUnitPriceWords) || (priced && (has(kPerWords) || has(kVolumeUnits))) ||
      (words.size() == 2 && words[0] == "volume" && words[1] == "price")) {
    return header_kind::unit_price;
  }
  if (has(kNeverWords) || header.find("/100") != std::string_view::npos) {
    return header_kind::never;
  }
  if (has(kMissedWords)) return header_kind::missed;
  if (has(kPartialWords)) return header_kind::partial;
  if (has(kFullWords)) return header_kind::full;
  if (has(kCurrencyWords)) return header_kind::currency;
  if (has(kFuelTypeWords) ||
      (any_of_words(words, {"fuel"}) && any_of_words(words, {"type", "sort", "grade"}))) {
    return header_kind::fuel_type;
  }
  const bool fuel = any_of_words(words, {"fuel", "fill", "tank"});
  if (has(kQuantityWords) || (fuel && any_of_words(words, {"amount", "consumed", "quantity"}))) {
    return header_kind::quantity;
  }
  if (words.size() == 1 && words[0] == "fuel") return header_kind::fuel_alone;
  if (words == std::vector<std::string>{"type"} ||
      words == std::vector<std::string>{"fill", "type"} ||
      words == std::vector<std::string>{"tankart"}) {
    return header_kind::type_alone;
  }
  // "Km total" is a distance, "Total cost" what was paid.
  if (has(kTotalWords)) {
    for (const std::string& word : words) {
      const csv_role role = role_of_word(word, true);
      if (role == csv_role::cost) return header_kind::total;
      if (role != csv_role::extra) break;
    }
  }
  if (any_of_words(words, {"title", "titel", "titre", "título", "titolo", "tytuł"})) {
    return header_kind::operation;
  }
  if (words.size() == 1 && has(kPriceWords)) return header_kind::price_alone;
  return header_kind::words;
}


// A cell as a message quotes it. A long one is cut (never inside a UTF-8
// character): a cell of megabytes would make a line nobody reads, and one
// slow to draw.
std::string quoted(const std::string& cell) {
  constexpr std::size_t kLongest = 60;
  if (cell.size() <= kLongest) return '"' + cell + '"';
  std::size_t cut = kLongest;
  for (int back = 0; back < 3 && (static_cast<unsigned char>(cell[cut]) & 0xC0) == 0x80; ++back) {
    --cut;
  }
  return '"' + cell.substr(0, cut) + "...\"";
}

// Whether `digits` is a whole part grouped in threes by `group`: 1 to 3
// digits, then groups of exactly 3.
bool grouped_in_threes(std::string_view digits, char group) {
  std::size_t start = 0;
  bool first = true;
  for (;;) {
    const std::size_t end = std::min(digits.find(group, start), digits.size());
    const std::size_t length = end - start;
    if (length == 0 || length > 3 || (!first && length != 3)) return false;
    for (std::size_t i = start; i < end; ++i) {
      if (!std::isdigit(static_cast<unsigned char>(digits[i]))) return false;
    }
    if (end == digits.size()) return true;
    first = false;
    start = end + 1;
  }
}

// A no-break space, a narrow no-break space (as .NET writes "1.234,50 €")
// or a thin space, at the start of `text`: its length in bytes, or 0.
std::size_t wide_blank_at(std::string_view text) {
  if (text.substr(0, 2) == "\xC2\xA0") return 2;
  if (text.substr(0, 3) == "\xE2\x80\xAF" || text.substr(0, 3) == "\xE2\x80\x89") return 3;
  return 0;
}

// The length of the wide blank `text` ends in, or 0.
std::size_t wide_blank_before(std::string_view text, std::size_t end) {
  if (end >= 2 && wide_blank_at(text.substr(end - 2, 2)) == 2) return 2;
  if (end >= 3 && wide_blank_at(text.substr(end - 3, 3)) == 3) return 3;
  return 0;
}

std::string_view without_blanks(std::string_view text) {
  for (;;) {
    text = trimmed(text);
    if (const std::size_t n = wide_blank_at(text)) {
      text.remove_prefix(n);
    } else if (const std::size_t m = wide_blank_before(text, text.size())) {
      text.remove_suffix(m);
    } else {
      return text;
    }
  }
}

// A decimal number with `decimals` as its mark (see import_rows), or false.
// `canonical`, when given, gets it as the log writes numbers: a full stop,
// no grouping.
bool read_number(std::string_view cell, decimal_mark decimals, double& value,
                 std::string* canonical = nullptr) {
  std::string_view text = trimmed(cell);
  if (text.empty()) {
    value = 0;
    if (canonical != nullptr) canonical->clear();
    return true;
  }
  // Blanks of any width may group in threes: "1 234,50".
  std::string spaced;
  if (std::any_of(text.begin(), text.end(),
                  [](char c) { return c == ' ' || static_cast<unsigned char>(c) >= 0x80; })) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      const std::size_t n = wide_blank_at(text.substr(i));
      spaced += n > 0 ? ' ' : text[i];
      if (n > 0) i += n - 1;
    }
    text = spaced;
  }
  const char point = decimals == decimal_mark::comma ? ',' : '.';
  const char mark = decimals == decimal_mark::comma ? '.' : ',';
  const std::size_t at = text.find(point);
  if (at != std::string_view::npos && text.find(point, at + 1) != std::string_view::npos) return false;
  std::string_view whole = text.substr(0, at);
  const std::string_view fraction = at == std::string_view::npos ? std::string_view() : text.substr(at + 1);
  if (fraction.find(mark) != std::string_view::npos || fraction.find(' ') != std::string_view::npos) {
    return false;
  }
  std::string plain;
  if (!whole.empty() && (whole[0] == '-' || whole[0] == '+')) {
    plain += whole[0];
    whole.remove_prefix(1);
  }
  const bool marked = whole.find(mark) != std::string_view::npos;
  const bool blank = whole.find(' ') != std::string_view::npos;
  if (marked && blank) return false;
  if (marked || blank) {
    const char group = marked ? mark : ' ';
    if (!grouped_in_threes(whole, group)) return false;
    for (const char c : whole) {
      if (c != group) plain += c;
    }
  } else {
    plain += whole;
  }
  if (at != std::string_view::npos) {
    plain += '.';
    plain += fraction;
  }
  // Plain digits only: no hexadecimal, no "inf", no units.
  for (const char c : plain) {
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
          c == 'e' || c == 'E')) {
      return false;
    }
  }
  if (!whole_double_text(plain.c_str())) return false;
  value = parse_double(plain.c_str());
  if (canonical != nullptr) *canonical = std::move(plain);
  return std::isfinite(value);
}

bool iso_code(std::string_view currency) {
  return currency.size() == 3 &&
         std::all_of(currency.begin(), currency.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// Currency signs, and the ISO code of the one currency each names alone.
struct currency_sign {
  std::string_view written;
  std::string_view code;  // empty: kept as written
};
constexpr currency_sign kCurrencySigns[] = {
    {"\xE2\x82\xAC", "EUR"}, {"\xC2\xA3", "GBP"},     {"z\xC5\x82", "PLN"}, {"R$", "BRL"},
    {"\xE2\x82\xB9", "INR"}, {"\xE2\x82\xBD", "RUB"}, {"\xE2\x82\xBA", "TRY"},
    {"\xE2\x82\xA9", "KRW"}, {"\xE2\x82\xAA", "ILS"}, {"\xE2\x82\xAB", "VND"},
    {"\xE2\x82\xB1", "PHP"}, {"\xE0\xB8\xBF", "THB"}, {"\xE2\x82\xB4", "UAH"},
    {"K\xC4\x8D", "CZK"},    {"Ft", "HUF"},            {"lei", "RON"},       {"US$", "USD"},
    {"C$", "CAD"},           {"A$", "AUD"},            {"NZ$", "NZD"},       {"HK$", "HKD"},
    {"Fr.", "CHF"},          {"RM", "MYR"},            {"R", "ZAR"},         {"$", ""},
    {"\xC2\xA5", ""},        {"kr", ""},               {"kr.", ""},          {"Kr", ""},
    {"Rs", ""},              {"Rs.", ""},
};

// The signs written for the currency of ISO `code`.
std::vector<std::string_view> signs_of(std::string_view code) {
  std::vector<std::string_view> signs;
  for (const currency_sign& known : kCurrencySigns) {
    if (known.code == code) signs.push_back(known.written);
  }
  return signs;
}

// The currency a symbol or code names, as the entry keeps it: an ISO code
// where the symbol names one currency alone, else the symbol as written;
// empty when `token` names none.
std::string currency_named(std::string_view token) {
  for (const currency_sign& known : kCurrencySigns) {
    if (token == known.written) return std::string(known.code.empty() ? token : known.code);
  }
  return iso_code(token) ? std::string(token) : std::string();
}

// A money cell taken apart: the number with its sign, and the currency
// written before or after it ("$-12.00", "-$12.00", "($12.00)", "1.234,50 €").
struct amount_parts {
  std::string_view number;
  bool negative = false;  // a sign or parentheses outside the number
  std::string currency;
};

bool split_amount(std::string_view cell, amount_parts& parts) {
  std::string_view text = without_blanks(cell);
  parts = {};
  const auto digit_or_mark = [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == ',';
  };
  // Most cells are plain numbers: nothing to take apart.
  if (text.empty() || (digit_or_mark(text.back()) &&
                       (digit_or_mark(text.front()) || text.front() == '-' || text.front() == '+') &&
                       (text.size() < 2 || digit_or_mark(text[1])))) {
    parts.number = text;
    return true;
  }
  if (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
    parts.negative = true;
    text = without_blanks(text.substr(1, text.size() - 2));
  }
  if (text.size() >= 2 && text.front() == '-' && !digit_or_mark(text[1])) {
    if (parts.negative) return false;
    parts.negative = true;
    text = without_blanks(text.substr(1));
  }
  const auto blank_at = [&](std::size_t i) {
    return text[i] == ' ' || text[i] == '\t' || wide_blank_at(text.substr(i)) > 0;
  };
  std::size_t before = 0;
  while (before < text.size() && !digit_or_mark(text[before]) && text[before] != '-' &&
         text[before] != '+' && !blank_at(before)) {
    ++before;
  }
  std::size_t after = text.size();
  while (after > before && !std::isdigit(static_cast<unsigned char>(text[after - 1])) &&
         text[after - 1] != ' ' && text[after - 1] != '\t' && wide_blank_before(text, after) == 0) {
    --after;
  }
  // "12." and "12," stay whole for read_number to judge.
  if (text.substr(after).find_first_not_of(".,") == std::string_view::npos) after = text.size();
  if (before > 0 && after < text.size()) return false;  // one currency a cell
  const std::string_view token = before > 0 ? text.substr(0, before) : text.substr(after);
  if (!token.empty()) {
    parts.currency = currency_named(token);
    if (parts.currency.empty()) return false;
  }
  parts.number = without_blanks(text.substr(before, after - before));
  if (parts.number.empty()) return token.empty();
  return !(parts.negative && (parts.number.front() == '-' || parts.number.front() == '+'));
}

// A cost or price: a number as read_number reads it, with a currency
// around it (see import_rows).
bool read_amount(std::string_view cell, decimal_mark decimals, double& value,
                 std::string* canonical, std::string& currency) {
  amount_parts parts;
  if (!split_amount(cell, parts) || !read_number(parts.number, decimals, value, canonical)) {
    return false;
  }
  if (parts.negative) {
    value = -value;
    if (canonical != nullptr && !canonical->empty()) canonical->insert(0, 1, '-');
  }
  currency = std::move(parts.currency);
  return true;
}

// What a number cell tells of the decimal mark: the mark, or nothing.
std::optional<decimal_mark> mark_told_by(std::string_view cell) {
  amount_parts parts;
  if (!split_amount(cell, parts)) return std::nullopt;
  const std::string_view text = parts.number;
  const std::size_t comma = text.rfind(',');
  const std::size_t stop = text.rfind('.');
  if (comma != std::string_view::npos && stop != std::string_view::npos) {
    return comma > stop ? decimal_mark::comma : decimal_mark::full_stop;
  }
  const std::size_t last = comma != std::string_view::npos ? comma : stop;
  if (last == std::string_view::npos) return std::nullopt;
  const decimal_mark as_decimal = last == comma ? decimal_mark::comma : decimal_mark::full_stop;
  const decimal_mark other = last == comma ? decimal_mark::full_stop : decimal_mark::comma;
  if (text.find(text[last]) != last) return other;  // twice: it groups
  std::size_t digits = 0;
  while (last + 1 + digits < text.size() &&
         std::isdigit(static_cast<unsigned char>(text[last + 1 + digits]))) {
    ++digits;
  }
  if (last + 1 + digits != text.size()) return std::nullopt;  // not a plain number
  if (digits != 3) return as_decimal;
  return std::nullopt;
}

// Reads up to `count` unsigned numbers separated by one of `separators`,
// each of 1 to `widest` digits. Returns how many were read; `rest` is what
// follows the last.
int read_parts(std::string_view text, const char* separators, int count, int widest, long* parts,
               std::string_view& rest) {
  int read = 0;
  std::size_t i = 0;
  while (read < count) {
    const std::size_t start = i;
    long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) &&
           static_cast<int>(i - start) < widest) {
      value = value * 10 + (text[i] - '0');
      ++i;
    }
    if (i == start) break;
    parts[read++] = value;
    if (read == count || i >= text.size()) break;
    if (std::string_view(separators).find(text[i]) == std::string_view::npos) break;
    ++i;
  }
  rest = text.substr(i);
  return read;
}

bool read_date(std::string_view cell, date_order order, long& date) {
  const std::string_view text = trimmed(cell);
  long parts[3] = {};
  std::string_view rest;
  // 2002-05-01, 2002/05/01 and 2002.05.01 alike, as spreadsheets write them.
  if (read_parts(text, "./-", 3, 4, parts, rest) != 3) {
    return false;
  }
  long year = 0;
  long month = 0;
  long day = 0;
  switch (order) {
    case date_order::iso: year = parts[0], month = parts[1], day = parts[2]; break;
    case date_order::day_first: day = parts[0], month = parts[1], year = parts[2]; break;
    case date_order::month_first: month = parts[0], day = parts[1], year = parts[2]; break;
  }
  if (year < 1000) return false;  // two-digit years say too little
  long clock[3] = {0, 0, 0};
  if (!rest.empty()) {
    if (rest.front() != 'T' && rest.front() != ' ') return false;
    rest.remove_prefix(1);
    std::string_view after;
    const int read = read_parts(rest, ":", 3, 2, clock, after);
    if (read < 2 || !trimmed(after).empty()) return false;
  }
  const std::optional<long> moment = local_time(year, month, day, clock[0], clock[1], clock[2]);
  if (!moment) return false;
  date = *moment;
  return true;
}

bool number_role(csv_role role) {
  return role == csv_role::mileage || role == csv_role::cost || role == csv_role::quantity ||
         role == csv_role::unit_price;
}

// A yes/no cell as the programs write them; nothing for an empty one.
bool read_flag(std::string_view cell, std::optional<bool>& flag) {
  const std::string text = lower_ascii(trimmed(cell));
  flag.reset();
  if (text.empty()) return true;
  for (const char* yes : {"yes", "y", "true", "1", "x", "ja", "oui", "si", "s\xC3\xAD", "sim", "tak", "wahr"}) {
    if (text == yes) flag = true;
  }
  for (const char* no : {"no", "n", "false", "0", "nein", "non", "nee", "nie", "n\xC3\xA3o", "nao", "falsch"}) {
    if (text == no) flag = false;
  }
  return flag.has_value();
}

}  // namespace

bool surely_other_currency(std::string_view file_currency, std::string_view log_currency) {
  const std::string file = currency_named(trimmed(file_currency));
  const std::string log = currency_named(trimmed(log_currency));
  if (file.empty() || log.empty() || file == log) return false;
  if (iso_code(file) == iso_code(log)) return true;  // two codes, or two signs, that differ
  // A sign several currencies share ("$", "kr") against a code: surely
  // another only where every sign of that currency is another ("€" is never
  // "$"; "C$" may be written "$").
  const std::string& sign = iso_code(file) ? log : file;
  const std::string& code = iso_code(file) ? file : log;
  bool has_sign = false;
  for (const std::string_view written : signs_of(code)) {
    has_sign = true;
    if (written.find(sign) != std::string_view::npos) return false;
  }
  return has_sign;
}

char guess_separator(std::string_view text) {
  int commas = 0;
  int semicolons = 0;
  int tabs = 0;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n') break;
    commas += c == ',';
    semicolons += c == ';';
    tabs += c == '\t';
  }
  if (tabs > commas && tabs > semicolons) return '\t';
  return semicolons > commas ? ';' : ',';
}

namespace {

struct reading {
  char separator = ',';
  bool escapes = false;
  bool blanks = false;
};

// Walks the cells of `text` as `how` says, handing each character, cell
// end and row end to `sink`, which may stop the walk by returning false.
// One walk for reading and for the guesses that compare readings.
template <typename Sink>
void walk_csv(std::string_view text, const reading& how, Sink& sink) {
  std::size_t line = 1;
  std::size_t row_line = 1;
  std::size_t cell_size = 0;
  bool quoted = false;
  bool any = false;  // the row has begun
  const auto escaped = [&](std::size_t i, bool in_quotes) {
    if (!how.escapes || i + 1 >= text.size()) return false;
    const char next = text[i + 1];
    return next == '"' || next == '\\' || (!in_quotes && next == how.separator);
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '\\' && escaped(i, true)) {
        sink.add(text[++i]);
        ++cell_size;
      } else if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          sink.add('"');
          ++cell_size;
          ++i;
        } else {
          quoted = false;
        }
      } else {
        if (c == '\n') ++line;
        sink.add(c);
        ++cell_size;
      }
      continue;
    }
    if (c == '\\' && escaped(i, false)) {
      sink.add(text[++i]);
      ++cell_size;
      any = true;
    } else if (c == '"' && cell_size == 0) {
      quoted = true;
      any = true;
    } else if (c == how.separator) {
      if (!sink.end_cell()) return;
      cell_size = 0;
      any = true;
      if (how.blanks && i + 1 < text.size() && text[i + 1] == ' ') ++i;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (any || cell_size != 0) {
        if (!sink.end_cell()) return;
        sink.end_row(row_line);
      }
      cell_size = 0;
      any = false;
      row_line = ++line;
    } else {
      sink.add(c);
      ++cell_size;
      any = true;
    }
  }
  if (any || cell_size != 0) {
    if (!sink.end_cell()) return;
    sink.end_row(row_line);
  }
}

// The cells of each row, counted: enough to compare two readings.
struct cell_counter {
  std::vector<std::size_t> counts;
  std::size_t cells = 0;
  void add(char) {}
  bool end_cell() {
    ++cells;
    return true;
  }
  void end_row(std::size_t) {
    counts.push_back(cells);
    cells = 0;
  }
};

// Rows whose cells are not as many as the header's.
std::size_t ragged_rows(std::string_view text, const reading& how) {
  cell_counter counter;
  walk_csv(text, how, counter);
  if (counter.counts.empty()) return 0;
  return static_cast<std::size_t>(std::count_if(
      counter.counts.begin(), counter.counts.end(),
      [&](std::size_t count) { return count != counter.counts.front(); }));
}

struct table_builder {
  csv_table& table;
  std::size_t most_cells;
  std::vector<std::string> row;
  std::string cell;
  std::size_t cells = 0;
  void add(char c) { cell += c; }
  bool end_cell() {
    if (++cells > most_cells) {
      table.complete = false;
      return false;
    }
    row.push_back(std::move(cell));
    cell.clear();
    return true;
  }
  void end_row(std::size_t line) {
    table.rows.push_back(std::move(row));
    table.line_of.push_back(line);
    row.clear();
  }
};

}  // namespace

bool guess_blank_after_separator(std::string_view text, char separator) {
  if (separator == ' ') return false;
  bool quoted = false;
  bool blank = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (quoted || c != separator) continue;
    const char next = i + 1 < text.size() ? text[i + 1] : '\n';
    if (next == ' ') {
      blank = true;
    } else if (next != '\n' && next != '\r') {
      return false;
    }
  }
  return blank;
}

bool guess_backslash_escapes(std::string_view text, char separator, bool blank_after_separator) {
  // Most files hold no such backslash: one quick look spares them the
  // two readings.
  bool seen = false;
  for (std::size_t at = text.find('\\'); at != std::string_view::npos && !seen;
       at = text.find('\\', at + 1)) {
    seen = at + 1 < text.size() && (text[at + 1] == separator || text[at + 1] == '"');
  }
  if (!seen) return false;
  const std::size_t plain = ragged_rows(text, {separator, false, blank_after_separator});
  const std::size_t escaped = ragged_rows(text, {separator, true, blank_after_separator});
  return escaped < plain;
}

csv_table read_csv(std::string_view text, const csv_options& options, std::size_t most_cells) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  csv_table table;
  table.separator = options.separator != 0 ? options.separator : guess_separator(text);
  table.blank_after_separator = options.blank_after_separator.has_value()
                                    ? *options.blank_after_separator
                                    : guess_blank_after_separator(text, table.separator);
  table.backslash_escapes =
      options.backslash_escapes.has_value()
          ? *options.backslash_escapes
          : guess_backslash_escapes(text, table.separator, table.blank_after_separator);
  table_builder builder{table, most_cells, {}, {}, 0};
  walk_csv(text, {table.separator, table.backslash_escapes, table.blank_after_separator}, builder);
  return table;
}

csv_table read_csv(std::string_view text, char separator, std::size_t most_cells) {
  csv_options options;
  options.separator = separator;
  return read_csv(text, options, most_cells);
}

std::vector<csv_role> guess_roles(const std::vector<std::string>& header) {
  std::vector<csv_role> roles(header.size(), csv_role::extra);
  std::vector<std::vector<std::string>> words(header.size());
  std::vector<header_kind> kinds(header.size(), header_kind::words);
  bool quantity = false;
  bool unit_price = false;
  bool odometer = false;
  std::size_t total = header.size();  // the first total column
  for (std::size_t column = 0; column < header.size(); ++column) {
    words[column] = words_of(header[column]);
    // "Price (optional)" is a price.
    words[column].erase(std::remove(words[column].begin(), words[column].end(), "optional"),
                        words[column].end());
    const header_kind kind = kinds[column] = kind_of(header[column], words[column]);
    quantity = quantity || kind == header_kind::quantity || kind == header_kind::fuel_alone;
    unit_price = unit_price || kind == header_kind::unit_price;
    if (kind == header_kind::total && total == header.size()) total = column;
    if (kind == header_kind::words) odometer = odometer || any_of_words(words[column], kOdometerWords);
  }
  std::size_t quantities = 0;
  for (const header_kind kind : kinds) quantities += kind == header_kind::quantity;

  std::vector<bool> taken(static_cast<std::size_t>(csv_role::currency) + 1, false);
  const auto take = [&](std::size_t column, csv_role role) {
    if (taken[static_cast<std::size_t>(role)]) return;
    roles[column] = role;
    taken[static_cast<std::size_t>(role)] = true;
  };
  for (std::size_t column = 0; column < header.size(); ++column) {
    if (trimmed(header[column]).empty()) {
      roles[column] = csv_role::ignore;
      continue;
    }
    switch (kinds[column]) {
      case header_kind::never: continue;
      case header_kind::quantity: take(column, csv_role::quantity); continue;
      case header_kind::unit_price: take(column, csv_role::unit_price); continue;
      case header_kind::full: take(column, csv_role::full); continue;
      case header_kind::partial: take(column, csv_role::partial); continue;
      case header_kind::missed: take(column, csv_role::missed); continue;
      case header_kind::currency: take(column, csv_role::currency); continue;
      case header_kind::fuel_type: take(column, csv_role::fuel_type); continue;
      case header_kind::operation: take(column, csv_role::operation); continue;
      // "Fuel" beside a quantity names the fuel, else it is the quantity.
      case header_kind::fuel_alone:
        take(column, quantities > 0 ? csv_role::fuel_type : csv_role::quantity);
        continue;
      // "Type" beside a quantity is the kind of fill-up, else of service.
      case header_kind::type_alone:
        take(column, quantity ? csv_role::fill_type : csv_role::operation);
        continue;
      case header_kind::price_alone:
        if (quantity && !unit_price) {
          take(column, csv_role::unit_price);
          continue;
        }
        break;
      case header_kind::total:
      case header_kind::words:
        break;
    }
    for (const std::string& word : words[column]) {
      const csv_role role = role_of_word(word, !odometer);
      if (role == csv_role::extra || taken[static_cast<std::size_t>(role)]) continue;
      // The total is what was paid, whatever comes before it.
      if (role == csv_role::cost && total != header.size() && column != total) continue;
      take(column, role);
      break;
    }
  }
  return roles;
}

std::vector<csv_role> guess_roles(const std::vector<std::string>& header, const csv_table& table) {
  std::vector<csv_role> roles = guess_roles(header);
  const auto column_of = [&](csv_role role) {
    return static_cast<std::size_t>(std::find(roles.begin(), roles.end(), role) - roles.begin());
  };
  const std::size_t quantity = column_of(csv_role::quantity);
  const std::size_t cost = column_of(csv_role::cost);
  if (quantity == roles.size() || cost == roles.size() ||
      column_of(csv_role::unit_price) != roles.size()) {
    return roles;
  }
  // The first rows tell, and keep the guess quick on a long file.
  const decimal_mark decimals = guess_decimal_mark(table, roles);
  const std::size_t rows = std::min<std::size_t>(table.rows.size(), 101);
  const auto values_of = [&](std::size_t column) {
    std::vector<std::optional<double>> values;
    for (std::size_t r = 1; r < rows; ++r) {
      double value = 0;
      std::string currency;
      if (column < table.rows[r].size() && !trimmed(table.rows[r][column]).empty() &&
          read_amount(table.rows[r][column], decimals, value, nullptr, currency) && value != 0) {
        values.emplace_back(value);
      } else {
        values.emplace_back();
      }
    }
    return values;
  };
  const std::vector<std::optional<double>> quantities = values_of(quantity);
  // Whether `price` times the quantity gives `paid` on every row that has
  // all three, to the rounding of a price to a tenth of a cent, and on at
  // least one row with a quantity other than 1.
  const auto gives = [&](const std::vector<std::optional<double>>& price,
                         const std::vector<std::optional<double>>& paid) {
    bool told = false;
    for (std::size_t i = 0; i < quantities.size(); ++i) {
      if (!quantities[i] || !price[i] || !paid[i]) continue;
      const double product = *quantities[i] * *price[i];
      if (std::fabs(product - *paid[i]) > std::max(0.02, 0.005 * std::fabs(*paid[i]))) return false;
      told = told || std::fabs(*quantities[i] - 1) > 0.01;
    }
    return told;
  };
  const std::vector<std::optional<double>> costs = values_of(cost);
  for (std::size_t column = 0; column < roles.size(); ++column) {
    if (roles[column] != csv_role::extra) continue;
    const std::vector<std::optional<double>> other = values_of(column);
    if (gives(costs, other)) {
      roles[cost] = csv_role::unit_price;
      roles[column] = csv_role::cost;
      break;
    }
    if (gives(other, costs)) {
      roles[column] = csv_role::unit_price;
      break;
    }
  }
  return roles;
}

std::string named_distance_unit(const std::vector<std::string>& header,
                                const std::vector<csv_role>& roles) {
  const std::size_t column =
      static_cast<std::size_t>(std::find(roles.begin(), roles.end(), csv_role::mileage) - roles.begin());
  if (column >= header.size()) return std::string();
  const std::string& name = header[column];
  const std::size_t open = name.find('(');
  const std::size_t close = name.find(')', open);
  if (open == std::string::npos || close == std::string::npos) return std::string();
  return distance_unit_named(std::string_view(name).substr(open + 1, close - open - 1));
}

std::string distance_unit_named(std::string_view word) {
  std::string unit = lower_ascii(trimmed(word));
  if (!unit.empty() && unit.back() == '.') unit.pop_back();
  // Whole words only: "kmh" or "miles per gallon" name no distance unit.
  for (const char* km : {"km", "kms", "kilometers", "kilometres", "kilometer", "kilometre"}) {
    if (unit == km) return "km";
  }
  for (const char* mi : {"mi", "miles", "mile"}) {
    if (unit == mi) return "mi";
  }
  return {};
}

date_guess guess_date_order(const csv_table& table, std::size_t column) {
  bool day_first_possible = true;
  bool month_first_possible = true;
  bool iso = true;
  bool any = false;
  for (std::size_t r = 1; r < table.rows.size(); ++r) {
    if (column >= table.rows[r].size()) continue;
    const std::string_view cell = trimmed(table.rows[r][column]);
    if (cell.empty()) continue;
    any = true;
    long parts[3] = {};
    std::string_view rest;
    if (read_parts(cell, "./-", 3, 4, parts, rest) != 3) continue;
    if (parts[0] < 1000) iso = false;
    if (parts[0] > 12) month_first_possible = false;
    if (parts[1] > 12) day_first_possible = false;
  }
  date_guess guess;
  if (iso && any) return guess;
  guess.order = month_first_possible && !day_first_possible ? date_order::month_first
                                                            : date_order::day_first;
  guess.ambiguous = day_first_possible == month_first_possible;
  return guess;
}

std::string column_name(const std::vector<std::string>& header, std::size_t column) {
  std::string name = column < header.size() ? header[column] : std::string();
  name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
  if (trimmed(name).empty()) return "Column " + std::to_string(column + 1);
  return name;
}

decimal_mark guess_decimal_mark(const csv_table& table, const std::vector<csv_role>& roles) {
  std::size_t commas = 0;
  std::size_t stops = 0;
  for (std::size_t r = 1; r < table.rows.size(); ++r) {
    const std::vector<std::string>& row = table.rows[r];
    for (std::size_t column = 0; column < row.size() && column < roles.size(); ++column) {
      if (!number_role(roles[column])) continue;
      if (const std::optional<decimal_mark> told = mark_told_by(row[column])) {
        (*told == decimal_mark::comma ? commas : stops) += 1;
      }
    }
  }
  if (commas != stops) return commas > stops ? decimal_mark::comma : decimal_mark::full_stop;
  return table.separator == ';' ? decimal_mark::comma : decimal_mark::full_stop;
}

import_result import_rows(const csv_table& table, const std::vector<csv_role>& roles,
                          date_order dates, decimal_mark decimals, std::size_t text_limit) {
  import_result result;
  if (table.rows.empty()) return result;
  const std::vector<std::string>& header = table.rows.front();
  const bool operation_column =
      std::find(roles.begin(), roles.end(), csv_role::operation) != roles.end();
  std::size_t text_made = 0;
  result.entries.reserve(table.rows.size() - 1);
  for (std::size_t r = 1; r < table.rows.size(); ++r) {
    const std::vector<std::string>& row = table.rows[r];
    // A spreadsheet's empty line (";;;;") holds nothing to keep or report.
    if (std::all_of(row.begin(), row.end(),
                    [](const std::string& cell) { return trimmed(cell).empty(); })) {
      continue;
    }
    imported_entry entry;
    entry.line = table.line_of[r];
    std::string problem;
    bool dated = false;
    bool too_much = false;
    bool paid = false;  // a cost cell holds a value
    bool full_told = false;
    bool not_partial = false;  // a blank in a column of partial fill-ups
    std::optional<double> quantity;
    std::optional<double> unit_price;
    std::string currency;         // as the money cells name it
    std::string currency_column;  // as a currency column names it
    std::size_t currency_field = 0;  // its place among the fields, from 1
    std::string extras;
    std::size_t field_text = 0;  // of entry.fields, keys and values
    const auto add_field = [&](std::string_view key, std::string value) {
      field_text += key.size() + value.size();
      entry.fields.push_back({std::string(key), std::move(value)});
    };
    for (std::size_t column = 0; column < row.size() && problem.empty(); ++column) {
      const csv_role role = column < roles.size() ? roles[column] : csv_role::extra;
      const std::string& cell = row[column];
      // Named only where a name is written: a file may have millions of
      // columns, mostly empty. A column without a name is called by its
      // number, so that a note never holds a value nobody can tell the
      // meaning of.
      const auto name = [&] { return column_name(header, column); };
      // The log would cut the text there on reading it back.
      if (role != csv_role::ignore && cell.find('\0') != std::string::npos) {
        problem = name() + " holds a NUL character, which a log cannot keep";
        break;
      }
      // The money cells of a row name one currency at most.
      const auto read_money = [&](double& number, std::string* canonical) {
        std::string named;
        if (!read_amount(cell, decimals, number, canonical, named)) {
          problem = name() + " " + quoted(cell) + " is not a number";
          return false;
        }
        if (named.empty() || named == currency) return true;
        if (!currency.empty()) {
          problem = name() + " " + quoted(cell) + " is in another currency than " + currency;
          return false;
        }
        currency = std::move(named);
        return true;
      };
      const auto read_yes_no = [&](std::optional<bool>& flag) {
        if (read_flag(cell, flag)) return true;
        if (!trimmed(cell).empty()) problem = name() + " " + quoted(cell) + " is not yes or no";
        return false;
      };
      const auto tell_full = [&](bool full) {
        if (full_told) return;
        full_told = true;
        add_field(kFullKey, full ? "yes" : "no");
      };
      double number = 0;
      std::string canonical;
      std::optional<bool> flag;
      switch (role) {
        case csv_role::ignore:
          break;
        case csv_role::mileage:
          if (!read_number(cell, decimals, number)) {
            problem = name() + " " + quoted(cell) + " is not a number";
          }
          entry.mileage = number;
          break;
        case csv_role::cost:
          if (!read_money(number, nullptr)) break;
          if (!std::isfinite(static_cast<float>(number))) {
            // A cost is kept in single precision: this one would be infinite.
            problem = name() + " " + quoted(cell) + " is too large";
          }
          paid = !trimmed(cell).empty();
          entry.cost = static_cast<float>(number);
          break;
        case csv_role::quantity:
          if (!read_number(cell, decimals, number, &canonical)) {
            problem = name() + " " + quoted(cell) + " is not a number";
          } else if (!canonical.empty()) {
            quantity = number;
            add_field(kFuelKey, std::move(canonical));
          }
          break;
        case csv_role::unit_price:
          if (read_money(number, &canonical) && !canonical.empty()) {
            unit_price = number;
            add_field(kPriceKey, std::move(canonical));
          }
          break;
        case csv_role::full:
        case csv_role::partial:
          if (read_yes_no(flag)) {
            if (flag) {
              tell_full(*flag == (role == csv_role::full));
            } else {
              // Files that mark partial fill-ups leave the full ones blank.
              not_partial = role == csv_role::partial;
            }
          }
          break;
        case csv_role::missed:
          if (read_yes_no(flag) && flag == true) add_field(kMissedKey, "yes");
          break;
        case csv_role::fill_type: {
          // 1 to full, 2 partly, 3 the first fill-up (to full).
          const std::string_view code = trimmed(cell);
          if (code == "1" || code == "3") {
            tell_full(true);
          } else if (code == "2") {
            tell_full(false);
          } else if (!code.empty()) {
            problem = name() + " " + quoted(cell) + " is not a fill type (1 full, 2 partial, 3 first)";
          }
          break;
        }
        case csv_role::fuel_type:
          if (!trimmed(cell).empty()) add_field(kFuelTypeKey, text_cell(cell));
          break;
        case csv_role::currency: {
          const std::string_view written = trimmed(cell);
          currency_column = currency_named(written);
          if (currency_column.empty()) currency_column = std::string(written);
          // In the column's place, as the log's own export has it.
          if (!currency_column.empty() && currency_field == 0) {
            add_field(kCurrencyKey, std::string());
            currency_field = entry.fields.size();
          }
          break;
        }
        case csv_role::date:
          if (trimmed(cell).empty()) {
            problem = "no date";
          } else if (!read_date(cell, dates, entry.date)) {
            problem = name() + " " + quoted(cell) + " is not a date of the form chosen";
          }
          dated = true;
          break;
        case csv_role::operation:
          entry.operation = text_cell(cell);
          break;
        case csv_role::notes:
          entry.notes = text_cell(cell);
          break;
        case csv_role::extra:
          if (trimmed(cell).empty()) break;
          // Checked as the notes grow: one row may be wide enough on its own.
          if (text_made + field_text + extras.size() + cell.size() +
                  (column < header.size() ? header[column].size() : 0) >
              text_limit) {
            too_much = true;
            break;
          }
          // A column whose name can be a key of the log becomes a field of
          // the entry under it; any other (a second "Notes", a name with
          // ";") goes to the notes as a "Header: value" line.
          if (const std::string key(trimmed(name())); usable_field_key(key)) {
            add_field(key, text_cell(cell));
            break;
          }
          if (!extras.empty()) extras += '\n';
          extras += name();
          extras += ": ";
          extras += cell;
          break;
      }
      if (too_much) break;
    }
    if (!too_much && problem.empty() && !dated) problem = "no date";
    // A currency column says which of the dollars or crowns a "$" or "kr"
    // is; two codes that differ cannot both be right.
    if (problem.empty() && !currency_column.empty()) {
      if (iso_code(currency) && iso_code(currency_column) && currency != currency_column) {
        problem = "the cost is in " + currency + ", " +
                  column_name(header, static_cast<std::size_t>(
                                          std::find(roles.begin(), roles.end(), csv_role::currency) -
                                          roles.begin())) +
                  " says " + currency_column;
      }
      currency = currency_column;
    }
    if (!problem.empty()) {
      result.problems.push_back({entry.line, problem});
      continue;
    }
    if (quantity && unit_price && !paid) {
      // What the pump charged: to the cent.
      entry.cost = static_cast<float>(std::round(*quantity * *unit_price * 100) / 100);
      ++result.costs_from_price;
    }
    if (quantity && !operation_column) entry.operation = "Fuel";
    if (quantity && not_partial && !full_told) add_field(kFullKey, "yes");
    if (!currency.empty()) {
      if (std::find(result.currencies.begin(), result.currencies.end(), currency) ==
          result.currencies.end()) {
        result.currencies.push_back(currency);
      }
      if (currency_field > 0) {
        field_text += currency.size();
        entry.fields[currency_field - 1].value = std::move(currency);
      } else {
        add_field(kCurrencyKey, std::move(currency));
      }
    }
    if (!extras.empty()) entry.notes += (entry.notes.empty() ? "" : "\n") + extras;
    text_made += entry.operation.size() + entry.notes.size() + field_text;
    if (too_much || text_made > text_limit) {
      result.entries.clear();
      result.currencies.clear();
      result.costs_from_price = 0;
      result.problems.push_back(
          {entry.line, "the entries up to this row hold more than " +
                           std::to_string(text_limit >> 20) +
                           " MiB of text, more than one import may bring: nothing is imported"});
      break;
    }
    result.entries.push_back(std::move(entry));
  }
  return result;
}

}  // namespace tarvik
