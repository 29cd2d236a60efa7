#include "app/qtmessageboxsink.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <cstdio>

namespace zark {
namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Error: return QMessageBox::Critical;
        case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

void QtMessageBoxSink::ShowMessage(std::string_view title, std::string_view text, MessageIcon icon) {
    if (!qApp || QThread::currentThread() != qApp->thread()) {
        std::fprintf(stderr, "%.*s: %.*s\n", int(title.size()), title.data(), int(text.size()), text.data());
        return;
    }
    QMessageBox box(IconOf(icon), FromUtf8(title), FromUtf8(text), QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("messageBox"));
    box.exec();
}

}  // namespace zark
