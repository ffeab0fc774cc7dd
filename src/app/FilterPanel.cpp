#include "app/FilterPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>

#include "common/Calendar.h"
#include "views/Named.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

// The date picker changes only the date; the threshold is that date at this time of day.
const QTime kModifiedBeforeTimeOfDay(0, 4, 41);

}  // namespace

TFilterPanel::TFilterPanel(const TFormatSettings& Settings, QWidget* Parent)
    : QGroupBox(Parent), FSettings(Settings) {
  setObjectName(QStringLiteral("gbFilters"));
  auto* Layout = new QHBoxLayout(this);
  Layout->setContentsMargins(8, 2, 8, 4);
  chModifiedBefore = Named(new QCheckBox(this), "chModifiedBefore");
  dtpDate = Named(new QDateEdit(QDate(2026, 1, 14), this), "dtpDate");
  dtpDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  dtpDate->setCalendarPopup(true);
  chLessThan = Named(new QCheckBox(this), "chLessThan");
  edtLessThan = Named(new QLineEdit(QStringLiteral("1"), this), "edtLessThan");
  edtLessThan->setFixedWidth(60);
  cbSizeUnits = Named(new QComboBox(this), "cbSizeUnits");
  cbSizeUnits->addItems({QString(), QString(), QString(), QString(), QString()});
  cbSizeUnits->setCurrentIndex(0);
  chPattern = Named(new QCheckBox(this), "chPattern");
  chPattern->setChecked(true);
  edtPattern = Named(new QLineEdit(QStringLiteral("*.sys;*somefilename*"), this), "edtPattern");
  for (QWidget* Control : std::initializer_list<QWidget*>{chModifiedBefore, dtpDate, chLessThan,
                                                          edtLessThan, cbSizeUnits, chPattern}) {
    Layout->addWidget(Control);
  }
  edtPattern->setMinimumWidth(edtPattern->fontMetrics().averageCharWidth() * 14);
  Layout->addWidget(edtPattern, 1);
  for (QCheckBox* Box : {chModifiedBefore, chLessThan, chPattern}) {
    connect(Box, &QCheckBox::clicked, this, &TFilterPanel::EnableFields);
  }
  EnableFields();
  ApplyTranslation();
}

void TFilterPanel::changeEvent(QEvent* Event) {
  QGroupBox::changeEvent(Event);
  if (Event->type() == QEvent::EnabledChange) {
    EnableFields();
  }
}

void TFilterPanel::EnableFields() {
  const bool Enabled = isEnabled();
  dtpDate->setEnabled(Enabled && chModifiedBefore->isChecked());
  edtLessThan->setEnabled(Enabled && chLessThan->isChecked());
  cbSizeUnits->setEnabled(Enabled && chLessThan->isChecked());
  edtPattern->setEnabled(Enabled && chPattern->isChecked());
}

TFilterInputs TFilterPanel::ReadInputs() const {
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

bool TFilterPanel::LessThanValid() const {
  int64_t Bytes = 0;
  return !chLessThan->isChecked() ||
         (ParseLessThanBytes(edtLessThan->text().toStdString(), cbSizeUnits->currentIndex(),
                             FSettings.DecimalSeparator, Bytes) &&
          Bytes >= 0);
}

void TFilterPanel::ApplyTo(TScanContext& Context) const {
  ApplyFiltersToContext(ReadInputs(), FSettings.DecimalSeparator, Context);
}

TRememberedFilters TFilterPanel::Remembered() const {
  return {chModifiedBefore->isChecked(),
          dtpDate->date(),
          chLessThan->isChecked(),
          edtLessThan->text(),
          cbSizeUnits->currentIndex(),
          chPattern->isChecked(),
          edtPattern->text()};
}

void TFilterPanel::Restore(const TRememberedFilters& Filters) {
  chModifiedBefore->setChecked(Filters.ModifiedBefore);
  dtpDate->setDate(Filters.Date);
  chLessThan->setChecked(Filters.LessThan);
  edtLessThan->setText(Filters.LessThanText);
  cbSizeUnits->setCurrentIndex(Filters.SizeUnit);
  chPattern->setChecked(Filters.Pattern);
  edtPattern->setText(Filters.PatternText);
  EnableFields();
}

void TFilterPanel::ApplyTranslation() {
  setTitle(TranslatedText("Exclude Files"));
  chModifiedBefore->setText(TranslatedText("Modified before:"));
  chLessThan->setText(TranslatedText("Less than"));
  // Renaming the items keeps the chosen one.
  const QString Units[] = {TranslatedText("Bytes"), TranslatedText("KB"), TranslatedText("MB"),
                           TranslatedText("GB"), TranslatedText("TB")};
  for (int I = 0; I < cbSizeUnits->count(); ++I) {
    cbSizeUnits->setItemText(I, Units[I]);
  }
  chPattern->setText(TranslatedText("Pattern"));
}

}  // namespace dunstrel
