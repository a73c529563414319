#include "platform/dialogframe.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QVariant>

#include <cmath>

namespace {

// Marks a control already connected to the command table, so it is never connected twice.
constexpr char kRoutedProperty[] = "velnorRouted";

// a * b / c rounded half away from zero, as dialog-unit conversion rounds.
int scaleRounded(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

// The id a control's objectName carries, or -1 when the name is not a plain decimal number.
int idOf(const QObject* object) {
    const QString name = object->objectName();
    if (name.isEmpty() || name.size() > 9) {
        return -1;
    }
    for (QChar c : name) {
        if (c < u'0' || c > u'9') {
            return -1;
        }
    }
    return name.toInt();
}

}  // namespace

DialogFrame::DialogFrame(QWidget* parent) : QDialog(parent) {
    setObjectName(idName(0));
}

DialogFrame::~DialogFrame() = default;

QString DialogFrame::idName(int id) {
    return QString::number(id);
}

QWidget* DialogFrame::control(int id) const {
    if (id == 0) {
        return const_cast<DialogFrame*>(this);
    }
    if (id < 0) {
        return nullptr;
    }
    return findChild<QWidget*>(idName(id));
}

void DialogFrame::setTemplateFont(int pointSize) {
    QFont templateFont = QApplication::font();
    if (pointSize > 0) {
        templateFont.setPointSize(pointSize);
    }
    setFont(templateFont);
}

void DialogFrame::setTemplateSize(int width, int height) {
    setFixedSize(mapDialogRect(QRect(0, 0, width, height)).size());
}

QSize DialogFrame::dialogBaseUnits() const {
    const QFontMetrics metrics(font());
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // Average width of the 52 letters, rounded to the nearest pixel.
    const int averageWidth = (alphabet / 26 + 1) / 2;
    return QSize(averageWidth > 0 ? averageWidth : 1, metrics.height() > 0 ? metrics.height() : 1);
}

QRect DialogFrame::mapDialogRect(const QRect& dialogUnits) const {
    const QSize base = dialogBaseUnits();
    return QRect(scaleRounded(dialogUnits.x(), base.width(), 4),
                 scaleRounded(dialogUnits.y(), base.height(), 8),
                 scaleRounded(dialogUnits.width(), base.width(), 4),
                 scaleRounded(dialogUnits.height(), base.height(), 8));
}

void DialogFrame::onCommand(int id, CommandHandler handler) {
    commands_[id] = std::move(handler);
}

bool DialogFrame::runCommand(int id) {
    const auto found = commands_.find(id);
    if (found != commands_.end() && found->second) {
        // Copy first: a handler may replace its own table entry while it runs.
        const CommandHandler handler = found->second;
        handler();
        return true;
    }
    if (id == IDOK) {
        onOK();
        return true;
    }
    if (id == IDCANCEL) {
        onCancel();
        return true;
    }
    return false;
}

void DialogFrame::routeCommand(QObject* control) {
    if (control == nullptr || control == this || control->property(kRoutedProperty).toBool()) {
        return;
    }
    const int id = idOf(control);
    if (id <= 0) {
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        connect(button, &QAbstractButton::clicked, this, [this, id] { runCommand(id); });
    } else if (auto* action = qobject_cast<QAction*>(control)) {
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
    } else {
        return;
    }
    control->setProperty(kRoutedProperty, true);
}

void DialogFrame::initializeOnOpening() {
    if (!needsInit_ || initializing_) {
        return;
    }
    initializing_ = true;
    for (QObject* child : findChildren<QObject*>()) {
        routeCommand(child);
    }
    onInitDialog();
    initializing_ = false;
    needsInit_ = false;
}

void DialogFrame::onInitDialog() {
    writeFields();
}

void DialogFrame::onOK() {
    readFields();
    endDialog(IDOK);
}

void DialogFrame::onCancel() {
    endDialog(IDCANCEL);
}

void DialogFrame::endDialog(int result) {
    if (initializing_) {
        endedEarly_ = true;
        setResult(result);
        return;
    }
    done(result);
}

void DialogFrame::done(int result) {
    QDialog::done(result);
    needsInit_ = true;
}

int DialogFrame::exec() {
    initializeOnOpening();
    if (endedEarly_) {
        endedEarly_ = false;
        needsInit_ = true;
        return result();
    }
    return QDialog::exec();
}

void DialogFrame::setVisible(bool visible) {
    if (visible) {
        initializeOnOpening();
        if (endedEarly_) {
            // Ended from onInitDialog(): the dialog is not shown.
            endedEarly_ = false;
            needsInit_ = true;
            return;
        }
    }
    QDialog::setVisible(visible);
}

void DialogFrame::accept() {
    runCommand(IDOK);
}

void DialogFrame::reject() {
    runCommand(IDCANCEL);
}
