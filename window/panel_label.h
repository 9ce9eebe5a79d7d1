// A one-line caption inside a double bevel, lowered outside and raised inside: the look of the
// preview field in the bottom bar.
#pragma once

#include <QLabel>

namespace window {

class TPanelLabel : public QLabel {
    Q_OBJECT

  public:
    explicit TPanelLabel(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace window
