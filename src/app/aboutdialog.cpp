#include "app/aboutdialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>

#include "app/appicons.h"
#include "app/framerules.h"
#include "app/version.h"
#include "window/dialogunits.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {
constexpr int kCaptionText = 3;  // "About ZARK"
constexpr int kVersionPattern = 174;
constexpr int kOkText = 113;
}  // namespace

QString AboutDialog::VersionText() {
    LoadUiStrings();
    QString text = QString::fromStdString(FormatWithVersion(UiText(kVersionPattern), kProgramVersion));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

AboutDialog::AboutDialog(QWidget* owner) : ModalDialog(owner) {
    SetEscapeCancels(true);
    LoadUiStrings();
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(UiQString(kCaptionText));
    const QFont font = DialogUnits::DialogFont();
    setFont(font);
    const DialogUnits du(font);
    setFixedSize(du.X(178), du.Y(74));

    ok_ = new QPushButton(UiQString(kOkText), this);
    ok_->setObjectName(QStringLiteral("button%1").arg(kDialogOk));
    ok_->setDefault(true);
    ok_->setGeometry(du.Rect(64, 53, 50, 14));
    connect(ok_, &QPushButton::clicked, this, [this] { End(kDialogOk); });

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    icon->setGeometry(du.X(7), du.Y(7), 32, 32);

    text_ = new QTextEdit(this);
    text_->setObjectName(QStringLiteral("text%1").arg(kVersionTextId));
    text_->setReadOnly(true);
    text_->setFrameStyle(QFrame::Box | QFrame::Plain);
    text_->setGeometry(du.Rect(39, 7, 117, 34));
    text_->document()->setDocumentMargin(2);
    text_->setPlainText(VersionText());
    QTextCursor cursor(text_->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);

    // A text that needs more lines than the field has (a long translation, a wide font) makes the
    // field and the box taller rather than hiding lines behind a scroll bar.
    const int frame = 2 * text_->frameWidth();
    text_->document()->setTextWidth(text_->width() - frame);
    const int needed = int(text_->document()->size().height() + 0.999) + frame;
    if (needed > text_->height()) {
        const int extra = needed - text_->height();
        text_->resize(text_->width(), needed);
        ok_->move(ok_->x(), ok_->y() + extra);
        setFixedSize(width(), height() + extra);
    }
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ok_->setFocus();
}

AboutBox::AboutBox() { LoadUiStrings(); }

int AboutBox::Show() {
    AboutDialog dialog(owner_);
    return dialog.Run();
}

}  // namespace zark
