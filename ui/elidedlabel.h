#pragma once

#include <QLabel>

// A one-line static text that is shortened with an ellipsis when it does not fit its width.
// text() keeps the whole text.
class CElidedLabel : public QLabel {
    Q_OBJECT
  public:
    explicit CElidedLabel(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
