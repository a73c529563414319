// The main window's two modes: which controls show, the Mode Change menu and the window size.
#include <QAction>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>

#include <algorithm>

#include "ui/maindialog.h"

namespace {

// The controls of each layout, in the order the sizes are measured over.
constexpr int kSimpleLayout[] = {2001, 2002, 2201, 2003, 2202, 2004, 2203, 2005, 2204, 2006,
                                 2205, 2007, 2206, 2008, 2009, 2011, 2010, 2208, 2101, 2102};
constexpr int kAdvancedLayout[] = {1211, 1201, 1101, 1503, 1504, 1003, 1702, 1301, 1302, 1303, 1001,
                                   1501, 1002, 1502, 1703, 1102, 1601, 1603, 1602, 1701, 1401};

// Screen rectangle of a widget: left, top inclusive; right, bottom one past the last pixel.
struct ScreenRect {
    int left, top, right, bottom;
};

ScreenRect ScreenRectOf(const QWidget* widget) {
    const QPoint topLeft = widget->mapToGlobal(QPoint(0, 0));
    return {topLeft.x(), topLeft.y(), topLeft.x() + widget->width(),
            topLeft.y() + widget->height()};
}

// The bounding box of a layout's controls, or nothing when a control is missing or lies
// off the screen's positive quadrant.
template <std::size_t N>
std::optional<ScreenRect> BoundingBox(const CMainDlg& window, const int (&ids)[N]) {
    ScreenRect box{0, 0, 0, 0};
    bool first = true;
    for (int id : ids) {
        const QWidget* widget = window.control(id);
        if (!widget) {
            return std::nullopt;
        }
        const ScreenRect rect = ScreenRectOf(widget);
        if (rect.left < 0 || rect.top < 0 || rect.right <= 0 || rect.bottom <= 0) {
            return std::nullopt;
        }
        if (first) {
            box = rect;
            first = false;
        } else {
            box.left = std::min(box.left, rect.left);
            box.top = std::min(box.top, rect.top);
            box.right = std::max(box.right, rect.right);
            box.bottom = std::max(box.bottom, rect.bottom);
        }
    }
    return box;
}

}  // namespace

void CMainDlg::SetMode(int mode) {
    if (mode == mode_) {
        return;
    }
    mode_ = static_cast<std::int16_t>(mode);
    const bool simple = mode_ == ModeSimple;
    for (QWidget* widget : advancedControls_) {
        widget->setVisible(!simple);
    }
    for (QWidget* widget : simpleControls_) {
        widget->setVisible(simple);
    }
    // Enter presses the shown layout's Save button, the window's OK command.
    control<QPushButton>(IdSave)->setDefault(!simple);
    control<QPushButton>(IdSimpleSave)->setDefault(simple);
    const QSize size = ModeSize(mode_);
    FitWindowToMode(size.width(), size.height());
    ApplyModeMenu();
    RefreshView(false);
    writeFields();
}

void CMainDlg::ApplyModeMenu() {
    QAction* advanced = control<QAction>(IdMenuAdvancedMode);
    QAction* simple = control<QAction>(IdMenuSimpleMode);
    const bool isSimple = mode_ == ModeSimple;
    advanced->setChecked(!isSimple);
    advanced->setEnabled(isSimple);
    simple->setChecked(isSimple);
    simple->setEnabled(!isSimple);
    menuBar_->update();
}

void CMainDlg::RefreshView(bool relist) {
    if (mode_ == ModeAdvanced) {
        FillBoxTree(relist);
    } else {
        ShowNewestDocument(relist);
    }
}

QSize CMainDlg::ModeSize(int mode) const {
    if (mode == ModeSimple) {
        return modeSizes_[0] && modeSizes_[1] ? QSize(modeSizes_[0], modeSizes_[1])
                                              : kSimpleDefaultSize;
    }
    return modeSizes_[2] && modeSizes_[3] ? QSize(modeSizes_[2], modeSizes_[3])
                                          : kAdvancedDefaultSize;
}

void CMainDlg::MeasureModeSizes() {
    const std::optional<ScreenRect> simple = BoundingBox(*this, kSimpleLayout);
    const std::optional<ScreenRect> advanced = BoundingBox(*this, kAdvancedLayout);
    if (!simple || !advanced) {
        return;
    }
    const QRect window = frameGeometry();
    const int advancedMargin = advanced->left - window.left();
    const int simpleMargin = simple->left - window.left();
    if (advancedMargin <= 0 || simpleMargin <= 0 ||
        advanced->top - window.top() - advancedMargin <= 0 ||
        simple->top - window.top() - simpleMargin <= 0) {
        return;
    }
    modeSizes_[0] = simple->right - simple->left + 2 * simpleMargin;
    modeSizes_[1] = simple->bottom - window.top() + simpleMargin;
    modeSizes_[2] = advanced->right - advanced->left + 2 * advancedMargin;
    modeSizes_[3] = advanced->bottom - window.top() + advancedMargin;
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
    DialogFrame::resizeEvent(event);
    menuBar_->setGeometry(0, 0, width(), menuBar_->height());
    if (fitting_) {
        return;
    }
    if (std::find(modeSizes_.begin(), modeSizes_.end(), 0) != modeSizes_.end()) {
        MeasureModeSizes();
    }
    if (mode_ == ModeNone) {
        return;
    }
    const QSize size = ModeSize(mode_);
    FitWindowToMode(size.width(), size.height());
}

void CMainDlg::FitWindowToMode(int width, int height) {
    const QRect window = frameGeometry();
    const QScreen* display = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect workArea = display ? display->availableGeometry() : QRect(0, 0, 1024, 768);
    if (window.width() == width && window.height() == height) {
        return;
    }
    // The window frame is outside the client size the toolkit resizes.
    const QSize frame = window.size() - geometry().size();
    const QSize client(std::max(1, width - frame.width()), std::max(1, height - frame.height()));

    fitting_ = true;
    if (window.right() < 0 && window.bottom() < 0) {
        setFixedSize(client);
        move(workArea.left() + (workArea.width() - width) / 2,
             workArea.top() + (workArea.height() - height) / 2);
        fitting_ = false;
        return;
    }
    int left = std::max(0, window.left() + window.width() / 2 - width / 2);
    int top = std::max(0, window.top() + window.height() / 2 - height / 2);
    // Only the work area's extent is used, not its position.
    if (left + width > workArea.width()) {
        left = workArea.width() - width;
    }
    if (top + height > workArea.height()) {
        top = workArea.height() - height;
    }
    setFixedSize(client);
    move(left, top);
    fitting_ = false;
    update();
}
