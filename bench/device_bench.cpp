// device_bench: Velnor's device operations against curl doing the same HTTP exchanges with the
// same simulator, side by side in interleaved rounds.
//
//   device_bench <http port> <store folder> <box index> <rounds>
//
// The box at <box index> of the box list holds the documents to list; its first document's
// page 1 is the page downloaded. Each round times, in this order: DownloadPageForSave (the page
// fetch and its GETIMAGEINFO job), curl fetching the same page bytes, ListBoxes, curl posting the
// same LIST job, ListDocuments, curl posting the same document LIST job. curl's own transfer time
// (%{time_total}) is taken, so its process start is not counted. Prints one line per operation:
// name, median milliseconds, bytes. Everything talks to 127.0.0.1 only.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/binding/applicationlibraries.h"
#include "app/folders/workfolders.h"
#include "app/settings/currentsettings.h"
#include "device/deviceaccess.h"
#include "ostrel/ostrel.h"

namespace {

// The job bodies the simulator logged, by COMMAND and in order; the log escapes \\, tab, CR, LF.
std::vector<std::string> LoggedBodies(const QString& store) {
    QFile log(store + "/requests.log");
    std::vector<std::string> bodies;
    if (!log.open(QIODevice::ReadOnly)) {
        return bodies;
    }
    while (!log.atEnd()) {
        const QList<QByteArray> fields = log.readLine().chopped(1).split('\t');
        if (fields.size() < 5 || fields[1] != "POST") {
            continue;
        }
        std::string body;
        const QByteArray& text = fields[4];
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == '\\' && i + 1 < text.size()) {
                const char next = text[++i];
                body += next == 't' ? '\t' : next == 'r' ? '\r' : next == 'n' ? '\n' : next;
            } else {
                body += text[i];
            }
        }
        bodies.push_back(body);
    }
    return bodies;
}

// curl's transfer time in milliseconds, or a negative value when it failed.
double Curl(const QStringList& arguments) {
    QProcess curl;
    curl.start(QStringLiteral("curl"), QStringList{"-s", "-f", "-w", "%{time_total}"} + arguments);
    if (!curl.waitForFinished(60000) || curl.exitCode() != 0) {
        return -1;
    }
    return curl.readAllStandardOutput().trimmed().toDouble() * 1000.0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: device_bench <http port> <store> <box index> <rounds>\n");
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const QString store = QString::fromLocal8Bit(argv[2]);
    const int boxIndex = std::atoi(argv[3]);
    const int rounds = std::max(1, std::atoi(argv[4]));

    ApplicationLibraries libraries;
    if (libraries.Bind(QString(), QString()) != 0) {
        std::fprintf(stderr, "device_bench: the run-time libraries cannot be bound\n");
        return 1;
    }
    CreateWorkFolders();
    MFPInfo mfp;
    mfp.IPv4Address = QStringLiteral("127.0.0.1");
    mfp.httpPortNumber = static_cast<std::uint16_t>(port);
    SetMFPInfo(mfp);

    // One listing of each kind first, so that the job bodies are in the simulator's log.
    QStringList names;
    if (DeviceAccess::ListBoxes(mfp, names) != 1 ||
        DeviceAccess::ListDocuments(mfp, 0, boxIndex, QString(), nullptr) != 1) {
        std::fprintf(stderr, "device_bench: the simulator on port %d does not list\n", port);
        return 1;
    }
    const std::vector<std::string> bodies = LoggedBodies(store);
    if (bodies.size() < 2) {
        std::fprintf(stderr, "device_bench: no job bodies in %s/requests.log\n", qPrintable(store));
        return 1;
    }
    const QString boxJob = store + "/bench-boxes.xml";
    const QString documentJob = store + "/bench-documents.xml";
    for (const auto& [path, body] : {std::pair{boxJob, bodies[0]}, {documentJob, bodies[1]}}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(body.data(), static_cast<qint64>(body.size())) !=
                static_cast<qint64>(body.size())) {
            return 1;
        }
    }
    const DocumentEntry& first = NetworkDocumentTable().entries[0];
    const int documents = NetworkDocumentTable().count;
    char query[64];
    std::snprintf(query, sizeof query, "FileID=%08X&PageNumber=1", first.fileId);
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(port);
    const QString pageUrl = base + "/loadimg.cgi?" + query;
    const QString curlPage = QString::fromStdU16String(SaveFolder()) + "/curl-page.bin";
    const QStringList post{"-H", "Content-Type: text/xml; charset=utf-8", "-o", "/dev/null"};

    std::map<std::string, std::vector<double>> times;
    QElapsedTimer clock;
    PageImageInfo info{};
    for (int round = 0; round < rounds; ++round) {
        clock.start();
        const int downloaded = DeviceAccess::DownloadPageForSave(mfp, 0, 1, &info);
        times["page: DownloadPageForSave"].push_back(clock.nsecsElapsed() / 1e6);
        times["page: curl"].push_back(Curl({"-o", curlPage, pageUrl}));
        clock.start();
        const int boxes = DeviceAccess::ListBoxes(mfp, names);
        times["boxes: ListBoxes"].push_back(clock.nsecsElapsed() / 1e6);
        times["boxes: curl"].push_back(
            Curl(post + QStringList{"--data-binary", "@" + boxJob, base + "/ScanBox.cgi"}));
        clock.start();
        const int listed = DeviceAccess::ListDocuments(mfp, 0, boxIndex, QString(), nullptr);
        times["documents: ListDocuments"].push_back(clock.nsecsElapsed() / 1e6);
        times["documents: curl"].push_back(
            Curl(post + QStringList{"--data-binary", "@" + documentJob, base + "/ScanBox.cgi"}));
        if (downloaded == 0 || boxes != 1 || listed != 1) {
            std::fprintf(stderr, "device_bench: a device operation failed in round %d\n", round);
            return 1;
        }
    }
    for (const auto& [name, values] : times) {
        if (*std::min_element(values.begin(), values.end()) < 0) {
            std::fprintf(stderr, "device_bench: curl failed for %s\n", name.c_str());
            return 1;
        }
        std::printf("%s\t%.3f\n", name.c_str(), Median(values));
    }
    std::printf("documents listed\t%d\n", documents);
    std::printf("page bytes\t%lld\n", static_cast<long long>(QFile(curlPage).size()));
    libraries.Free();
    return 0;
}
