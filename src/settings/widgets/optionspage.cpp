#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>

#include "diag/diagnostics.h"
#include "i18n/uistrings.h"
#include "settings/widgets/customizetexts.h"
#include "settings/widgets/settingspages.h"

namespace zark {

using namespace customize_text;

namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr int kNoneText = 103;           // "(none)"
constexpr int kPictureFolderNote = 625;  // where the full-score pictures are looked for

// The picture's name as the list shows it: the file name cut at its last ".".
QString EntryOf(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

}  // namespace

// ---- Preview ----------------------------------------------------------------------------------

PicturePreview::PicturePreview(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setLineWidth(1);
}

int PicturePreview::Show(const QString& path) {
    message_.clear();
    if (path.isEmpty()) {  // no picture chosen: where they would come from
        picture_.Unload();
        message_ = note_;
        update();
        return 0;
    }
    const int loaded = picture_.Load(path);
    if (!loaded) {
        // What the log says about the file, so the user sees why nothing is shown.
        message_ = UiQString(kCannotShow) + QStringLiteral("\n") + QString::fromStdString(LastReportedError());
    }
    update();
    return loaded;
}

void PicturePreview::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.fillRect(area, Qt::white);
    if (picture_.IsLoaded()) {
        if (picture_.Width() < area.width() && picture_.Height() < area.height()) {
            picture_.DrawTransparent(painter, area.left() + (area.width() - picture_.Width()) / 2,
                                     area.top() + (area.height() - picture_.Height()) / 2, kWhite);
        } else {
            painter.setPen(Qt::darkGray);
            const QString size = QStringLiteral("%1 \u00D7 %2").arg(picture_.Width()).arg(picture_.Height());
            painter.drawText(area.adjusted(6, 6, -6, -6), Qt::AlignCenter | Qt::TextWordWrap,
                             UiQString(kTooLarge) + QStringLiteral("\n") + size);
        }
    } else if (!message_.isEmpty()) {
        painter.setPen(QColor(0x80, 0, 0));
        painter.drawText(area.adjusted(6, 6, -6, -6), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, message_);
    }
    painter.end();
    QFrame::paintEvent(event);
}

// ---- Options ----------------------------------------------------------------------------------

OptionsPage::OptionsPage(const UiMetrics& metrics, QWidget* parent) : SettingsPage(metrics, parent) {
    AddLabel(kFullScorePicture, 10, 10, 160, 15);
    pictures_ = AddList(10, 28, 180, 100);
    pictures_->setObjectName(QStringLiteral("pictures"));
    preview_ = new PicturePreview(this);
    preview_->setObjectName(QStringLiteral("preview"));
    Place(preview_, 10, 60, 180, 160);
    callShots_ = AddCheckBox(kCallShots, 10, 230, 180, 15);
    callShots_->setObjectName(QStringLiteral("callShots"));
    connect(pictures_, &QComboBox::currentIndexChanged, this, [this](int index) { preview_->Show(PathOf(index)); });
}

QString OptionsPage::PathOf(int index) const {
    const QString fileName = index >= 0 ? pictures_->itemData(index).toString() : QString();
    return fileName.isEmpty() ? QString() : QDir(directory_).filePath(fileName);
}

void OptionsPage::Load(const Settings& settings) {
    directory_ = QDir::fromNativeSeparators(QString::fromStdString(settings.BitmapDirectory));
    const QSignalBlocker quiet(pictures_);
    pictures_->clear();
    // Each entry keeps the file's own name, so that a picture named "Star.BMP" is found again. A file
    // that cannot be read is listed too; choosing it shows why it cannot be shown.
    QStringList files;
    if (!directory_.isEmpty())
        files = QDir(directory_).entryList({QStringLiteral("*.bmp")}, QDir::Files);
    QCollator collator(UiLocale());
    std::sort(files.begin(), files.end(),
              [&collator](const QString& a, const QString& b) { return collator.compare(EntryOf(a), EntryOf(b)) < 0; });
    pictures_->addItem(UiQString(kNoneText), QString());  // no picture, first: "(none)"
    preview_->SetNote(QString::asprintf(UiText(kPictureFolderNote).c_str(),
                                        QDir::toNativeSeparators(directory_).toUtf8().constData()));
    for (const QString& file : files) pictures_->addItem(EntryOf(file), file);

    QString current = QDir::fromNativeSeparators(QString::fromStdString(settings.FX10Bitmap));
    const qsizetype slash = std::max(current.lastIndexOf(QLatin1Char('/')), current.lastIndexOf(QLatin1Char('\\')));
    current = EntryOf(current.mid(slash + 1));
    int selected = 0;
    if (!current.isEmpty()) {
        const int found = pictures_->findText(current, Qt::MatchFixedString);
        if (found > 0) selected = found;
    }
    pictures_->setCurrentIndex(selected);
    preview_->Show(PathOf(selected));
    callShots_->setChecked(settings.CallShots != 0);
}

void OptionsPage::Save(Settings& settings) const {
    const QString path = PathOf(pictures_->currentIndex());
    settings.FX10Bitmap = path.isEmpty() ? std::string() : QDir::toNativeSeparators(path).toStdString();
    settings.CallShots = callShots_->isChecked() ? 1 : 0;
}

}  // namespace zark
