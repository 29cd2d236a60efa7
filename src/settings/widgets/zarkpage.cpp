#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QThread>
#include <QToolButton>
#include <memory>

#include "diag/diagnostics.h"
#include "i18n/uistrings.h"
#include "link/serialportnames.h"
#include "link/serialworker.h"
#include "settings/widgets/customizetexts.h"
#include "settings/widgets/settingspages.h"
#include "settings/widgets/svgpicture.h"

namespace zark {

using namespace customize_text;

namespace {

constexpr int kSliderHeight = 20;

QString Formatted(int id, const QString& first, const QString& second = QString()) {
    return QString::asprintf(UiText(id).c_str(), first.toUtf8().constData(), second.toUtf8().constData());
}

}  // namespace

ZarkPage::ZarkPage(const UiMetrics& metrics, PortProber probe, QWidget* parent)
    : SettingsPage(metrics, parent), probe_(std::move(probe)) {
    if (!probe_) probe_ = [](const std::string& name) { return ProbePort(SerialWorker::Process(), name); };

    AddLabel(kAdapter, 10, 10, 160, 15);
    port_ = new QComboBox(this);
    port_->setObjectName(QStringLiteral("port"));
    port_->setEditable(true);
    port_->setInsertPolicy(QComboBox::NoInsert);
    port_->lineEdit()->setMaxLength(int(kMaxPortName));
    for (const std::string& choice : PortChoices()) port_->addItem(QString::fromStdString(choice));
    port_->setGeometry(metrics_.Scale(10), metrics_.Scale(28), metrics_.Scale(120), port_->sizeHint().height());
    port_->setMaxVisibleItems(8);
    test_ = AddTestButton(kTestAdapterIcon, kTestAdapter, 140, 28);
    test_->setObjectName(QStringLiteral("testAdapter"));
    connect(test_, &QToolButton::clicked, this, &ZarkPage::StartProbe);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("probeStatus"));
    Place(status_, 10, 50, 190, 15);

    AddLabel(kDistance, 10, 70, 160, 15);
    distance_ = AddSlider(10, 10, 88);
    distance_->setObjectName(QStringLiteral("distance"));
    auto* scale = new SvgPicture(metrics_.imperial ? kDistanceScaleImperial : kDistanceScaleMetric, this);
    scale->setObjectName(QStringLiteral("distanceScale"));
    scale->setGeometry(metrics_.Scale(10), metrics_.Scale(88) + kSliderHeight, 160, 10);
}

ZarkPage::~ZarkPage() { FinishProbe(); }

void ZarkPage::Load(const Settings& settings) {
    port_->setEditText(QString::fromStdString(settings.Communication));
    distance_->setValue(settings.ShootingDistance - 30);
}

void ZarkPage::Save(Settings& settings) const {
    settings.Communication = port_->currentText().toStdString();
    settings.ShootingDistance = 30 + distance_->value();
}

void ZarkPage::StartProbe() {
    if (probeThread_) return;
    const std::string name = port_->currentText().toStdString();
    // The probe waits up to two seconds for the unit; it runs beside the dialog, which stays
    // responsive, and the button waits for it.
    test_->setEnabled(false);
    status_->setText(Formatted(kTesting, QString::fromStdString(name)));
    auto answer = std::make_shared<PortProbeAnswer>();
    PortProber probe = probe_;
    probeThread_ = QThread::create([probe, name, answer] { *answer = probe(name); });
    probeThread_->setObjectName(QStringLiteral("port probe"));
    QThread* thread = probeThread_;
    connect(probeThread_, &QThread::finished, this, [this, thread, name, answer] {
        if (probeThread_ != thread) return;  // already waited for when the dialog closed
        probeThread_->deleteLater();
        probeThread_ = nullptr;
        test_->setEnabled(true);
        status_->clear();
        ShowProbeAnswer(name, *answer);
        emit probeFinished();
    });
    probeThread_->start();
}

void ZarkPage::FinishProbe() {
    if (!probeThread_) return;
    probeThread_->wait();
    delete probeThread_;
    probeThread_ = nullptr;
}

void ZarkPage::ShowProbeAnswer(const std::string& portName, const PortProbeAnswer& answer) {
    const QString name = QString::fromStdString(portName);
    const std::string caption = UiText(kCaption);
    switch (answer.outcome) {
        case PortProbeAnswer::Outcome::Answered:
            CurrentMessageBoxSink().ShowMessage(caption, UiText(kUnitOk), MessageIcon::Information);
            return;
        case PortProbeAnswer::Outcome::NoAnswer: {
            const QString text = UiQString(kNotConnected) + QStringLiteral("\n\n") + Formatted(kNoAnswer, name);
            CurrentMessageBoxSink().ShowMessage(caption, text.toStdString(), MessageIcon::Error);
            return;
        }
        case PortProbeAnswer::Outcome::CannotOpen: {
            const QString reason = QString::fromStdString(SystemErrorText(answer.error));
            const QString text =
                UiQString(kNotConnected) + QStringLiteral("\n\n") + Formatted(kCannotOpen, name, reason);
            CurrentMessageBoxSink().ShowMessage(caption, text.toStdString(), MessageIcon::Error);
            return;
        }
    }
}

}  // namespace zark
