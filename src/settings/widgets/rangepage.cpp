#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSpinBox>

#include "i18n/uistrings.h"
#include "settings/widgets/customizetexts.h"
#include "settings/widgets/settingspages.h"

namespace zark {

using namespace customize_text;

namespace {

constexpr int kLabelX = 10;
constexpr int kLabelWidth = 72;
constexpr int kEditX = 86;
constexpr int kEditWidth = 150;
constexpr int kRowHeight = 14;
constexpr int kMaxShooter = 64;

}  // namespace

RangePage::RangePage(const UiMetrics& metrics, QWidget* parent) : SettingsPage(metrics, parent) {
    setObjectName(QStringLiteral("rangePage"));
    enabled_ = AddCheckBox(kRangeEnabled, kLabelX, 8, 220, kRowHeight);
    enabled_->setObjectName(QStringLiteral("rangeEnabled"));
    host_ = AddEdit(kRangeHost, 30, "rangeHost");
    AddLabel(kRangePort, kLabelX, 52, kLabelWidth, kRowHeight);
    port_ = new QSpinBox(this);
    port_->setObjectName(QStringLiteral("rangePort"));
    port_->setRange(1, 65535);
    Place(port_, kEditX, 50, 60, kRowHeight + 2);
    tls_ = AddCheckBox(kRangeTls, kEditX, 72, 150, kRowHeight);
    tls_->setObjectName(QStringLiteral("rangeTls"));
    caFile_ = AddEdit(kRangeCaFile, 90, "rangeCaFile");
    user_ = AddEdit(kRangeUser, 110, "rangeUser");
    password_ = AddEdit(kRangePassword, 130, "rangePassword");
    password_->setEchoMode(QLineEdit::Password);
    range_ = AddEdit(kRangeName, 156, "rangeName");
    lane_ = AddEdit(kRangeLane, 176, "rangeLane");
    shooter_ = AddEdit(kRangeShooter, 196, "rangeShooter");
    shooter_->setMaxLength(kMaxShooter);
    // the characters a topic and a client id may safely hold
    const QRegularExpression name(QStringLiteral("[A-Za-z0-9_-]{1,32}"));
    range_->setValidator(new QRegularExpressionValidator(name, range_));
    lane_->setValidator(new QRegularExpressionValidator(name, lane_));
    obey_ = AddCheckBox(kRangeObey, kEditX, 216, 150, kRowHeight);
    obey_->setObjectName(QStringLiteral("rangeObey"));
    auto* note = AddLabel(kRangeNote, kLabelX, 234, 226, 52);
    note->setWordWrap(true);
    note->resize(metrics_.Scale(226), metrics_.Scale(52));
    connect(enabled_, &QCheckBox::toggled, this, &RangePage::UpdateEnabled);
    connect(tls_, &QCheckBox::toggled, this, &RangePage::UpdateEnabled);
}

QLineEdit* RangePage::AddEdit(int labelId, int y, const char* name) {
    auto* label = AddLabel(labelId, kLabelX, y + 2, kLabelWidth, kRowHeight);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    Place(edit, kEditX, y, kEditWidth, kRowHeight + 2);
    label->setBuddy(edit);
    return edit;
}

void RangePage::UpdateEnabled() {
    // the broker, user and range serve a coach too; only the lane's own values follow the box
    const bool lane = enabled_->isChecked();
    lane_->setEnabled(lane);
    shooter_->setEnabled(lane);
    obey_->setEnabled(lane);
    caFile_->setEnabled(tls_->isChecked());
}

void RangePage::Load(const Settings& s) {
    enabled_->setChecked(s.RangeEnabled != 0);
    host_->setText(QString::fromStdString(s.RangeHost));
    port_->setValue(s.RangePort >= 1 && s.RangePort <= 65535 ? s.RangePort : 1883);
    tls_->setChecked(s.RangeTls != 0);
    caFile_->setText(QString::fromStdString(s.RangeCaFile));
    user_->setText(QString::fromStdString(s.RangeUser));
    passwordStored_ = !s.RangePassword.empty();
    password_->clear();
    password_->setPlaceholderText(passwordStored_ ? UiQString(kRangeStored) : QString());
    range_->setText(QString::fromStdString(s.RangeName));
    lane_->setText(QString::fromStdString(s.RangeLane));
    shooter_->setText(QString::fromStdString(s.RangeShooter).left(kMaxShooter));
    obey_->setChecked(s.RangeAcceptCommands != 0);
    UpdateEnabled();
}

void RangePage::Save(Settings& s) const {
    s.RangeEnabled = enabled_->isChecked() ? 1 : 0;
    s.RangeHost = host_->text().trimmed().toStdString();
    s.RangePort = port_->value();
    s.RangeTls = tls_->isChecked() ? 1 : 0;
    s.RangeCaFile = caFile_->text().trimmed().toStdString();
    s.RangeUser = user_->text().trimmed().toStdString();
    if (!password_->text().isEmpty()) s.RangePassword = password_->text().toStdString();
    // an emptied name box keeps the name it had: a lane always has one
    if (range_->hasAcceptableInput()) s.RangeName = range_->text().toStdString();
    if (lane_->hasAcceptableInput()) s.RangeLane = lane_->text().toStdString();
    s.RangeShooter = shooter_->text().trimmed().toStdString();
    s.RangeAcceptCommands = obey_->isChecked() ? 1 : 0;
}

}  // namespace zark
