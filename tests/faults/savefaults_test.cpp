// The fault matrix of the save path: each row plays one fault while a document is being saved
// and checks what a user relies on: the document is still in its box, no output is left that
// looks complete, the user was told what happened in the right words, and the program answers
// again within the transport's time bound.

#include <gtest/gtest.h>

#include <QDir>
#include <QMetaObject>
#include <QPushButton>

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "convert/colorpdfconvertor.h"
#include "convert/jpgpassthruconvertor.h"
#include "convert/monopdfconvertor.h"
#include "convert/tiffconvertor.h"
#include "device/deviceaccess.h"
#include "platform/messageboxrecorder.h"
#include "tests/convert/convertfixture.h"
#include "tests/faults/faultfixture.h"
#include "tools/mfpsim/simulatorstore.h"
#include "ui/savecommandsdelete.h"

using namespace convert;
using namespace converttest;

namespace {

constexpr const char* kDownloadFailed = "Unable to download the file.";
constexpr const char* kSaveFailed = "Failed to save the file.";
constexpr const char* kCommunication = "Communication";
constexpr const char* kSave = "Save";

enum class Output { ColourPdf, MonoPdf, Tiff, Jpeg };

std::unique_ptr<IConvertor> MakeConvertor(Output output) {
    switch (output) {
        case Output::ColourPdf:
            return std::make_unique<CColorPdfConvertor>();
        case Output::MonoPdf:
            return std::make_unique<CMonoPdfConvertor>();
        case Output::Tiff:
            return std::make_unique<CTiffConvertor>();
        case Output::Jpeg:
            return std::make_unique<CJpgPassthruConvertor>();
    }
    return nullptr;
}

bool IsMonochrome(Output output) {
    return output == Output::MonoPdf || output == Output::Tiff;
}

QString FileName(Output output) {
    switch (output) {
        case Output::ColourPdf:
        case Output::MonoPdf:
            return QStringLiteral("scan.pdf");
        case Output::Tiff:
            return QStringLiteral("scan.tif");
        case Output::Jpeg:
            return QStringLiteral("scan.jpg");
    }
    return {};
}

// Prepares the convertor as the save command does.
void Ready(IConvertor& convertor, const QString& folder, const QString& name, int first, int last,
           const QString& saveFolder) {
    ASSERT_EQ(convertor.Prepare(folder, name), kOk);
    ASSERT_EQ(convertor.SetWorkFolder(saveFolder), kOk);
    ASSERT_EQ(convertor.SetPageRange(first, last), kOk);
}

// ---- Faults the device plays -------------------------------------------------------------

struct DeviceFault {
    const char* name;
    std::vector<std::string> misbehave;
    bool usb;
    Output output;
    const char* text;
    const char* caption;
};

class DeviceFaultTest : public FaultMatrixTest, public testing::WithParamInterface<DeviceFault> {};

TEST_P(DeviceFaultTest, DocumentStaysNoOutputUserToldProgramAnswers) {
    const DeviceFault& row = GetParam();
    StartFaultDevice(3, IsMonochrome(row.output), row.misbehave, row.usb);
    MessageBoxRecorder messages;
    const std::unique_ptr<IConvertor> convertor = MakeConvertor(row.output);
    Ready(*convertor, out(), FileName(row.output), 1, 3, SaveFolderPath());

    EXPECT_FALSE(TimedSave(*convertor));
    EXPECT_LT(elapsed, kAnswerBound);
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(messages.calls()[0].text, QString::fromUtf8(row.text));
    EXPECT_EQ(messages.calls()[0].caption, QString::fromUtf8(row.caption));
    EXPECT_FALSE(statusTexts.contains(QStringLiteral("Saved successfully")));
    EXPECT_TRUE(Entries(out()).isEmpty()) << Entries(out()).join(u',').toStdString();
    EXPECT_TRUE(DocumentStillStored());
    EXPECT_TRUE(DeviceAnswersAgain());
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, DeviceFaultTest,
    testing::Values(DeviceFault{"ConnectionDropsHalfWayThroughPageTwo",
                                {"drop:loadimg@1"},
                                false,
                                Output::ColourPdf,
                                kDownloadFailed,
                                kCommunication},
                    DeviceFault{"DeviceStallsOnPageTwo",
                                {"stall:loadimg:30@1"},
                                false,
                                Output::ColourPdf,
                                kDownloadFailed,
                                kCommunication},
                    DeviceFault{"PageSentWithoutItsLength",
                                {"unsized:loadimg@1"},
                                false,
                                Output::Tiff,
                                kDownloadFailed,
                                kCommunication},
                    DeviceFault{"ImageInformationIsMalformedXml",
                                {"malformed:GETIMAGEINFO@1"},
                                false,
                                Output::ColourPdf,
                                kDownloadFailed,
                                kCommunication},
                    DeviceFault{"ImageInformationStalls",
                                {"stall:GETIMAGEINFO:30@1"},
                                false,
                                Output::MonoPdf,
                                kDownloadFailed,
                                kCommunication},
                    DeviceFault{"ImageInformationHttpError",
                                {"status:GETIMAGEINFO:500@1"},
                                false,
                                Output::ColourPdf,
                                kDownloadFailed,
                                kCommunication},
                    // A refusal is the device's answer, not a failed download: the pages keep no
                    // size, and the PDF writer refuses them rather than invent one.
                    DeviceFault{"ImageInformationRefusedWith808",
                                {"refuse:GETIMAGEINFO:808"},
                                false,
                                Output::ColourPdf,
                                kSaveFailed,
                                kSave},
                    DeviceFault{"UsbChannelClosesMidChunk",
                                {"drop:GETDATA@1"},
                                true,
                                Output::ColourPdf,
                                kDownloadFailed,
                                kCommunication},
                    DeviceFault{"UsbChannelStallsMidPage",
                                {"stall:GETDATA:30@1"},
                                true,
                                Output::Tiff,
                                kDownloadFailed,
                                kCommunication},
                    DeviceFault{"UsbImageInformationMalformed",
                                {"malformed:GETIMAGEINFO@1"},
                                true,
                                Output::MonoPdf,
                                kDownloadFailed,
                                kCommunication}),
    [](const testing::TestParamInfo<DeviceFault>& info) { return std::string(info.param.name); });

// ---- Faults of the destination and the work folder ---------------------------------------

std::string OutputName(const testing::TestParamInfo<Output>& info) {
    switch (info.param) {
        case Output::ColourPdf:
            return "ColourPdf";
        case Output::MonoPdf:
            return "MonoPdf";
        case Output::Tiff:
            return "Tiff";
        case Output::Jpeg:
            return "Jpeg";
    }
    return "Unknown";
}

class DestinationFullTest : public FaultMatrixTest, public testing::WithParamInterface<Output> {};

// The destination takes no more than a few hundred bytes once the last page has arrived: every
// output format fails part-way through its write, and nothing that looks complete stays.
TEST_P(DestinationFullTest, ConversionFailsAndLeavesNoOutput) {
    const Output output = GetParam();
    StartFaultDevice(3, IsMonochrome(output), {}, false);
    MessageBoxRecorder messages;
    const std::unique_ptr<IConvertor> convertor = MakeConvertor(output);
    Ready(*convertor, out(), FileName(output), 1, 3, SaveFolderPath());
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    owner.SaveJobRecord().downloadPage = [&](const MFPInfo& m, int index, int page,
                                             PageImageInfo* info) {
        const int result = DeviceAccess::DownloadPageForSave(m, index, page, info);
        if (page == 3) {
            rlimit small = before;
            small.rlim_cur = 300;
            ::setrlimit(RLIMIT_FSIZE, &small);
        }
        return result;
    };

    const bool saved = TimedSave(*convertor);
    ::setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_FALSE(saved);
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(messages.calls()[0].text, QString::fromUtf8(kSaveFailed));
    EXPECT_EQ(messages.calls()[0].caption, QString::fromUtf8(kSave));
    EXPECT_TRUE(Entries(out()).isEmpty()) << Entries(out()).join(u',').toStdString();
    EXPECT_TRUE(DocumentStillStored());
    EXPECT_LT(elapsed, kAnswerBound);
}

INSTANTIATE_TEST_SUITE_P(Matrix, DestinationFullTest,
                         testing::Values(Output::ColourPdf, Output::MonoPdf, Output::Tiff,
                                         Output::Jpeg),
                         OutputName);

// The destination was writable when the save was prepared and turns read-only while the pages
// download.
TEST_F(FaultMatrixTest, DestinationBecomesReadOnly) {
    StartFaultDevice(3, false, {}, false);
    const QString destination = out() + QStringLiteral("/mounted");
    if (!MountScratch(destination) && ::geteuid() == 0) {
        GTEST_SKIP() << "no mount namespace of our own, and root passes by permissions";
    }
    QDir().mkpath(destination);
    MessageBoxRecorder messages;
    CColorPdfConvertor convertor;
    Ready(convertor, destination, QStringLiteral("scan.pdf"), 1, 3, SaveFolderPath());
    bool madeReadOnly = false;
    owner.SaveJobRecord().downloadPage = [&](const MFPInfo& m, int index, int page,
                                             PageImageInfo* info) {
        if (page == 2) {
            madeReadOnly = MakeReadOnly(destination);
        }
        return DeviceAccess::DownloadPageForSave(m, index, page, info);
    };

    EXPECT_FALSE(TimedSave(convertor));
    ASSERT_TRUE(madeReadOnly);
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(messages.calls()[0].text, QString::fromUtf8(kSaveFailed));
    EXPECT_EQ(messages.calls()[0].caption, QString::fromUtf8(kSave));
    EXPECT_TRUE(Entries(destination).isEmpty()) << Entries(destination).join(u',').toStdString();
    EXPECT_TRUE(DocumentStillStored());
    EXPECT_TRUE(Entries(SaveFolderPath()).isEmpty());
}

// The work folder beside the program cannot take the page files: the first page fails.
TEST_F(FaultMatrixTest, WorkFolderCannotBeWritten) {
    StartFaultDevice(3, false, {}, false);
    const QString work = SaveFolderPath();
    if (!(MountScratch(work) && MakeReadOnly(work)) && !MakeReadOnly(work)) {
        GTEST_SKIP() << "cannot make the work folder read-only here";
    }
    MessageBoxRecorder messages;
    CColorPdfConvertor convertor;
    Ready(convertor, out(), QStringLiteral("scan.pdf"), 1, 3, work);

    EXPECT_FALSE(TimedSave(convertor));
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(messages.calls()[0].text, QString::fromUtf8(kDownloadFailed));
    EXPECT_EQ(messages.calls()[0].caption, QString::fromUtf8(kCommunication));
    // The page file cannot be created, so the device is not even asked.
    EXPECT_TRUE(DownloadedPages().empty());
    EXPECT_TRUE(Entries(out()).isEmpty());
    EXPECT_TRUE(DocumentStillStored());
    EXPECT_LT(elapsed, kAnswerBound);
}

// ---- The user cancels --------------------------------------------------------------------

TEST_F(FaultMatrixTest, CancelDuringTheDownloadSavesNothing) {
    StartFaultDevice(4, true, {}, false);
    MessageBoxRecorder messages;
    CTiffConvertor convertor;
    Ready(convertor, out(), QStringLiteral("scan.tif"), 1, 4, SaveFolderPath());
    owner.SaveJobRecord().downloadPage = [&](const MFPInfo& m, int index, int page,
                                             PageImageInfo* info) {
        if (page == 2) {
            OnUiThread([&] { dialog().control<QPushButton>(kProgressCancelId)->click(); });
        }
        return DeviceAccess::DownloadPageForSave(m, index, page, info);
    };

    EXPECT_FALSE(TimedSave(convertor));
    EXPECT_TRUE(messages.calls().empty());
    EXPECT_EQ(DownloadedPages(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(Entries(out()).isEmpty());
    EXPECT_TRUE(Entries(SaveFolderPath()).isEmpty());
    EXPECT_TRUE(DocumentStillStored());
}

// A convertor that presses Cancel just as the conversion starts.
class CancelAtConversion : public CColorPdfConvertor {
  public:
    explicit CancelAtConversion(std::function<void()> press) : press_(std::move(press)) {}
    HRESULT Convert(const PageImageInfo* pages, std::uint32_t documentId) override {
        press_();
        return CColorPdfConvertor::Convert(pages, documentId);
    }

  private:
    std::function<void()> press_;
};

// Cancel during the conversion cannot stop the writer part-way: the save does not count (so
// nothing would be deleted), and what is on disk is either nothing or the whole document.
TEST_F(FaultMatrixTest, CancelDuringTheConversionDoesNotCountTheSave) {
    StartFaultDevice(3, false, {}, false);
    MessageBoxRecorder messages;
    bool pressed = false;
    CancelAtConversion convertor([&] {
        OnUiThread([&] {
            auto* cancel = dialog().control<QPushButton>(kProgressCancelId);
            if (cancel->isEnabled()) {
                cancel->click();
                pressed = true;
            }
        });
    });
    Ready(convertor, out(), QStringLiteral("scan.pdf"), 1, 3, SaveFolderPath());

    const bool saved = TimedSave(convertor);
    EXPECT_TRUE(messages.calls().empty());
    if (pressed) {
        EXPECT_FALSE(saved);
    }
    const QStringList left = Entries(out());
    if (!left.isEmpty()) {
        EXPECT_EQ(left, QStringList{QStringLiteral("scan.pdf")});
        EXPECT_EQ(CheckedPdfPages(out() + QStringLiteral("/scan.pdf")), 3);
    }
    EXPECT_TRUE(DocumentStillStored());
}

// ---- Save with delete --------------------------------------------------------------------

// Someone takes the document out of the box at the device's panel after it was saved and before
// the delete: the delete fails with the device's code and the saved output stays whole.
TEST_F(FaultMatrixTest, DocumentVanishesBetweenTheSaveAndTheDelete) {
    StartFaultDevice(3, false, {}, false);
    CColorPdfConvertor convertor;
    Ready(convertor, out(), QStringLiteral("scan.pdf"), 1, 3, SaveFolderPath());
    ASSERT_TRUE(TimedSave(convertor));
    {
        SimulatorStore store(store_.path());
        const auto document = store.findDocument(kSavedFileId);
        ASSERT_TRUE(document);
        std::filesystem::remove_all(store.pagePath(*document, 1).parent_path());
    }
    std::int32_t code = 0;
    EXPECT_EQ(DeleteSavedDocument(mfp, documentIndex, convertor, &code),
              SavedDocumentDelete::DeleteFailed);
    EXPECT_EQ(code, 810);
    EXPECT_EQ(CheckedPdfPages(out() + QStringLiteral("/scan.pdf")), 3);
}

}  // namespace
