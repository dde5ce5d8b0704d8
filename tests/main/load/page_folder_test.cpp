// Where the page goes: beside the program, in the cache folder or in a private folder, and
// why not when no folder will do.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
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

struct PlaceCase {
  const char* what;
  std::string program;  // the program's folder
  Env home, cache, runtime;
  std::string tmp;
  std::function<void(const testdta::TempDir&)> lay;  // what stands there before
  std::string page;                                   // expected, "{uid}" for the user's number
  std::string problem = {};                           // expected reason instead of a page
  bool asRootOnly = false, asUserOnly = false;        // rights root has whatever the mode says
};

std::string Expand(std::string text, const testdta::TempDir& root) {
  if (const auto at = text.find("{uid}"); at != std::string::npos) text.replace(at, 5, std::to_string(geteuid()));
  return root.Path(text);
}

TEST(PageFolderTest, TheFirstFolderThatCanHoldThePageTakesIt) {
  const auto file = [](const char* name) { return [=](const testdta::TempDir& root) { root.Write(name, "x"); }; };
  const auto privateFolder = [](mode_t mode) {
    return [=](const testdta::TempDir& root) {
      root.Folder("run");
      ASSERT_EQ(mkdir(root.Path("run/quandel").c_str(), mode), 0);
      ASSERT_EQ(chmod(root.Path("run/quandel").c_str(), mode), 0);
    };
  };
  const bool root = geteuid() == 0;
  const std::vector<PlaceCase> cases{
      {"beside a program whose folder can be written", "bin", "home", "cache", "run", "tmp",
       [](const auto& r) { r.Folder("bin"); }, "bin/dtaus.html"},
      {"the same with a separator at the end", "bin/", "home", "cache", "run", "tmp",
       [](const auto& r) { r.Folder("bin"); }, "bin/dtaus.html"},
      {"an install under any prefix uses the cache, its folder writable or not", "opt/q/bin", "home", "cache",
       "run", "tmp", [](const auto& r) { Install(r, "opt/q"); }, "cache/quandel/dtaus.html"},
      {"a folder of the system's programs", "/usr/bin/", "home", "cache", "run", "tmp", {},
       "cache/quandel/dtaus.html"},
      {"the default install folder", "/usr/local/bin", "home", "cache", "run", "tmp", {},
       "cache/quandel/dtaus.html"},
      {"a program folder that is missing", "weg", "home", "cache", "run", "tmp", {}, "cache/quandel/dtaus.html"},
      {"the cache folder is made with the folders above it", "weg", "home", "a/b", "run", "tmp", {},
       "a/b/quandel/dtaus.html"},
      {"without XDG_CACHE_HOME the home's cache", "weg", "home", std::nullopt, "run", "tmp", {},
       "home/.cache/quandel/dtaus.html"},
      {"no home and no cache folder: the private runtime folder", "weg", std::nullopt, std::nullopt, "run", "tmp",
       {}, "run/quandel/dtaus.html"},
      {"a cache folder that is a file", "weg", "home", "datei", "run", "tmp", file("datei"),
       "run/quandel/dtaus.html"},
      {"without a runtime folder the temporary folder", "weg", std::nullopt, std::nullopt, std::nullopt, "tmp", {},
       "tmp/quandel-{uid}/dtaus.html"},
      {"a private folder others may enter is refused", "weg", std::nullopt, std::nullopt, "run", "tmp",
       privateFolder(0755), "tmp/quandel-{uid}/dtaus.html"},
      {"a private folder that is a link is refused", "weg", std::nullopt, std::nullopt, "run", "tmp",
       [](const auto& r) {
         r.Folder("run");
         ASSERT_EQ(mkdir(r.Path("echt").c_str(), 0700), 0);
         ASSERT_EQ(symlink(r.Path("echt").c_str(), r.Path("run/quandel").c_str()), 0);
       },
       "tmp/quandel-{uid}/dtaus.html"},
      {"a private folder of another user is refused", "weg", std::nullopt, std::nullopt, "run", "tmp",
       [](const auto& r) {
         r.Folder("run");
         ASSERT_EQ(mkdir(r.Path("run/quandel").c_str(), 0700), 0);
         ASSERT_EQ(chown(r.Path("run/quandel").c_str(), 65534, 65534), 0);
       },
       "tmp/quandel-{uid}/dtaus.html", {}, true},
      {"a read-only cache folder", "weg", "home", "nur-lesen", "run", "tmp",
       [](const auto& r) { fs::permissions(r.Folder("nur-lesen"), fs::perms(0555)); }, "run/quandel/dtaus.html",
       {}, false, true},
      {"nothing will do: the cache folder's own reason", "weg", "home", "datei", std::nullopt, "tmp-datei",
       [](const auto& r) {
         r.Write("datei", "x");
         r.Write("tmp-datei", "x");
       },
       "datei/quandel/dtaus.html", "Ein Teil des Pfades ist kein Ordner."},
      {"nothing will do in a read-only cache folder: no right to write, not a missing folder", "weg", "home",
       "nur-lesen", std::nullopt, "tmp-datei",
       [](const auto& r) {
         fs::permissions(r.Folder("nur-lesen"), fs::perms(0555));
         r.Write("tmp-datei", "x");
       },
       "nur-lesen/quandel/dtaus.html", "Zugriff verweigert.", false, true},
      {"nothing will do without a home: the private folder's reason", "weg", std::nullopt, std::nullopt, "run",
       "tmp-datei",
       [](const auto& r) {
         r.Write("tmp-datei", "x");
         r.Folder("run");
         ASSERT_EQ(mkdir(r.Path("run/quandel").c_str(), 0750), 0);
         ASSERT_EQ(chmod(r.Path("run/quandel").c_str(), 0750), 0);
       },
       "run/quandel/dtaus.html", "Der Ordner ist nicht privat (Zugriffsrechte 750 statt 700)."},
  };
  for (const PlaceCase& c : cases) {
    SCOPED_TRACE(c.what);
    if ((c.asRootOnly && !root) || (c.asUserOnly && root)) continue;
    const testdta::TempDir dir;
    // As on a desktop: the runtime folder and the temporary folder are there.
    dir.Folder("run");
    dir.Folder("tmp");
    const auto below = [&](const Env& value) { return value ? Env(dir.Path(*value)) : std::nullopt; };
    if (c.lay) c.lay(dir);
    ScopedEnv home("HOME", below(c.home));
    ScopedEnv cache("XDG_CACHE_HOME", below(c.cache));
    ScopedEnv runtime("XDG_RUNTIME_DIR", below(c.runtime));
    ScopedEnv tmp("TMPDIR", dir.Path(c.tmp));
    const QString program = c.program.front() == '/' ? QString::fromStdString(c.program) : Q(dir.Path(c.program));
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
  for (const auto& [folder, installed] : cases) EXPECT_EQ(IsInstalledProgramDir(folder), installed) << folder.toStdString();
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
