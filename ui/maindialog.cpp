#include "ui/maindialog.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTreeWidget>

#include "app/folders/workfolders.h"
#include "app/settings/settingsstore.h"
#include "app/texts/localizedialog.h"
#include "ui/elidedlabel.h"
#include "ui/icons.h"
#include "ui/imagepane.h"
#include "ui/labelfit.h"
#include "ui/progress/progressdialog.h"
#include "ui/uitexts.h"
#include "ui/updowncontrol.h"

namespace {

// Caption tables applied at opening: the advanced controls first, then the simple ones, so
// the window caption ends as the simple table's.
const CaptionTable kAdvancedCaptions = {
    {0, 10101},
    {CMainDlg::IdPreviewCheck, 10102},
    {CMainDlg::IdDeleteAfterSave, 10103},
    {CMainDlg::IdRangeAll, 10104},
    {CMainDlg::IdRangeCurrent, 10105},
    {CMainDlg::IdRangePages, 10106},
    {CMainDlg::IdSave, 10107},
    {CMainDlg::IdExit, 10108},
    {CMainDlg::IdRefresh, 10109},
    {CMainDlg::IdPageRangeGroup, 10006},
    {CMainDlg::IdEraseGroup, 10007},
    {-1, 0},
};

const CaptionTable kSimpleCaptions = {
    {0, 11201},
    {CMainDlg::IdDocumentGroup, 11001},
    {CMainDlg::IdDeviceNameLabel, 11002},
    {CMainDlg::IdBoxNameLabel, 11003},
    {CMainDlg::IdFileNumberLabel, 11004},
    {CMainDlg::IdDateTimeLabel, 11005},
    {CMainDlg::IdPagesLabel, 11006},
    {CMainDlg::IdColourLabel, 11007},
    {CMainDlg::IdDestinationGroup, 11008},
    {CMainDlg::IdFolderLabel, 11009},
    {CMainDlg::IdFormatLabel, 11010},
    {CMainDlg::IdSimpleSave, 11101},
    {CMainDlg::IdSimpleExit, 11102},
    {-1, 0},
};

// The document list's columns: title text id and width in pixels.
struct ListColumn {
    int textId;
    int width;
};
constexpr ListColumn kListColumns[] = {{10001, 80}, {10002, 130}, {10003, 70}, {10004, 90}};

QRegularExpressionValidator* DigitsValidator(QObject* parent, int maxLength) {
    return new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(maxLength)), parent);
}

// A number at the start of `text`, or 0 when it does not start with a digit.
int LeadingNumber(const QString& text) {
    qsizetype digits = 0;
    while (digits < text.size() && digits < 9 && text[digits].isDigit()) {
        ++digits;
    }
    return digits == 0 ? 0 : text.left(digits).toInt();
}

}  // namespace

CMainDlg::CMainDlg(QWidget* parent) : DialogFrame(parent) {
    setWindowTitle(QStringLiteral("Velnor"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setTemplateFont(9);

    // The menu bar takes the top of the window; the controls sit at their template places
    // below it.
    buildMenus();
    const QRect templateArea = mapDialogRect(QRect(0, 0, 412, 266));
    menuHeight_ = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, templateArea.width(), menuHeight_);
    buildAdvancedLayout();
    buildSimpleLayout();
    resize(templateArea.width(), menuHeight_ + templateArea.height());

    connectCommands();
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::buildAdvancedLayout() {
    auto track = [this](QWidget* widget) {
        advancedControls_.append(widget);
        return widget;
    };

    boxTree_ = place<QTreeWidget>(IdBoxTree, QRect(7, 7, 65, 156));
    boxTree_->setHeaderHidden(true);
    boxTree_->setSelectionMode(QAbstractItemView::SingleSelection);
    boxTree_->setIconSize(QSize(16, 16));
    boxTree_->setIndentation(14);
    boxTree_->viewport()->installEventFilter(this);
    track(boxTree_);

    documentList_ = place<QTreeWidget>(IdDocumentList, QRect(78, 7, 214, 156));
    documentList_->setRootIsDecorated(false);
    documentList_->setUniformRowHeights(true);
    documentList_->setSelectionMode(QAbstractItemView::SingleSelection);
    documentList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    documentList_->setSortingEnabled(false);
    documentList_->setIconSize(QSize(16, 16));
    documentList_->setContextMenuPolicy(Qt::CustomContextMenu);
    documentList_->header()->setSectionsClickable(false);
    documentList_->header()->setSectionsMovable(false);
    documentList_->setColumnCount(4);
    track(documentList_);

    previewCheck_ =
        place<QCheckBox>(IdPreviewCheck, QRect(311, 130, 93, 10), QStringLiteral("Preview"));
    track(previewCheck_);
    auto* previous = place<QPushButton>(IdPreviousPage, QRect(302, 145, 11, 14));
    previous->setIcon(VelnorIcon(IconPreviousPage));
    previous->setAutoDefault(false);
    track(previous);
    auto* next = place<QPushButton>(IdNextPage, QRect(335, 145, 10, 14));
    next->setIcon(VelnorIcon(IconNextPage));
    next->setAutoDefault(false);
    track(next);
    pageEdit_ = place<QLineEdit>(IdPageEdit, QRect(313, 146, 21, 14));
    pageEdit_->setAlignment(Qt::AlignCenter);
    pageEdit_->installEventFilter(this);
    track(pageEdit_);

    auto* rangeGroupBox =
        place<QGroupBox>(IdPageRangeGroup, QRect(22, 170, 166, 63), QStringLiteral("Page Range"));
    track(rangeGroupBox);
    rangeGroup_ = new QButtonGroup(this);
    const std::pair<int, const char*> ranges[] = {
        {IdRangeAll, "All"}, {IdRangeCurrent, "Current page"}, {IdRangePages, "Pages"}};
    const QRect rangeRects[] = {QRect(27, 182, 55, 10), QRect(27, 197, 75, 10),
                                QRect(27, 212, 56, 10)};
    for (int i = 0; i < 3; ++i) {
        auto* radio = place<QRadioButton>(ranges[i].first, rangeRects[i],
                                          QString::fromLatin1(ranges[i].second));
        rangeGroup_->addButton(radio, i);
        track(radio);
    }
    fromEdit_ = place<QLineEdit>(IdFromPage, QRect(85, 211, 33, 14));
    fromEdit_->setValidator(DigitsValidator(fromEdit_, 4));
    fromEdit_->setMaxLength(4);
    track(fromEdit_);
    fromUpDown_ = place<CUpDownCtrl>(IdFromUpDown, QRect(115, 222, 10, 14));
    fromUpDown_->setBuddy(fromEdit_);
    track(fromUpDown_);
    rangeDash_ = place<QLabel>(-1, QRect(123, 214, 8, 8), QStringLiteral("-"));
    rangeDash_->setAlignment(Qt::AlignCenter);
    track(rangeDash_);
    toEdit_ = place<QLineEdit>(IdToPage, QRect(132, 211, 32, 14));
    toEdit_->setValidator(DigitsValidator(toEdit_, 4));
    toEdit_->setMaxLength(4);
    track(toEdit_);
    toUpDown_ = place<CUpDownCtrl>(IdToUpDown, QRect(167, 221, 10, 14));
    toUpDown_->setBuddy(toEdit_);
    track(toUpDown_);
    // Bound to its edit, an up-down control takes the right end of the edit's rectangle and
    // the edit gives up that width.
    for (auto [upDown, edit] : {std::pair{fromUpDown_, fromEdit_}, std::pair{toUpDown_, toEdit_}}) {
        const QRect field = edit->geometry();
        const int width = upDown->width();
        upDown->setGeometry(field.right() + 1 - width, field.top(), width, field.height());
        edit->setGeometry(field.left(), field.top(), field.width() - width, field.height());
    }

    track(place<QGroupBox>(IdEraseGroup, QRect(195, 171, 119, 30),
                           QStringLiteral("Erase document(s)")));
    deleteCheck_ = place<QCheckBox>(IdDeleteAfterSave, QRect(202, 182, 110, 11),
                                    QStringLiteral("Delete after save"));
    track(deleteCheck_);
    auto* save = place<QPushButton>(IdSave, QRect(192, 245, 69, 14), QStringLiteral("Save"));
    save->setDefault(true);
    track(save);
    track(place<QPushButton>(IdRefresh, QRect(268, 245, 65, 14), QStringLiteral("Refresh")));
    track(place<QPushButton>(IdExit, QRect(340, 245, 64, 14), QStringLiteral("Exit")));
    previewPane_ = place<CImagePane>(IdPreviewPane, QRect(299, 7, 105, 122));
    previewPane_->setDrawRoutine([this](QPainter& painter) { DrawPreviewImage(painter); });
    track(previewPane_);
    pageCountLabel_ = place<QLabel>(IdPageCount, QRect(359, 147, 45, 8));
    track(pageCountLabel_);

    for (QGroupBox* box : findChildren<QGroupBox*>()) {
        box->lower();
    }
}

void CMainDlg::buildSimpleLayout() {
    auto track = [this](QWidget* widget) {
        simpleControls_.append(widget);
        return widget;
    };
    track(place<QGroupBox>(IdDocumentGroup, QRect(7, 2, 175, 92),
                           QStringLiteral("Document Information")));
    struct Row {
        int labelId;
        QRect label;
        const char* text;
        int valueId;
        QRect value;
    };
    const Row rows[] = {
        {IdDeviceNameLabel, QRect(14, 15, 54, 8), "Device Name:", IdSimpleDeviceName,
         QRect(77, 14, 98, 8)},
        {IdBoxNameLabel, QRect(14, 27, 56, 8), "Box Name:", IdSimpleBoxName, QRect(77, 27, 76, 8)},
        {IdFileNumberLabel, QRect(14, 40, 55, 8), "File Number:", IdSimpleFileNumber,
         QRect(77, 40, 57, 8)},
        {IdDateTimeLabel, QRect(14, 53, 55, 8), "Date/Time:", IdSimpleDateTime,
         QRect(77, 53, 96, 8)},
        {IdPagesLabel, QRect(15, 66, 53, 8), "Pages:", IdSimplePages, QRect(77, 66, 56, 8)},
        {IdColourLabel, QRect(15, 79, 55, 8), "B/W / Color:", IdSimpleColour, QRect(77, 79, 57, 8)},
    };
    for (const Row& row : rows) {
        track(place<QLabel>(row.labelId, row.label, QString::fromLatin1(row.text)));
        track(place<CElidedLabel>(row.valueId, row.value, QString()));
    }
    track(place<QGroupBox>(IdDestinationGroup, QRect(7, 96, 175, 42),
                           QStringLiteral("Destination Information")));
    track(
        place<QLabel>(IdFolderLabel, QRect(14, 109, 55, 8), QStringLiteral("Destination Folder:")));
    simpleFolder_ = place<QLineEdit>(IdSimpleFolder, QRect(74, 106, 100, 14));
    simpleFolder_->setReadOnly(true);
    track(simpleFolder_);
    track(place<QLabel>(IdFormatLabel, QRect(15, 122, 55, 8), QStringLiteral("File Format:")));
    track(place<CElidedLabel>(IdSimpleFormat, QRect(77, 122, 95, 8), QString()));
    track(place<QPushButton>(IdSimpleSave, QRect(33, 141, 50, 14), QStringLiteral("Save")));
    track(place<QPushButton>(IdSimpleExit, QRect(105, 141, 49, 14), QStringLiteral("Exit")));
    for (QWidget* widget : simpleControls_) {
        if (qobject_cast<QGroupBox*>(widget)) {
            widget->lower();
        }
    }
}

void CMainDlg::buildMenus() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    QMenu* settings = menuBar_->addMenu(QStringLiteral("Settings"));
    settings->addAction(QStringLiteral("Select MFP"))->setObjectName(idName(IdMenuSelectMfp));
    settings->addAction(QStringLiteral("Basic Settings"))
        ->setObjectName(idName(IdMenuBasicSettings));
    QMenu* modeChange = menuBar_->addMenu(QStringLiteral("Mode Change"));
    for (int id : {IdMenuAdvancedMode, IdMenuSimpleMode}) {
        QAction* action =
            modeChange->addAction(id == IdMenuAdvancedMode ? QStringLiteral("Advance Mode")
                                                           : QStringLiteral("Simple Mode"));
        action->setObjectName(idName(id));
        action->setCheckable(true);
    }
    // This platform has no window system menu to extend; its "About" item sits at the end of
    // the menu bar and carries the system command id.
    menuBar_->addAction(QStringLiteral("About"))->setObjectName(idName(IdSystemAbout));
}

void CMainDlg::connectCommands() {
    onCommand(IdSave, [this] { OnSave(); });
    onCommand(IdSimpleSave, [this] { OnSave(); });
    onCommand(IdExit, [this] { onCancel(); });
    onCommand(IdSimpleExit, [this] { onCancel(); });
    onCommand(IdRefresh, [this] { RefreshView(false); });
    onCommand(IdMenuBasicSettings, [this] { OnBasicSettings(); });
    onCommand(IdMenuSelectMfp, [this] { OnSelectMfp(); });
    onCommand(IdMenuAdvancedMode, [this] {
        SetMode(ModeAdvanced);
        ApplyModeMenu();  // a click on a checkable item toggles it; put the marks back
    });
    onCommand(IdMenuSimpleMode, [this] {
        SwitchToSimpleModeWithPreparingWindow();
        ApplyModeMenu();
    });
    onCommand(IdMenuDelete, [this] { DeleteSelectedDocument(); });
    onCommand(IdSystemAbout, [this] { OnSystemCommand(IdSystemAbout); });
    for (int id : {IdRangeAll, IdRangeCurrent, IdRangePages}) {
        onCommand(id, [this] { OnPageRangeChoice(); });
    }
    onCommand(IdPreviewCheck, [this] { OnPreviewToggled(); });
    onCommand(IdPreviousPage, [this] { OnPreviousPage(); });
    onCommand(IdNextPage, [this] { OnNextPage(); });

    connect(pageEdit_, &QLineEdit::textEdited, this, [this] { OnPageEditChanged(); });
    connect(fromEdit_, &QLineEdit::textEdited, this, [this] { OnRangeEditChanged(IdFromPage); });
    connect(toEdit_, &QLineEdit::textEdited, this, [this] { OnRangeEditChanged(IdToPage); });
    connect(documentList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                OnListSelectionChanged(!selected.isEmpty(), !deselected.isEmpty());
            });
    connect(documentList_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { OnListRightClick(position); });
}

void CMainDlg::onInitDialog() {
    LocalizeDialog(this, kAdvancedCaptions);
    LocalizeDialog(this, kSimpleCaptions);

    // Menu texts: the two popups by position, the items by command id.
    const QList<QAction*> popups = menuBar_->actions();
    popups[0]->setText(LocalizedText(30001));
    popups[1]->setText(LocalizedText(30101));
    const std::pair<int, int> items[] = {{IdMenuSelectMfp, 30302},
                                         {IdMenuBasicSettings, 30301},
                                         {IdMenuAdvancedMode, 30303},
                                         {IdMenuSimpleMode, 30304},
                                         {IdSystemAbout, 30401}};
    for (auto [id, textId] : items) {
        control<QAction>(id)->setText(LocalizedText(textId));
    }
    control<QAction>(IdMenuAdvancedMode)->setChecked(true);
    control<QAction>(IdMenuAdvancedMode)->setEnabled(false);
    control<QAction>(IdMenuSimpleMode)->setChecked(false);
    control<QAction>(IdMenuSimpleMode)->setEnabled(true);

    setWindowIcon(VelnorIcon(IconProgram));
    FitLabelTexts(this);

    record_.mfpInfo = device_ = SyncFromCurrent(record_.mfpInfo);
    settings_ = SyncFromCurrent(record_.settingInfo);
    password_ = SyncFromCurrent(record_.passwordInfo);

    CreateWorkFolders();
    saveFolder_ = QString::fromStdU16String(SaveFolder());
    previewFolder_ = QString::fromStdU16String(PreviewFolder());
    settingFolder_ = QString::fromStdU16String(SettingFolder());
    ClearFolder(SaveFolder());
    ClearFolder(PreviewFolder());

    QStringList titles;
    for (const ListColumn& column : kListColumns) {
        titles.append(LocalizedText(column.textId));
    }
    documentList_->setHeaderLabels(titles);
    // The widths are pixels of the template's dialog font, whose average character is 6 pixels
    // wide; they grow with this platform's wider font so that a timestamp still fits.
    const int characterWidth = std::max(6, dialogBaseUnits().width());
    for (int i = 0; i < 4; ++i) {
        documentList_->setColumnWidth(i, kListColumns[i].width * characterWidth / 6);
        documentList_->headerItem()->setTextAlignment(i, Qt::AlignLeft | Qt::AlignVCenter);
    }

    for (int id :
         {IdFromPage, IdToPage, IdFromUpDown, IdToUpDown, IdPreviousPage, IdNextPage, IdPageEdit}) {
        control(id)->setEnabled(false);
    }
    deleteAfterSave_ = settings_.DeleteFile;

    pageEdit_->setMaxLength(4);
    pageEdit_->setValidator(DigitsValidator(pageEdit_, 4));
    for (QLineEdit* edit : {fromEdit_, toEdit_, pageEdit_}) {
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        edit->setInputMethodHints(Qt::ImhDigitsOnly);
    }

    // A dialog opens centred on the desktop's work area; mode switches then keep that centre.
    if (const QScreen* display = screen()) {
        const QRect work = display->availableGeometry();
        move(work.left() + (work.width() - frameGeometry().width()) / 2,
             work.top() + (work.height() - frameGeometry().height()) / 2);
    }
    if (settings_.SimpleMode != 0) {
        SwitchToSimpleModeWithPreparingWindow();
    } else {
        SetMode(ModeAdvanced);
    }
    writeFields();
}

void CMainDlg::readFields() {
    const QString page = pageEdit_->text();
    currentPage_ = page.isEmpty() ? 0 : LeadingNumber(page);
    pageRange_ = rangeGroup_->checkedId();
    fromText_ = fromEdit_->text().left(4);
    toText_ = toEdit_->text().left(4);
    previewOn_ = previewCheck_->isChecked() ? 1 : 0;
    deleteAfterSave_ = deleteCheck_->isChecked() ? 1 : 0;
    pageCountText_ = pageCountLabel_->text();
    simpleDeviceText_ = control<QLabel>(IdSimpleDeviceName)->text();
    simpleBoxText_ = control<QLabel>(IdSimpleBoxName)->text();
    simpleFileNumberText_ = control<QLabel>(IdSimpleFileNumber)->text();
    simpleDateText_ = control<QLabel>(IdSimpleDateTime)->text();
    simplePagesText_ = control<QLabel>(IdSimplePages)->text();
    simpleColourText_ = control<QLabel>(IdSimpleColour)->text();
    simpleFormatText_ = control<QLabel>(IdSimpleFormat)->text();
    simpleFolderText_ = simpleFolder_->text();
}

void CMainDlg::writeFields() {
    pageEdit_->setText(QString::number(static_cast<unsigned>(currentPage_)));
    if (QAbstractButton* button = rangeGroup_->button(pageRange_)) {
        button->setChecked(true);
    }
    fromEdit_->setText(fromText_);
    toEdit_->setText(toText_);
    previewCheck_->setChecked(previewOn_ != 0);
    deleteCheck_->setChecked(deleteAfterSave_ != 0);
    pageCountLabel_->setText(pageCountText_);
    control<QLabel>(IdSimpleDeviceName)->setText(simpleDeviceText_);
    control<QLabel>(IdSimpleBoxName)->setText(simpleBoxText_);
    control<QLabel>(IdSimpleFileNumber)->setText(simpleFileNumberText_);
    control<QLabel>(IdSimpleDateTime)->setText(simpleDateText_);
    control<QLabel>(IdSimplePages)->setText(simplePagesText_);
    control<QLabel>(IdSimpleColour)->setText(simpleColourText_);
    control<QLabel>(IdSimpleFormat)->setText(simpleFormatText_);
    simpleFolder_->setText(simpleFolderText_);
}

void CMainDlg::onOK() {
    OnSave();
}

void CMainDlg::OnSave() {
    if (mode_ == ModeSimple) {
        StartSimpleSave();
    } else {
        StartSave();
    }
}

void CMainDlg::onCancel() {
    OnExit();
}

void CMainDlg::OnExit() {
    CreateWorkFolders();
    ClearFolder(SaveFolder());
    ClearFolder(PreviewFolder());
    SaveSettings(record_);
    endDialog(IDCANCEL);
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pageEdit_) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // Enter in the page edit goes to the edit alone: it shows the typed page and
                // never runs Save.
                OnPageEditDone();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            OnPageEditDone();
        }
    } else if (watched == boxTree_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            OnTreeClicked(mouse->position().toPoint());
        }
    }
    return DialogFrame::eventFilter(watched, event);
}
