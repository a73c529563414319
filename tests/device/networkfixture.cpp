#include "tests/device/networkfixture.h"

#include "device/deviceaccess.h"

void ScriptedNetworkTest::ListBoxesFrom(const std::string& inner) {
    device.answerJob(JobResponse(inner));
    QStringList names;
    ASSERT_EQ(DeviceAccess::ListBoxes(mfp, names), 1);
}

std::string FolderElement(unsigned folderId, const std::string& name, unsigned attribute) {
    return "<FOLDER><FOLDERID>" + std::to_string(folderId) + "</FOLDERID><FOLDERNAME>" + name +
           "</FOLDERNAME><ATTRIBUTE>" + std::to_string(attribute) + "</ATTRIBUTE></FOLDER>";
}
