#pragma once

#include <QFrame>

#include <functional>

// The framed pane the main window draws its preview page into. The pane paints its frame and
// then calls the drawing routine it was given, with a painter on the pane.
class CImagePane : public QFrame {
    Q_OBJECT
  public:
    using DrawRoutine = std::function<void(QPainter& painter)>;

    explicit CImagePane(QWidget* parent = nullptr);

    // Replaces the drawing routine; an empty routine draws nothing but the frame.
    void setDrawRoutine(DrawRoutine routine) { draw_ = std::move(routine); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    DrawRoutine draw_;
};
