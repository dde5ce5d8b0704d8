#include "archive_duplicates.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

#include "archive_run.h"
#include "cents.h"
#include "cp1252.h"
#include "csv_export.h"
#include "json_export.h"
#include "numfmt.h"
#include "search_fold.h"
#include "umlauts.h"

namespace cli {
namespace {

// The finaliser of MurmurHash3: every input bit reaches every output bit.
std::uint64_t Mix(std::uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33;
  x *= 0xc4ceb9fe1a85ec53ULL;
  x ^= x >> 33;
  return x;
}

std::uint64_t Hash64(std::string_view bytes, std::uint64_t seed) {
  std::uint64_t h = Mix(seed ^ (bytes.size() * 0x9E3779B97F4A7C15ULL));
  std::size_t at = 0;
  for (; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + at, 8);
    h = Mix(h ^ word) + 0x9E3779B97F4A7C15ULL;
  }
  std::uint64_t tail = 0;
  if (at < bytes.size()) std::memcpy(&tail, bytes.data() + at, bytes.size() - at);
  const std::uint64_t rest = bytes.size() - at;
  return Mix(h ^ tail ^ (rest << 56));
}

// What was seen of each distinct key: where it was seen first and the group it started, if
// any. Open addressing in one array: a million payments cost no million allocations, and the
// keys, hashed already, need no further hashing.
class TSeenTable {
 public:
  struct TEntry {
    TSameKey Key;
    std::uint32_t File = 0;
    std::uint32_t Number = 0;
    std::int32_t Group = -1;
    bool Used = false;
  };

  // The entry of `key` and whether it was added now, holding `file` and `number`.
  std::pair<TEntry*, bool> Insert(const TSameKey& key, std::uint32_t file, std::uint32_t number) {
    if ((size_ + 1) * 4 > slots_.size() * 3) Grow();
    return Place(key, file, number);
  }

 private:
  std::pair<TEntry*, bool> Place(const TSameKey& key, std::uint32_t file, std::uint32_t number) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = static_cast<std::size_t>(key.Low) & mask;; i = (i + 1) & mask) {
      TEntry& entry = slots_[i];
      if (!entry.Used) {
        entry = {key, file, number, -1, true};
        ++size_;
        return {&entry, true};
      }
      if (entry.Key == key) return {&entry, false};
    }
  }
  void Grow() {
    std::vector<TEntry> old = std::move(slots_);
    slots_.assign(std::max<std::size_t>(1024, old.size() * 2), TEntry{});
    size_ = 0;
    for (const TEntry& entry : old)
      if (entry.Used) Place(entry.Key, entry.File, entry.Number).first->Group = entry.Group;
  }

  std::vector<TEntry> slots_;
  std::size_t size_ = 0;
};

void AppendCents(std::string& out, std::int64_t cents) {
  char bytes[sizeof cents];
  std::memcpy(bytes, &cents, sizeof cents);
  out.append(bytes, sizeof bytes);
}

}  // namespace

TSameKey HashKey(std::string_view bytes) {
  return {Hash64(bytes, 0x243F6A8885A308D3ULL), Hash64(bytes, 0x13198A2E03707344ULL)};
}

bool PaymentKeyBytes(std::string& out, const ombra::TSatzC& c, bool euro, bool loose) {
  const auto cents = ToCents(c.Betrag);
  if (!cents) return false;
  out.clear();
  for (char ch : c.BLZ)
    if (ch != ' ') out += ch;
  out += '|';
  out += c.Konto;
  out += euro ? "|E|" : "|D|";
  AppendCents(out, *cents);
  if (!loose)
    for (const std::string_view line : c.Verwendungszweck)
      ombra::AppendFoldedText(out, line, ombra::TBlanks::Ignored);
  return true;
}

std::string BatchKeyBytes(const ombra::TDtaus& doc) {
  const ombra::TSatzA& a = *doc.SatzA;
  const ombra::TSatzE& e = *doc.SatzE;
  std::string key = a.Art + '|' + a.Name + '|' + a.BLZ + '|' + a.Konto + '|' + a.Referenz + '|' +
                    IsoDate(a.Datum) + (a.Euro ? "|E|" : "|D|") + e.AnzahlDatei + '|';
  AppendCents(key, ToCents(e.SummeDM).value_or(-1));
  AppendCents(key, ToCents(e.SummeEuro).value_or(-1));
  AppendCents(key, e.SummeKonto);
  AppendCents(key, e.SummeBLZ);
  return key;
}

bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream first(a, std::ios::binary);
  std::ifstream second(b, std::ios::binary);
  if (!first || !second) return false;
  std::vector<char> one(1 << 16);
  std::vector<char> two(1 << 16);
  for (;;) {
    first.read(one.data(), static_cast<std::streamsize>(one.size()));
    second.read(two.data(), static_cast<std::streamsize>(two.size()));
    const auto n = first.gcount();
    if (n != second.gcount() || std::memcmp(one.data(), two.data(), static_cast<std::size_t>(n)) != 0)
      return false;
    if (n == 0) return !first.bad() && !second.bad();
  }
}

namespace {

// A payment of one file as the worker hands it over; its text is kept only when it starts a
// group.
struct TPaymentKey {
  TSameKey Key;
  std::int64_t Cents = 0;
  std::uint32_t Number = 0;
  std::uint32_t TextEnd = 0;  // in TFileKeys::Texts, which holds the texts one after another
};

struct TFileKeys {
  TFileStatus Status = TFileStatus::Skipped;
  std::string Problem;
  std::optional<TSameKey> Batch;  // loaded files only
  std::int64_t TotalCents = 0;
  bool Euro = true;
  std::vector<TPaymentKey> Payments;
  // Per payment "NAME\tBLZ\tKONTO\tZWECK" as stored (Windows-1252, DIN codes, blanks).
  std::string Texts;
};

// A field of the stored texts: a tab of a broken file must not shift the fields behind it.
void AppendField(std::string& out, std::string_view field) {
  const std::size_t at = out.size();
  out.append(field);
  std::replace(out.begin() + static_cast<std::ptrdiff_t>(at), out.end(), '\t', ' ');
}

// "NAME\tBLZ\tKONTO\tZWECK" as stored to UTF-8 with each field as shown.
std::string Readable(std::string_view stored) {
  std::string text;
  for (std::size_t start = 0;;) {
    const std::size_t tab = stored.find('\t', start);
    text += ShownField(
        stored.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return text;
    text += '\t';
    start = tab + 1;
  }
}

TFileKeys KeysOfFile(const TCandidate& file, bool loose, const ombra::TRegionalSettings& rs) {
  TFileKeys keys;
  ombra::TDtaus doc;
  keys.Status = LoadArchiveFile(file, doc, rs, keys.Problem);
  if (keys.Status == TFileStatus::Skipped || keys.Status == TFileStatus::Vanished) return keys;
  keys.Euro = doc.SatzA->Euro;
  if (keys.Status == TFileStatus::Ok) keys.Batch = HashKey(BatchKeyBytes(doc));
  keys.Payments.reserve(doc.SatzCList.size());
  std::string bytes;
  for (std::size_t i = 0; i < doc.SatzCList.size(); ++i) {
    const ombra::TSatzC& c = doc.SatzCList[i];
    if (!PaymentKeyBytes(bytes, c, keys.Euro, loose)) continue;
    const std::int64_t cents = *ToCents(c.Betrag);
    AddCents(keys.TotalCents, cents);
    // Kept as stored; made readable only for the few payments that start a group.
    AppendField(keys.Texts, c.Name);
    keys.Texts += '\t';
    AppendField(keys.Texts, c.BLZ);
    keys.Texts += '\t';
    AppendField(keys.Texts, c.Konto);
    keys.Texts += '\t';
    if (!c.Verwendungszweck.empty()) AppendField(keys.Texts, c.Verwendungszweck[0]);
    keys.Payments.push_back({HashKey(bytes), cents, static_cast<std::uint32_t>(i + 1),
                             static_cast<std::uint32_t>(keys.Texts.size())});
  }
  return keys;
}

struct TMember {
  std::uint32_t File = 0;
  std::uint32_t Number = 0;  // 0 for a whole file
  bool SameBytes = false;    // a file with the bytes of the group's first
};

struct TGroup {
  bool Batch = false;
  std::int64_t Cents = 0;  // the payment's amount, or the batch's total
  bool Euro = true;
  std::int64_t Payments = 0;  // of each member: 1, or the batch's count
  std::string Text;           // payments: "NAME\tBLZ\tKONTO\tZWECK"
  std::vector<TMember> Members;
  bool AllSameBytes = false;
};

// Collects the keys in the order of the walk; the first file of a batch seen twice takes part
// in the comparison of payments, its copies do not (they are a group of their own).
class TCollector {
 public:
  explicit TCollector(bool loose) : loose_(loose) {}

  void Take(TFileKeys&& keys, const std::string& path) {
    const auto file = static_cast<std::uint32_t>(paths_.size());
    paths_.push_back(path);
    if (keys.Batch) {
      const auto [seen, fresh] = batches_.Insert(*keys.Batch, file, 0);
      if (!fresh) {
        AddBatchCopy(*seen, file, keys);
        return;
      }
    }
    std::uint32_t textStart = 0;
    for (const TPaymentKey& p : keys.Payments) {
      const auto [entry, fresh] = payments_.Insert(p.Key, file, p.Number);
      if (!fresh) {
        TSeenTable::TEntry& seen = *entry;
        if (seen.Group < 0) {
          seen.Group = static_cast<std::int32_t>(groups_.size());
          TGroup& group = groups_.emplace_back();
          group.Cents = p.Cents;
          group.Euro = keys.Euro;
          group.Payments = 1;
          group.Text = Readable(std::string_view(keys.Texts).substr(textStart, p.TextEnd - textStart));
          group.Members.push_back({seen.File, seen.Number, false});
        }
        groups_[static_cast<std::size_t>(seen.Group)].Members.push_back({file, p.Number, false});
      }
      textStart = p.TextEnd;
    }
  }

  // The groups, batches first, each kind the largest amount first; a batch's copies are
  // compared byte for byte with its first file.
  std::vector<TGroup> Groups() {
    for (TGroup& group : groups_) {
      if (!group.Batch) continue;
      group.AllSameBytes = true;
      for (std::size_t m = 1; m < group.Members.size(); ++m) {
        group.Members[m].SameBytes = SameBytes(paths_[group.Members[0].File], paths_[group.Members[m].File]);
        group.AllSameBytes = group.AllSameBytes && group.Members[m].SameBytes;
      }
    }
    std::stable_sort(groups_.begin(), groups_.end(), [](const TGroup& a, const TGroup& b) {
      if (a.Batch != b.Batch) return a.Batch;
      return a.Cents > b.Cents;
    });
    if (loose_)
      for (TGroup& group : groups_)
        if (!group.Batch) group.Text.erase(group.Text.rfind('\t'));
    return std::move(groups_);
  }

  const std::string& Path(std::uint32_t file) const { return paths_[file]; }

 private:
  void AddBatchCopy(TSeenTable::TEntry& seen, std::uint32_t file, const TFileKeys& keys) {
    if (seen.Group < 0) {
      seen.Group = static_cast<std::int32_t>(groups_.size());
      TGroup& group = groups_.emplace_back();
      group.Batch = true;
      group.Cents = keys.TotalCents;
      group.Euro = keys.Euro;
      group.Payments = static_cast<std::int64_t>(keys.Payments.size());
      group.Members.push_back({seen.File, 0, false});
    }
    groups_[static_cast<std::size_t>(seen.Group)].Members.push_back({file, 0, false});
  }

  bool loose_;
  std::vector<std::string> paths_;
  TSeenTable batches_;
  TSeenTable payments_;
  std::vector<TGroup> groups_;
};

std::string Money(std::int64_t cents, bool euro, const ombra::TRegionalSettings& rs) {
  std::string money;
  ombra::AppendMoney(money, static_cast<double>(cents) / 100.0, ombra::CurrencyText(euro), rs);
  return support::Cp1252ToUtf8(money);
}

std::vector<std::string> SplitTabs(const std::string& text) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = text.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(text.substr(start, tab - start));
  fields.push_back(text.substr(start));
  return fields;
}

std::string GroupText(const TGroup& group, const TCollector& files, const ombra::TRegionalSettings& rs) {
  const std::string count = std::to_string(group.Members.size());
  std::string text;
  if (group.Batch) {
    text = (group.AllSameBytes ? "Datei " + count + "-mal (gleiche Bytes): "
                               : "Datenträger " + count + "-mal (gleicher A- und E-Satz): ") +
           ombra::GroupedNumber(group.Payments) + (group.Payments == 1 ? " Zahlung, " : " Zahlungen, ") +
           Money(group.Cents, group.Euro, rs) + "\n";
    for (std::size_t m = 0; m < group.Members.size(); ++m)
      text += "  " + FileNameToUtf8(files.Path(group.Members[m].File)) +
              (m > 0 && !group.AllSameBytes && group.Members[m].SameBytes ? " (gleiche Bytes wie die erste)"
                                                                          : "") +
              "\n";
    return text;
  }
  const auto fields = SplitTabs(group.Text);
  text = "Zahlung " + count + "-mal: " + Money(group.Cents, group.Euro, rs) + " an " + fields[0] + ", BLZ " +
         fields[1] + ", Konto " + fields[2];
  if (fields.size() > 3) text += ", „" + fields[3] + "“";
  text += "\n";
  for (const TMember& member : group.Members)
    text +=
        "  " + FileNameToUtf8(files.Path(member.File)) + " Zahlung " + std::to_string(member.Number) + "\n";
  return text;
}

std::string GroupJson(const TGroup& group, const TCollector& files) {
  TJson members = TJson::array();
  for (std::size_t m = 0; m < group.Members.size(); ++m) {
    TJson member;
    AddFileJson(member, files.Path(group.Members[m].File));
    if (group.Batch)
      member["same_bytes"] = m == 0 || group.Members[m].SameBytes;
    else
      member["payment"] = group.Members[m].Number;
    members.push_back(std::move(member));
  }
  TJson json = {{"kind", group.Batch ? (group.AllSameBytes ? "file" : "batch") : "payment"},
                {"cents", group.Cents},
                {"currency", ombra::CurrencyText(group.Euro)}};
  if (group.Batch) {
    json["payments"] = group.Payments;
  } else {
    const auto fields = SplitTabs(group.Text);
    json["name"] = fields[0];
    json["blz"] = ombra::FoldDigits(fields[1]);
    json["konto"] = fields[2];
    if (fields.size() > 3) json["purpose"] = fields[3];
  }
  json["members"] = std::move(members);
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

// "14 Gruppen, 31 Zahlungen, 18.240,00 EUR mehrfach": every payment of a group, and what was
// paid beyond the first time.
std::string Summary(const std::vector<TGroup>& groups, const ombra::TRegionalSettings& rs) {
  std::int64_t payments = 0;
  std::int64_t euro = 0;
  std::int64_t dm = 0;
  for (const TGroup& group : groups) {
    const auto members = static_cast<std::int64_t>(group.Members.size());
    payments += group.Payments * members;
    AddCents(group.Euro ? euro : dm, group.Cents * (members - 1));
  }
  const auto n = static_cast<std::int64_t>(groups.size());
  std::string line = ombra::GroupedNumber(n) + (n == 1 ? " Gruppe, " : " Gruppen, ") +
                     ombra::GroupedNumber(payments) + (payments == 1 ? " Zahlung, " : " Zahlungen, ") +
                     Money(euro, true, rs);
  if (dm != 0) line += " und " + Money(dm, false, rs);
  return line + " mehrfach";
}

}  // namespace

int RunDuplicates(const TInvocation& invocation, const ombra::TRegionalSettings& rs, std::ostream& err,
                  bool showProgress) {
  TWalk walk = WalkPaths(invocation.Paths);
  TArchiveTally tally(invocation.Verbose);
  TCollector collector(invocation.Loose);
  TProgress progress(err, showProgress, walk.Files.size());
  std::size_t index = 0;
  RunInOrder<TFileKeys>(
      walk, JobCount(invocation.Jobs, walk), progress,
      [&](const TCandidate& file) { return KeysOfFile(file, invocation.Loose, rs); },
      [&](TFileKeys&& keys) {
        const std::string& path = walk.Files[index++].Path;
        const TFileStatus status = keys.Status;
        tally.File(status, std::move(keys.Problem));
        if (status != TFileStatus::Skipped && status != TFileStatus::Vanished)
          collector.Take(std::move(keys), path);
      },
      [&](const TPassed& passed) { tally.Passed(passed); });
  const std::vector<TGroup> groups = collector.Groups();
  TOutput output("");
  output.Open();
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (invocation.Json) {
      output.Write(GroupJson(groups[g], collector));
    } else {
      if (g > 0) output.Write("\n");
      output.Write(GroupText(groups[g], collector, rs));
    }
  }
  const int exitCode = groups.empty() && tally.Counts.Unreadable == 0 ? kExitOk : kExitFailed;
  return FinishArchiveRun(output, tally.Problems, err, exitCode, Summary(groups, rs));
}

}  // namespace cli
