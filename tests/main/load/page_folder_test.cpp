// Where the page goes: beside the program, in the cache folder or in a private folder, and
// why not when no folder will do.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <stdexcept>

#include "page_folder.h"
#include "test_support.h"

namespace quandel::test {
namespace {

namespace fs = std::filesystem;
using Env = std::optional<std::string>;  // below the case's folder; nothing: unset

// A program folder that an install under some prefix made: its data folder beside holds the
// desktop entry.
void Install(const testdta::TempDir& root, const std::string& prefix) {
  root.Write(prefix + "/share/applications/quandel.desktop", "[Desktop Entry]\n");
  root.Folder(prefix + "/bin");
}

using Lay = void (*)(const testdta::TempDir&);  // what stands there before

void Nothing(const testdta::TempDir&) {}
void ProgramFolder(const testdta::TempDir& root) { root.Folder("bin"); }
void Installed(const testdta::TempDir& root) { Install(root, "opt/q"); }
void CacheIsAFile(const testdta::TempDir& root) { root.Write("datei", "x"); }
void Private(const testdta::TempDir& root, mode_t mode) {
  ASSERT_EQ(mkdir(root.Path("run/quandel").c_str(), mode), 0);
  ASSERT_EQ(chmod(root.Path("run/quandel").c_str(), mode), 0);
}
void OpenToOthers(const testdta::TempDir& root) { Private(root, 0755); }
void OpenToTheGroup(const testdta::TempDir& root) {
  Private(root, 0750);
  root.Write("tmp-datei", "x");
}
void PrivateIsALink(const testdta::TempDir& root) {
  ASSERT_EQ(mkdir(root.Path("echt").c_str(), 0700), 0);
  ASSERT_EQ(symlink(root.Path("echt").c_str(), root.Path("run/quandel").c_str()), 0);
}
void OfAnotherUser(const testdta::TempDir& root) {
  Private(root, 0700);
  ASSERT_EQ(chown(root.Path("run/quandel").c_str(), 65534, 65534), 0);
}
void ReadOnlyCache(const testdta::TempDir& root) {
  std::filesystem::permissions(root.Folder("nur-lesen"), std::filesystem::perms(0555));
}
void NothingWillDo(const testdta::TempDir& root) {
  CacheIsAFile(root);
  root.Write("tmp-datei", "x");
}
void NothingWillDoReadOnly(const testdta::TempDir& root) {
  ReadOnlyCache(root);
  root.Write("tmp-datei", "x");
}

// Root may write whatever the mode says, and only root may give a folder away.
enum class TWho { Anyone, Root, User };

struct PlaceCase {
  const char* what;
  std::string program;  // the program's folder
  Env home, cache, runtime;
  std::string tmp;
  Lay lay;
  std::string page;          // expected, "{uid}" for the user's number
  std::string problem = {};  // expected reason, instead of a page
  TWho who = TWho::Anyone;
};

std::string Expand(std::string text, const testdta::TempDir& root) {
  if (const auto at = text.find("{uid}"); at != std::string::npos)
    text.replace(at, 5, std::to_string(geteuid()));
  return root.Path(text);
}

TEST(PageFolderTest, TheFirstFolderThatCanHoldThePageTakesIt) {
  const std::nullopt_t unset = std::nullopt;
  const std::string cachePage = "cache/quandel/dtaus.html";
  const std::string runPage = "run/quandel/dtaus.html";
  const std::string tmpPage = "tmp/quandel-{uid}/dtaus.html";
  const std::string notAFolder = "Ein Teil des Pfades ist kein Ordner.";
  const std::string noProblem;
  // what; program folder; HOME, XDG_CACHE_HOME, XDG_RUNTIME_DIR, TMPDIR (below the case's
  // folder); what stands there; the page's path or, when none will do, the reason.
  const std::vector<PlaceCase> cases{
      {"a program folder that can be written", "bin", "home", "cache", "run", "tmp", ProgramFolder,
       "bin/dtaus.html"},
      {"the same with a separator at the end", "bin/", "home", "cache", "run", "tmp", ProgramFolder,
       "bin/dtaus.html"},
      {"an install under any prefix, writable", "opt/q/bin", "home", "cache", "run", "tmp", Installed,
       cachePage},
      {"a folder of the system's programs", "/usr/bin/", "home", "cache", "run", "tmp", Nothing, cachePage},
      {"the default install folder", "/usr/local/bin", "home", "cache", "run", "tmp", Nothing, cachePage},
      {"a program folder that is missing", "weg", "home", "cache", "run", "tmp", Nothing, cachePage},
      {"a cache folder made with those above", "weg", "home", "a/b", "run", "tmp", Nothing,
       "a/b/quandel/dtaus.html"},
      {"without XDG_CACHE_HOME the home's", "weg", "home", unset, "run", "tmp", Nothing,
       "home/.cache/quandel/dtaus.html"},
      {"no home, no cache: the runtime folder", "weg", unset, unset, "run", "tmp", Nothing, runPage},
      {"a cache folder that is a file", "weg", "home", "datei", "run", "tmp", CacheIsAFile, runPage},
      {"a read-only cache folder", "weg", "home", "nur-lesen", "run", "tmp", ReadOnlyCache, runPage,
       noProblem, TWho::User},
      {"no runtime folder: the temporary one", "weg", unset, unset, unset, "tmp", Nothing, tmpPage},
      {"a private folder others may enter", "weg", unset, unset, "run", "tmp", OpenToOthers, tmpPage},
      {"a private folder that is a link", "weg", unset, unset, "run", "tmp", PrivateIsALink, tmpPage},
      {"a private folder of another user", "weg", unset, unset, "run", "tmp", OfAnotherUser, tmpPage,
       noProblem, TWho::Root},
      // Nothing will do: the reason of the first folder that failed, the program's aside.
      {"a cache that is a file", "weg", "home", "datei", unset, "tmp-datei", NothingWillDo,
       "datei/quandel/dtaus.html", notAFolder},
      {"a read-only cache: no right to write, no folder missing", "weg", "home", "nur-lesen", unset,
       "tmp-datei", NothingWillDoReadOnly, "nur-lesen/quandel/dtaus.html", "Zugriff verweigert.", TWho::User},
      {"no home: the private folder's", "weg", unset, unset, "run", "tmp-datei", OpenToTheGroup, runPage,
       "Der Ordner ist nicht privat (Zugriffsrechte 750 statt 700)."},
  };
  const bool root = geteuid() == 0;
  for (const PlaceCase& c : cases) {
    SCOPED_TRACE(c.what);
    if ((c.who == TWho::Root && !root) || (c.who == TWho::User && root)) continue;
    const testdta::TempDir dir;
    // As on a desktop: the runtime folder and the temporary folder are there.
    dir.Folder("run");
    dir.Folder("tmp");
    const auto below = [&](const Env& value) { return value ? Env(dir.Path(*value)) : std::nullopt; };
    c.lay(dir);
    ScopedEnv home("HOME", below(c.home));
    ScopedEnv cache("XDG_CACHE_HOME", below(c.cache));
    ScopedEnv runtime("XDG_RUNTIME_DIR", below(c.runtime));
    ScopedEnv tmp("TMPDIR", dir.Path(c.tmp));
    const QString program =
        c.program.front() == '/' ? QString::fromStdString(c.program) : Q(dir.Path(c.program));
    const auto folders = PageFolders(program);
    const QString page = Q(Expand(c.page, dir));
    if (c.problem.empty()) {
      EXPECT_EQ(PreparePagePath(folders), page);
      EXPECT_TRUE(fs::is_directory(fs::path(page.toStdString()).parent_path()));
    } else {
      try {
        PreparePagePath(folders);
        ADD_FAILURE() << "no error";
      } catch (const std::runtime_error& error) {
        EXPECT_EQ(QString::fromStdString(error.what()),
                  QStringLiteral("Datei \"%1\" kann nicht erstellt werden. %2")
                      .arg(page, QString::fromStdString(c.problem)));
      }
    }
    if (c.problem.empty() && (c.page.starts_with("run/") || c.page.starts_with("tmp/"))) {
      struct stat st {};
      ASSERT_EQ(lstat(fs::path(page.toStdString()).parent_path().c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, 0700u);
    }
    if (fs::exists(dir.Path("nur-lesen"))) fs::permissions(dir.Path("nur-lesen"), fs::perms(0755));
  }
}

TEST(PageFolderTest, CacheDefaultsToTheHomeFolder) {
  testdta::TempDir home;
  ScopedEnv homeEnv("HOME", home.Path().string());
  // Relative values are to be ignored, as the base-directory rules say.
  for (const Env& value : {Env(), Env(""), Env("relativ/cache")}) {
    ScopedEnv env("XDG_CACHE_HOME", value);
    EXPECT_EQ(CacheFolder(), Q(home.Path() / ".cache" / "quandel"));
  }
  for (const Env& value : {Env(), Env(""), Env("relativ")}) {
    ScopedEnv noCache("XDG_CACHE_HOME", std::nullopt);
    ScopedEnv env("HOME", value);
    EXPECT_EQ(CacheFolder(), QString());
  }
}

TEST(PageFolderTest, InstalledProgramFoldersUnderAnyPrefix) {
  const testdta::TempDir dir;
  Install(dir, "opt/quandel");
  Install(dir, "home/user/.local");
  dir.Write("andere/share/applications/anderes.desktop", "x");
  dir.Folder("andere/bin");
  dir.Folder("ordner/share/applications/quandel.desktop");
  dir.Folder("ordner/bin");
  dir.Folder("build/src/quandel");
  const std::vector<std::pair<QString, bool>> cases{
      {QStringLiteral("/usr/bin"), true},
      {QStringLiteral("/usr/bin/"), true},
      {QStringLiteral("/usr/local/bin"), true},
      {QStringLiteral("/bin"), true},
      {QStringLiteral("/usr/local/bin/quandel"), false},
      {Q(dir.Path("opt/quandel/bin")), true},
      {Q(dir.Path("opt/quandel/bin/")), true},
      {Q(dir.Path("opt/quandel/share/../bin")), true},
      {Q(dir.Path("home/user/.local/bin")), true},
      // Another program's desktop entry, or a folder by the entry's name, betrays nothing.
      {Q(dir.Path("andere/bin")), false},
      {Q(dir.Path("ordner/bin")), false},
      {Q(dir.Path("build/src/quandel")), false},
      {Q(dir.Path("opt/quandel")), false},
  };
  for (const auto& [folder, installed] : cases)
    EXPECT_EQ(IsInstalledProgramDir(folder), installed) << folder.toStdString();
}

TEST(PageFolderTest, ThePageOfTheShownFileItselfGoesToTheNextFolder) {
  testdta::TempDir program;
  testdta::TempDir cache;
  ScopedEnv env("XDG_CACHE_HOME", cache.Path().string());
  const QString beside = Q(program.Path() / "dtaus.html");
  const std::string other = program.Write("a.dta", "x");
  const std::string page = program.Write("dtaus.html", "x");
  const QString cachePage = Q(cache.Path() / "quandel" / "dtaus.html");
  const auto folders = PageFolders(Q(program.Path()));
  EXPECT_EQ(PreparePagePath(folders, other), beside);
  EXPECT_EQ(PreparePagePath(folders, page), cachePage);
  EXPECT_EQ(PreparePagePath(folders, (program.Path() / "." / "dtaus.html").string()), cachePage);
  // Where every folder holds the shown file itself, nothing is written over it.
  std::filesystem::copy_file(page, cache.Path() / "quandel" / "dtaus.html");
  const std::vector<TPageFolder> cacheOnly{{Q(cache.Path() / "quandel"), TPageFolderKind::Cache}};
  EXPECT_THROW(PreparePagePath(cacheOnly, (cache.Path() / "quandel" / "dtaus.html").string()),
               std::runtime_error);
}

}  // namespace
}  // namespace quandel::test
