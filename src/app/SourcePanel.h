#pragma once

#include <QGroupBox>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/StatusStrip.h"
#include "platform/Volumes.h"
#include "results/ScanJob.h"

class QComboBox;
class QPushButton;
class QRadioButton;

namespace dunstrel {

class IUserDialogs;

// The "Sources" box: every local drive, or one folder typed, picked from the drives or browsed
// for. Its path controls are locked while a scan runs.
class TSourcePanel final : public QGroupBox {
  Q_OBJECT

 public:
  TSourcePanel(IUserDialogs& Dialogs, const platform::IVolumes& Volumes, QWidget* Parent = nullptr);

  // What the controls ask to scan; none, after telling the user why, when it cannot be scanned.
  std::optional<TScanSource> ReadSource();
  TScanExpectation Expect(const TScanSource& Source) const;
  // Chooses "Path:" with this folder (its own bytes).
  void ChooseFolder(const std::string& Path);
  // Chooses "Path:" showing this folder without keeping it for the next time (the top folder of
  // a saved scan from elsewhere), or "All Drives".
  void ShowSource(const std::string& Path);
  // "Path:" rather than "All Drives".
  bool PathChosen() const;
  void ChoosePath(bool Chosen);

  // The folders scanned last, as their own bytes, latest first: the path box lists them before
  // the drives.
  const std::vector<std::string>& History() const { return FHistory; }
  void SetHistory(std::vector<std::string> Paths);
  // Puts a folder at the head of the history and shows it in the path box.
  void Remember(const std::string& Path);
  void SetScanning(bool Scanning);
  // The captions in the current language.
  void ApplyTranslation();

 Q_SIGNALS:
  // Enter in the path box, while no scan runs.
  void ScanRequested();

 private:
  // The drive roots that exist.
  std::vector<std::string> Drives() const;
  void FillDriveList();
  // The path box's text, as the raw bytes of a listed drive where it names one.
  std::string TypedPath() const;
  void Browse();
  void EnableFields();

  IUserDialogs& FDialogs;
  const platform::IVolumes& FVolumes;
  bool FScanning = false;
  std::vector<std::string> FHistory;
  QRadioButton* rbAllDrives;
  QRadioButton* rbCustomPath;
  QComboBox* cmbCustomPath;
  QPushButton* btnBrowse;
};

}  // namespace dunstrel
