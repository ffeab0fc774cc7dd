// The "Exclude Files" controls: when they are enabled, and how a scan's filters are read from
// them.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>

#include "app/MainForm.h"
#include "common/Calendar.h"

namespace dunstrel {

namespace {

// The date picker changes only the date; the threshold is that date at this time of day.
const QTime kModifiedBeforeTimeOfDay(0, 4, 41);

}  // namespace

TFilterInputs TfrmMain::ReadFilterInputs() const {
  const QDate Date = dtpDate->date();
  TDateTimeFields Fields;
  Fields.Year = Date.year();
  Fields.Month = Date.month();
  Fields.Day = Date.day();
  Fields.Hour = kModifiedBeforeTimeOfDay.hour();
  Fields.Minute = kModifiedBeforeTimeOfDay.minute();
  Fields.Second = kModifiedBeforeTimeOfDay.second();

  TFilterInputs Inputs;
  Inputs.ModifiedBeforeChecked = chModifiedBefore->isChecked();
  Inputs.ModifiedBefore = EncodeDateTime(Fields);
  Inputs.LessThanChecked = chLessThan->isChecked();
  Inputs.LessThanText = edtLessThan->text().toStdString();
  Inputs.SizeUnitIndex = cbSizeUnits->currentIndex();
  Inputs.PatternChecked = chPattern->isChecked();
  Inputs.PatternText = edtPattern->text().toStdString();
  return Inputs;
}

bool TfrmMain::ParseLessThanBytes(int64_t& Value) const {
  return dunstrel::ParseLessThanBytes(edtLessThan->text().toStdString(),
                                      cbSizeUnits->currentIndex(), FFormatSettings.DecimalSeparator,
                                      Value);
}

void TfrmMain::UpdateFilterControls() {
  const bool FiltersEnabled = gbFilters->isEnabled();
  dtpDate->setEnabled(FiltersEnabled && chModifiedBefore->isChecked());
  edtLessThan->setEnabled(FiltersEnabled && chLessThan->isChecked());
  cbSizeUnits->setEnabled(FiltersEnabled && chLessThan->isChecked());
  edtPattern->setEnabled(FiltersEnabled && chPattern->isChecked());
}

void TfrmMain::ApplyFiltersToContext() {
  if (FContext == nullptr) {
    return;
  }
  dunstrel::ApplyFiltersToContext(ReadFilterInputs(), FFormatSettings.DecimalSeparator, *FContext);
}

void TfrmMain::chModifiedBeforeClick() {
  UpdateFilterControls();
}

void TfrmMain::chLessThanClick() {
  UpdateFilterControls();
}

}  // namespace dunstrel
