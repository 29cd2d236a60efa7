#include "app/warningsdialog.h"

#include <QLabel>
#include <QPushButton>

#include "app/appicons.h"
#include "window/dialogunits.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {
constexpr int kOkText = 113;
const QColor kYellow(255, 255, 0);
}  // namespace

WarningsDialog::WarningsDialog(QWidget* owner) : ModalDialog(owner) {
    LoadUiStrings();
    setObjectName(QStringLiteral("warningsDialog"));
    setWindowTitle(QStringLiteral("ZARK"));
    const QFont font = DialogUnits::DialogFont();
    setFont(font);
    const DialogUnits du(font);
    setFixedSize(du.X(255), du.Y(114));

    // The dialog and its texts are yellow with black text; the button keeps its own colours.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kYellow);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(WarningIcon().pixmap(32, 32));
    icon->setGeometry(du.X(7), du.Y(7), 32, 32);

    text_ = new QLabel(WarningText(), this);
    text_->setObjectName(QStringLiteral("text%1").arg(kTextId));
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setGeometry(du.Rect(44, 7, 204, 81));

    ok_ = new QPushButton(UiQString(kOkText), this);
    ok_->setObjectName(QStringLiteral("button%1").arg(kDialogOk));
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    ok_->setGeometry(du.Rect(102, 93, 50, 14));
    connect(ok_, &QPushButton::clicked, this, [this] { End(kDialogOk); });
    ok_->setFocus();
}

QString WarningsDialog::WarningText() {
    LoadUiStrings();
    return UiQString(191) + QStringLiteral("\n\n") + UiQString(192) + QStringLiteral("\n\n") + UiQString(193);
}

}  // namespace zark
