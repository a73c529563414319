#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>

#include "app/settings/currentsettings.h"
#include "convert/convertorfactory.h"
#include "device/devicetables.h"
#include "platform/dialogframe.h"
#include "ui/progress/savejob.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPainter;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class CImagePane;
class CProgressDlg;
class CUpDownCtrl;

// The document shown in simple mode: the newest one of the configured box when it was listed.
struct SimpleDocument {
    QString fileName;
    QString date;
    QString pageCount;
    std::int32_t colourFlag = 0;
    std::int32_t index = -1;  // position in the simple arrays; -1 none
};

// The main window, in its two modes: advanced (box tree, document list, preview, page range,
// Save/Refresh/Exit) and simple (the newest document of the configured box, Save/Exit).
//
// Start-up runs it modally once an MFP has been chosen. It copies the settings groups from
// CurrentSettings when it opens, reads and replaces them one group at a time while it runs, and
// writes the profile once, when it is left by Exit, Escape or the close box. The work folders
// are emptied when it opens and when it is left. Device failures are reported in message boxes
// owned by the window; the window stays open and keeps its mode.
class CMainDlg : public DialogFrame, public ISaveJobOwner {
    Q_OBJECT
  public:
    // Control, command and menu ids.
    enum ControlId {
        IdBoxTree = 1211,
        IdDocumentList = 1201,
        IdPreviewCheck = 1101,
        IdPreviousPage = 1503,
        IdPageEdit = 1003,
        IdNextPage = 1504,
        IdPreviewPane = 1401,
        IdPageCount = 1701,
        IdPageRangeGroup = 1702,
        IdRangeAll = 1301,
        IdRangeCurrent = 1302,
        IdRangePages = 1303,
        IdFromPage = 1001,
        IdToPage = 1002,
        IdFromUpDown = 1501,
        IdToUpDown = 1502,
        IdEraseGroup = 1703,
        IdDeleteAfterSave = 1102,
        IdSave = 1601,
        IdRefresh = 1603,
        IdExit = 1602,

        IdDocumentGroup = 2001,
        IdDeviceNameLabel = 2002,
        IdBoxNameLabel = 2003,
        IdFileNumberLabel = 2004,
        IdDateTimeLabel = 2005,
        IdPagesLabel = 2006,
        IdColourLabel = 2007,
        IdDestinationGroup = 2008,
        IdFolderLabel = 2009,
        IdFormatLabel = 2010,
        IdSimpleFolder = 2011,
        IdSimpleDeviceName = 2201,
        IdSimpleBoxName = 2202,
        IdSimpleFileNumber = 2203,
        IdSimpleDateTime = 2204,
        IdSimplePages = 2205,
        IdSimpleColour = 2206,
        IdSimpleFormat = 2208,
        IdSimpleSave = 2101,
        IdSimpleExit = 2102,

        IdMenuBasicSettings = 30002,
        IdMenuSelectMfp = 30003,
        IdMenuAdvancedMode = 30102,
        IdMenuSimpleMode = 30103,
        IdMenuDelete = 30201,
        IdSystemAbout = 16,
    };

    enum Mode : std::int16_t { ModeNone = -1, ModeSimple = 0, ModeAdvanced = 1 };

    // The default window sizes in pixels, used until the measured ones are known.
    static constexpr QSize kSimpleDefaultSize{336, 287};
    static constexpr QSize kAdvancedDefaultSize{729, 445};

    // The window is a top-level dialog unless `parent` is given. It contacts nothing until it
    // is opened (exec()).
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Asks the running save job to stop after its current page (the progress dialog's
    // Cancel button). Safe to call from any thread.
    void RequestCancel() override;
    // The save job record and the progress dialog object reused by every save.
    SaveJob& SaveJobRecord() override { return saveJob_; }
    CProgressDlg& ProgressDialog() override;

    // Switches to mode `mode` (ModeSimple or ModeAdvanced): shows that layout's controls, fits
    // the window to its size keeping the centre, updates the Mode Change menu and refreshes the
    // view without listing the boxes again. The mode already shown does nothing at all.
    void SetMode(int mode);
    int mode() const { return mode_; }

    // Refreshes the current mode's view: the box tree in advanced mode, the newest document in
    // simple mode. With `relist` the boxes are listed from the device again.
    void RefreshView(bool relist);

    // Measures the natural window size of each mode from its controls' bounding boxes, once;
    // leaves the sizes unknown (0) when the window is not laid out yet.
    void MeasureModeSizes();
    // The size of `mode`'s window: the measured one when known, its default otherwise.
    QSize ModeSize(int mode) const;

    // Resizes the window to `width` x `height` pixels (frame included), keeping its centre and
    // pushing it back inside the desktop's work area.
    void FitWindowToMode(int width, int height);

    // Reports a failed device operation: "Unable to download the file." for 333 to 338,
    // "Unable to connect to the scanner." otherwise. 807 also clears the saved-password flag
    // in CurrentSettings so the next attempt asks again; in simple mode the document texts
    // are emptied.
    void ReportDeviceError(int code);

    // Advanced refresh: rebuilds the box tree (listing the boxes again with `relist`) and
    // empties the document list and the preview.
    void FillBoxTree(bool relist);
    // Lists the documents of the box shown by tree item `item` (none: the root), asking for the
    // password when the box needs one.
    void OpenBox(QTreeWidgetItem* item);
    // Fills the document list from DocumentTable, last document first.
    void FillDocumentList();

    // Simple refresh: lists the configured box and shows its newest document.
    void ShowNewestDocument(bool relist);
    // Shows the document at `position` of the simple arrays; a negative position empties the
    // document texts.
    void ShowDocumentAt(int position);

  protected:
    void onInitDialog() override;
    void readFields() override;
    void writeFields() override;
    void onOK() override;
    void onCancel() override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class MainDialogProbe;  // tests

    // Adds a control at its template rectangle below the menu bar.
    template <class T>
    T* place(int id, const QRect& dialogUnits, const QString& text = QString()) {
        T* widget = addControl<T>(id, dialogUnits, text);
        widget->move(widget->x(), widget->y() + menuHeight_);
        return widget;
    }
    void buildAdvancedLayout();
    void buildSimpleLayout();
    void buildMenus();
    void connectCommands();
    void ApplyModeMenu();
    void SwitchToSimpleModeWithPreparingWindow();
    void OnBasicSettings();
    void OnSelectMfp();
    void OnSystemCommand(int id);
    void OnExit();
    void OnSave();

    // Box tree and document list notifications.
    void OnTreeClicked(const QPoint& position);
    void OnListSelectionChanged(bool nowSelected, bool wasSelected);
    void OnAllListItemsDeleted();
    void OnListRightClick(const QPoint& position);
    void DeleteAllListItems();
    void SetPageControlsEnabled(bool enabled);
    QTreeWidgetItem* SelectedListItem() const;
    int SelectedPageCount() const;
    QTreeWidgetItem* SelectedTreeItem() const;
    std::uint32_t TreeKeyOf(QTreeWidgetItem* item) const;
    QString ColourText(std::int32_t format) const;
    void SetSimpleDocumentTexts(const QString& fileName, const QString& date, const QString& pages,
                                std::int32_t colourFlag);
    void ClearSimpleDocumentTexts();
    QString DeviceKey() const;

    // Preview pane (joins of the preview commands).
    void ClearPreviewImage();
    void PreviewPage(int documentIndex);
    void ClampCurrentPage(int pageCount);
    void DrawPreviewImage(QPainter& painter);
    void OnPreviousPage();
    void OnNextPage();
    void OnPageEditDone();
    void OnPageEditChanged();
    void OnPreviewToggled();

    // Save and delete commands (joins of the save commands).
    void StartSave();
    void StartSimpleSave();
    void DeleteSelectedDocument();
    void OnPageRangeChoice();
    void OnRangeEditChanged(int id);

    // Selection of another MFP (join of the MFP selection): 1 chosen, -1 cancelled after a
    // failed connection, 0 cancelled.
    int RunMfpSelection();

    // State.
    std::int16_t mode_ = ModeNone;
    MFPInfo device_;
    SettingInfo settings_;
    PasswordInfo password_;
    AppSettings record_;
    QString saveFolder_;
    QString previewFolder_;
    QString settingFolder_;
    QStringList advancedBoxNames_;
    QStringList simpleBoxNames_;
    std::array<std::int32_t, kDocumentTableSize> ColourFlags{};
    int currentPage_ = 1;
    int pageRange_ = 0;
    QString fromText_;
    QString toText_;
    int previewOn_ = 0;
    int deleteAfterSave_ = 0;
    QString pageCountText_;
    QImage previewImage_;
    QRect previewRect_;
    QImage previewScaled_;  // previewImage_ smoothly scaled to previewRect_, made once per page

    QStringList simpleFileNames_;
    QStringList simpleTimestamps_;
    QStringList simplePageCounts_;
    SimpleDocument simpleDocument_;
    int savedCount = 0;
    QString simpleDeviceText_;
    QString simpleBoxText_;
    QString simpleFileNumberText_;
    QString simpleDateText_;
    QString simplePagesText_;
    QString simpleColourText_;
    QString simpleFormatText_;
    QString simpleFolderText_;

    // The convertor of the latest save, the save job and its progress dialog.
    ConvertorHolder convertor_;
    SaveJob saveJob_;
    std::unique_ptr<CProgressDlg> progress_;

    // Natural window sizes: simple width, height, advanced width, height; 0 until measured.
    std::array<int, 4> modeSizes_{};
    bool fitting_ = false;
    std::uint32_t nextTreeKey_ = 1;

    // Controls.
    QMenuBar* menuBar_ = nullptr;
    int menuHeight_ = 0;
    QTreeWidget* boxTree_ = nullptr;
    QTreeWidget* documentList_ = nullptr;
    QCheckBox* previewCheck_ = nullptr;
    QLineEdit* pageEdit_ = nullptr;
    CImagePane* previewPane_ = nullptr;
    QLabel* pageCountLabel_ = nullptr;
    QButtonGroup* rangeGroup_ = nullptr;
    QLineEdit* fromEdit_ = nullptr;
    QLineEdit* toEdit_ = nullptr;
    CUpDownCtrl* fromUpDown_ = nullptr;
    CUpDownCtrl* toUpDown_ = nullptr;
    QCheckBox* deleteCheck_ = nullptr;
    QLabel* rangeDash_ = nullptr;
    QLineEdit* simpleFolder_ = nullptr;
    QList<QWidget*> advancedControls_;
    QList<QWidget*> simpleControls_;
};
