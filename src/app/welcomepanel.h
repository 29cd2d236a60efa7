#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <memory>

class QSvgRenderer;

namespace zark {

// The panel that covers the child-window area until a target is shown: a picture filling it and
// a caption line 30 pixels high along its bottom, bold, on white.
class WelcomePanel final : public QWidget {
    Q_OBJECT

public:
    explicit WelcomePanel(QWidget* parent = nullptr);
    ~WelcomePanel() override;

    void SetCaption(const QString& caption);
    const QString& Caption() const { return caption_; }
    // The caption font: bold, at most 14 pixels from the top of its tallest letter to the bottom
    // of its lowest.
    const QFont& CaptionFont() const { return captionFont_; }
    // Where the picture and the caption line are drawn.
    QRect PictureRect() const;
    QRect CaptionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<QSvgRenderer> picture_;
    QPixmap rendered_;  // the picture at the size last drawn
    QString caption_;
    QFont captionFont_;
};

}  // namespace zark
