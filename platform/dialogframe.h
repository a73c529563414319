#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <type_traits>

#include "platform/dialogresult.h"

class QAction;

// DialogFrame is the base of every dialog of the program.
//
// - Controls are found by their numeric id: a control's objectName is its decimal id ("1601"),
//   looked up with control(id). Unnumbered controls (id -1, like static labels) have no name.
// - Controls are placed at their template rectangles given in dialog units; one horizontal unit
//   is a quarter of the dialog font's average character width, one vertical unit an eighth of
//   its height.
// - Commands: one table from control or command id to handler, filled with onCommand() in one
//   place (usually the constructor) and connected when the dialog is first shown: buttons'
//   clicked() and actions' triggered() run the handler of their id. Ids IDOK and IDCANCEL
//   default to onOK() and onCancel().
// - onInitDialog() runs each time the dialog opens, before it becomes visible: on its first
//   exec(), show() or open(), and again on the first one after it was ended (a dialog object run
//   modally twice is initialized twice; hiding and showing a modeless one is not an opening).
//   The default writes the fields to the controls (writeFields()).
// - endDialog(result) ends the dialog with that result; exec() returns it. Escape and the
//   window's close button run onCancel(), which ends with IDCANCEL; onOK() reads the fields
//   (readFields()) and ends with IDOK.
class DialogFrame : public QDialog {
    Q_OBJECT
  public:
    using CommandHandler = std::function<void()>;

    // The dialog is a child window of `parent` when one is given (it stays on top of it and is
    // deleted with it); the caller owns a dialog without parent.
    explicit DialogFrame(QWidget* parent = nullptr);
    ~DialogFrame() override;

    // The control whose id is `id`, or nullptr when the dialog has none. Id 0 is the dialog
    // itself. The dialog owns its controls.
    QWidget* control(int id) const;

    // The control of id `id` as a T (a QWidget or QAction subclass), or nullptr when there is
    // none or it has another type.
    template <class T>
    T* control(int id) const {
        if constexpr (std::is_base_of_v<QWidget, T>) {
            return qobject_cast<T*>(control(id));
        } else {
            return findChild<T*>(idName(id));
        }
    }

    // Creates a control of type T as a child of the dialog, names it by `id` (no name when id is
    // negative, as for unnumbered labels), places it at `dialogUnits` and, when T has a text or
    // a title, gives it `text`. The dialog owns the control; controls created later lie above
    // earlier ones (so a group box is created before the controls inside it).
    template <class T>
    T* addControl(int id, const QRect& dialogUnits, const QString& text = QString()) {
        T* widget = new T(this);
        if (id >= 0) {
            widget->setObjectName(idName(id));
        }
        if constexpr (requires(T * w, const QString& s) { w->setText(s); }) {
            if (!text.isNull()) {
                widget->setText(text);
            }
        } else if constexpr (requires(T * w, const QString& s) { w->setTitle(s); }) {
            if (!text.isNull()) {
                widget->setTitle(text);
            }
        }
        widget->setGeometry(mapDialogRect(dialogUnits));
        return widget;
    }

    // Sets the dialog font from a template's point size (the application's default family at
    // that size); dialog units follow the new font.
    void setTemplateFont(int pointSize);

    // Fixes the dialog's client size to `width` x `height` dialog units.
    void setTemplateSize(int width, int height);

    // Dialog units to pixels, as the template rectangles are converted: x and width scale by
    // the average character width / 4, y and height by the font height / 8.
    QRect mapDialogRect(const QRect& dialogUnits) const;

    // The average character width and the height of the dialog font in pixels.
    QSize dialogBaseUnits() const;

    // Registers `handler` for the command or control id `id`, replacing an earlier one. The
    // handler runs on the user-interface thread when the control of that id is clicked or
    // triggered, or when runCommand(id) is called.
    void onCommand(int id, CommandHandler handler);

    // Runs the handler of `id` as if its control had been clicked. Returns false when no handler
    // is registered (IDOK and IDCANCEL always have one).
    bool runCommand(int id);

    // Routes `button` (a QAbstractButton: clicked) or action (a QAction: triggered) to the
    // command table by its id name. Controls that exist when the dialog is first shown are
    // routed then; call this for buttons or actions created later (pop-up menus). A control is
    // routed once however often this is called; one without a numeric name is left alone.
    void routeCommand(QObject* control);

    // Ends the dialog: hides it and makes exec() return `result`. May be called from
    // onInitDialog(), in which case the dialog is not shown. The next opening initializes the
    // dialog again.
    void endDialog(int result);
    void done(int result) override;

    // Overridden so that onInitDialog() runs before the dialog is shown and a dialog ended there
    // returns at once.
    int exec() override;
    void setVisible(bool visible) override;

    // Escape and Enter (without a default button) are routed to the command table.
    void accept() override;
    void reject() override;

    // The decimal object name of control id `id`.
    static QString idName(int id);

  protected:
    // Runs each time the dialog opens, before it becomes visible, after its controls are routed
    // to the command table. The default writes the fields to the controls.
    virtual void onInitDialog();
    // Reads the dialog's fields from its controls.
    virtual void readFields() {}
    // Writes the dialog's fields to its controls.
    virtual void writeFields() {}
    // Default handler of IDOK: readFields(), then endDialog(IDOK).
    virtual void onOK();
    // Default handler of IDCANCEL: endDialog(IDCANCEL).
    virtual void onCancel();

  private:
    void initializeOnOpening();

    std::map<int, CommandHandler> commands_;
    bool needsInit_ = true;
    bool initializing_ = false;
    bool endedEarly_ = false;
};
