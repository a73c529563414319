#pragma once

#include <QString>
#include <QWidget>

// Writes pictures of windows into one folder: each window is shown, given time to lay out and
// to answer pending events, grabbed with QWidget::grab and saved as "<name>.png".
class WindowPictures {
  public:
    explicit WindowPictures(QString folder) : folder_(std::move(folder)) {}

    // Shows `window` (when it is not visible yet), runs the events, grabs it and saves it.
    // Returns false, after telling why on standard error, when the picture cannot be saved.
    bool take(QWidget& window, const QString& name);

    // Number of pictures that failed.
    int failures() const { return failures_; }

  private:
    QString folder_;
    int failures_ = 0;
};
