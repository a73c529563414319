#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// An up-down control bound to an edit: two small arrow buttons that step the number in the
// edit within a range. Setting the position writes the number into the edit.
//
// The control does not own the edit; the edit must outlive it or be unbound with
// setBuddy(nullptr). Stepping a text that does not start with a number starts from the
// lower bound.
class CUpDownCtrl : public QWidget {
    Q_OBJECT
  public:
    explicit CUpDownCtrl(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy);
    QLineEdit* buddy() const { return buddy_; }

    void setRange(int lower, int upper);
    int lower() const { return lower_; }
    int upper() const { return upper_; }

    // Sets the position (kept inside the range) and writes it into the edit.
    void setPos(int position);
    // The number at the start of the edit's text, kept inside the range.
    int pos() const;

    // Steps the position by `delta` (kept inside the range), as the arrow buttons do.
    void step(int delta);

  protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QLineEdit* buddy_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    int lower_ = 0;
    int upper_ = 100;
};
