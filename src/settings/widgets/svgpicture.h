#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>

class QSvgRenderer;

namespace zark {

// The resource path of the dialog picture or icon number id: ":/zark/settings/<id>.svg".
QString SettingsPicturePath(int id);

// An icon drawn from the picture id.
QIcon SettingsIcon(int id);

// Shows the picture id (black drawing) stretched over the widget, on the colour of the window
// behind it: the scales under the dialog's sliders.
class SvgPicture final : public QWidget {
public:
    SvgPicture(int id, QWidget* parent);
    int PictureId() const { return id_; }
    bool IsValid() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int id_ = 0;
    QSvgRenderer* renderer_ = nullptr;
};

}  // namespace zark
