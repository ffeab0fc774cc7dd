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
  QRadioButton* rbAllDrives;
  QRadioButton* rbCustomPath;
  QComboBox* cmbCustomPath;
  QPushButton* btnBrowse;
};

}  // namespace dunstrel
