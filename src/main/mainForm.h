#pragma once
// The main window: menu, tool bar, browser view and status bar; shows one DTAUS file at a time.
#include <QMainWindow>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "dtaus.h"
#include "page_folder.h"
#include "platform.h"
#include "regional.h"
#include "row_exporter.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QShortcut;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;

namespace quandel {

class TBrowserView;
class TCheckView;
class TFileLoader;
class TViewCommands;
class TPaymentModel;
struct TLoadedFile;
struct TWrittenPage;

inline const char* const kOpenFilter =
    "DTAUS-Datei (*.dta)|*.dta|DTAUS-Datei (dtaus1.*)|dtaus1.*|Alle Dateien (*.*)|*.*";

class TmainForm : public QMainWindow {
  Q_OBJECT

 public:
  // `arguments` as the program received them, its own name first, each as FileNameFromBytes
  // gives it (names that are no UTF-8 survive). The page is written
  // beside the program in `programDir` when that folder can take it.
  TmainForm(TViewerPlatform platform, const QStringList& arguments, const QString& programDir,
            QWidget* parent = nullptr);
  ~TmainForm() override;

  // Loads, renders, writes and shows one file in the background; the status bar names it.
  // The list shows as soon as the file is read; until the page is written the earlier page
  // can come back (CancelLoad). A later ShowFile wins. Errors reach the general error handler.
  void ShowFile(const QString& FileName);
  bool isLoading() const;
  // Stops the load running; the page, list and status text shown before it stay.
  void CancelLoad();
  // Until the load running has ended (shown, failed or cancelled): loadEnded has come.
  void WaitForLoad();

  void SetAboutBox(std::function<void()> showAbout) { showAbout_ = std::move(showAbout); }

  QString StatusText() const;
  const ombra::TDtaus& dtaus() const { return *dtaus_; }

  QMenuBar* MainMenu1 = nullptr;
  QMenu* Datei1 = nullptr;
  QMenu* Hilfe1 = nullptr;
  QAction* N1 = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* StatusPanel = nullptr;
  // Beside the panel while a file is read and written, then while a long list is measured.
  QProgressBar* LoadProgress = nullptr;
  // Beside the bar while a file loads; Esc does the same.
  QToolButton* LoadCancel = nullptr;
  QWidget* browserPanel = nullptr;
  TBrowserView* WebBrowser1 = nullptr;
  // Find, "Gehe zu Zahlung" and zoom, below and around the view.
  TViewCommands* viewCommands = nullptr;
  // The check of the file shown, in the background: a bar above the list, marks in it.
  TCheckView* checkView = nullptr;

  QAction* fileOpenDtaus = nullptr;
  QAction* fileExit = nullptr;
  QAction* fileUpdateDtaus = nullptr;
  QAction* filePrint = nullptr;
  QAction* helpAbout = nullptr;

 signals:
  // The file of the load running is read: the status names it and its list is in sight, its
  // page still being written.
  void fileRead();
  void loadEnded();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateComponents();
  QAction* CreateAction(const char* name, const QString& caption, const QKeySequence& shortcut,
                        const QString& image, void (TmainForm::*handler)());
  void FormCreate(const QStringList& arguments, const QString& programDir);
  void CentreOnScreen();
  void FitFrame();
  void ReadRegionalSettings();
  void ShowLoadProgress(int percent);
  // `keepTop`: the first row in sight and its offset, kept where the new list has that row.
  void Load(const QString& FileName, std::optional<std::pair<int, int>> keepTop);
  void DocumentLoaded(const std::shared_ptr<const TLoadedFile>& file);
  void PageWritten(const std::shared_ptr<const TLoadedFile>& file,
                   const std::shared_ptr<const TWrittenPage>& page);
  void EndLoad();
  // Throws, in German, when `FileName` names nothing to load: gone, or a folder.
  static void RequireFile(const QString& FileName);
  // The general error handler: an exception ends the action, its message is shown.
  void Run(const std::function<void()>& action);

  void fileOpenDtausExecute();
  void fileExitExecute();
  void fileUpdateDtausExecute();
  void filePrintExecute();
  void helpAboutExecute();

  TViewerPlatform platform_;
  std::function<void()> showAbout_;
  // The document shown; each load reads into a fresh one, which the views then share.
  std::shared_ptr<const ombra::TDtaus> dtaus_;
  // The list of the load running, shown while its page is written.
  std::shared_ptr<TPaymentModel> loadingModel_;
  std::int32_t filterIndex_ = 1;
  QString initialDir_;
  std::vector<TPageFolder> pageFolders_;
  // Whether the window has taken the frame the window manager drew into its size.
  bool frameFitted_ = false;
  QString lastShownFile_;
  // The file of the document shown and its time when read, as the printed sheets name them.
  QString shownName_;
  QString shownTime_;
  TFileLoader* loader_ = nullptr;
  QTimer* loadTimer_ = nullptr;
  QShortcut* cancelShortcut_ = nullptr;
  // What a cancel brings back: as it was before the first of the loads still running.
  struct TBeforeLoad {
    QString Status;
    std::shared_ptr<const ombra::TDtaus> Document;
    QString Name, Time;
  };
  std::optional<TBeforeLoad> beforeLoad_;
  // The file each document still shown or at hand was read from, for the export.
  struct TSource {
    std::weak_ptr<const ombra::TDtaus> Document;
    TRowExporter::TSource File;
  };
  std::vector<TSource> sources_;
  TRowExporter::TSource SourceOf(const ombra::TDtaus& document) const;
  std::optional<std::pair<int, int>> keepTop_;
  ombra::TRegionalSettings regional_;
};

}  // namespace quandel
