#pragma once
// The dialog that chooses the file to open. Qt's file dialog lists a folder through QDir, which
// leaves out every name that is no UTF-8 ("b\xFCro.dta" from an old archive); this one reads the
// folder's names as bytes, shows them readably and hands back the name that reaches the file
// again (file_name.h). Its filters match as on the system the filters were written for: "*.*"
// is every file, "dtaus1.*" also "dtaus1" without an extension. It keeps nothing on disk.
#include <QDialog>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QStandardItemModel;
class QTreeView;

namespace quandel {

class TOpenFileDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TOpenFileDialog(QWidget* parent = nullptr);

  // Pairs of description and patterns ("a;b"), all separated by "|".
  void setNameFilters(const QString& filter);
  // The descriptions, as the user reads them.
  QStringList nameFilters() const;
  // Counted from 0.
  void selectNameFilter(int index);
  QString selectedNameFilter() const;

  // Lists `folder`; a folder that cannot be listed leaves the one shown and says why.
  void setDirectory(const QString& folder);
  QString directory() const { return folder_; }
  // Lists the file's folder and offers the file.
  void selectFile(const QString& path);
  // The file chosen or typed, which need not exist; empty while no name is given.
  QString selectedFile() const;

  // The names listed, folders first, as the user reads them.
  QStringList listedNames() const;
  QTreeView* view() const { return view_; }
  QLineEdit* nameEdit() const { return name_; }

  void accept() override;

 private:
  struct TEntry {
    QString Name;  // as FileNameFromBytes gives it
    bool Folder = false;
    std::int64_t Size = 0;
    std::int64_t Modified = 0;  // seconds since 1970
  };
  struct TFilter {
    QString Text;
    std::vector<std::string> Patterns;
  };

  void fill();
  bool listed(const TEntry& entry) const;
  void activate(const QModelIndex& index);
  void pick(const QModelIndex& index);
  QString join(const QString& name) const;

  QLineEdit* folderEdit_;
  QTreeView* view_;
  QStandardItemModel* model_;
  QLineEdit* name_;
  QComboBox* filterBox_;
  QLabel* problem_;
  std::vector<TFilter> filters_;
  std::vector<TEntry> entries_;
  QString folder_;
  // The entry chosen in the list, offered in the name field as `pickedShown_`.
  QString picked_;
  QString pickedShown_;
};

}  // namespace quandel
