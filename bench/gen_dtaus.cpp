// Writes a well-formed DTAUS file of COUNT payments for benchmarks and manual tests:
// gen_dtaus OUT.dta COUNT. Payments carry 0, 2 and 4 extension parts in turn.
// gen_dtaus FOLDER COUNT FILES writes an archive instead: FILES files of COUNT payments in
// subfolders of 100 (FOLDER/0/0.dta ... FOLDER/99/9999.dta), the payments numbered on through
// the archive and each file with its own reference, so that no two are alike.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void Put(std::string& r, std::size_t first, const std::string& value) {
  r.replace(first - 1, value.size(), value);
}

std::string Digits(long long value, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*lld", width, value);
  return buf;
}

std::string Text(const std::string& s) { return (s + std::string(27, ' ')).substr(0, 27); }

// Payments first..first+count-1 under the sender's reference `reference` (zeros when 0, as
// stricter readers demand); false when the file cannot be written.
bool WriteFile(const std::string& path, long long first, long long count, long long reference) {
  std::ofstream out(path, std::ios::binary);
  if (!out) {
    std::fprintf(stderr, "Datei \"%s\" kann nicht erstellt werden.\n", path.c_str());
    return false;
  }
  std::string a(128, ' ');
  Put(a, 1, "0128AGK1002003000000000");
  Put(a, 24, Text("MUSTERFIRMA [BERWEISUNGEN"));
  Put(a, 51, "081226");
  Put(a, 61, "0001234567");
  Put(a, 71, Digits(reference, 10));
  Put(a, 128, "1");
  out << a;

  long long cents = 0, kontoSum = 0, blzSum = 0;
  std::string record;
  for (long long i = first; i < first + count; ++i) {
    const int parts = static_cast<int>(i % 3) * 2;
    record.assign(parts <= 2 ? 256 : 384, ' ');
    const long long blz = 10000000 + i % 89999999;
    const long long konto = 1000000 + i * 7 % 9999999999LL;
    const long long amount = 1 + i * 37 % 9999999;
    Put(record, 1, Digits(187 + 29 * parts, 4) + "C");
    Put(record, 6, "10020030");
    Put(record, 14, Digits(blz, 8) + Digits(konto, 10) + "0000000000000" + "51000");
    Put(record, 51, "00000000000" + std::string("10020030") + "0001234567");
    Put(record, 80, Digits(amount, 11));
    Put(record, 94, Text("EMPF\\NGER NR " + std::to_string(i + 1)));
    Put(record, 156, Text("RECHNUNG " + std::to_string(i + 1)));
    Put(record, 183, "1");
    Put(record, 186, Digits(parts, 2));
    for (int p = 0; p < parts; ++p) {
      const auto at = static_cast<std::size_t>(p < 2 ? 188 + p * 29 : 257 + (p - 2) * 29);
      Put(record, at, "02" + Text("ZEILE " + std::to_string(p + 2) + " M]NCHEN"));
    }
    out << record;
    cents += amount;
    kontoSum += konto;
    blzSum += blz;
  }
  std::string e(128, ' ');
  Put(e, 1, "0128E     ");
  Put(e, 11, Digits(count, 7));
  Put(e, 18, Digits(0, 13));
  Put(e, 31, Digits(kontoSum % 100000000000000000LL, 17));
  Put(e, 48, Digits(blzSum % 100000000000000000LL, 17));
  Put(e, 65, Digits(cents % 10000000000000LL, 13));
  out << e;
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "Aufruf: gen_dtaus AUSGABE.dta ANZAHL | gen_dtaus ORDNER ANZAHL DATEIEN\n");
    return 2;
  }
  const long long count = std::atoll(argv[2]);
  if (argc == 3) return WriteFile(argv[1], 0, count, 0) ? 0 : 1;
  const long long files = std::atoll(argv[3]);
  for (long long f = 0; f < files; ++f) {
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / std::to_string(f / 100);
    std::filesystem::create_directories(folder);
    if (!WriteFile((folder / (std::to_string(f) + ".dta")).string(), f * count, count, f + 1)) return 1;
  }
  return 0;
}
