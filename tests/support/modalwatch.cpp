#include "support/modalwatch.h"

#include <QApplication>
#include <QWidget>

namespace zark::test {

ModalWatch::ModalWatch(std::function<void(QWidget*)> action) : action_(std::move(action)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || seen_) return;
        seen_ = true;
        timer_.stop();
        action_(modal);
    });
    timer_.start();
}

ModalWatch::~ModalWatch() { timer_.stop(); }

}  // namespace zark::test
