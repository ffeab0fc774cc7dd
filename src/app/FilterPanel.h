#pragma once

#include <QGroupBox>

#include "app/WindowSettings.h"
#include "localisation/TextFormat.h"
#include "scan/ScanContext.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;

namespace dunstrel {

// The "Exclude Files" box: files modified before a date, smaller than a size, or matching
// name masks are left out of a scan. Each field is enabled while its box is checked and the
// whole box is.
class TFilterPanel final : public QGroupBox {
 public:
  TFilterPanel(const TFormatSettings& Settings, QWidget* Parent = nullptr);

  // Whether the "Less than" text is a size when it is checked.
  bool LessThanValid() const;
  // Puts the filters into a scan's context.
  void ApplyTo(TScanContext& Context) const;
  // The captions in the current language.
  void ApplyTranslation();
  // The controls as the user left them, and put back so.
  TRememberedFilters Remembered() const;
  void Restore(const TRememberedFilters& Filters);

 protected:
  void changeEvent(QEvent* Event) override;

 private:
  TFilterInputs ReadInputs() const;
  void EnableFields();

  const TFormatSettings& FSettings;
  QCheckBox* chModifiedBefore;
  QDateEdit* dtpDate;
  QCheckBox* chLessThan;
  QLineEdit* edtLessThan;
  QComboBox* cbSizeUnits;
  QCheckBox* chPattern;
  QLineEdit* edtPattern;
};

}  // namespace dunstrel
