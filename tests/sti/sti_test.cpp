// The device registry file and the still-image service object over it.

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "family/sti/deviceregistry.h"
#include "tests/sti/stiservice.h"
#include "tests/support/tempfolder.h"

namespace {

const std::string kClass = "SYSTEM\\CurrentControlSet\\Control\\Class\\";

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(DeviceRegistry, ReadsDeviceSectionsOnly) {
    TempFolder folder("stireg");
    const std::string path = folder.file("devices.ini");
    WriteText(path,
              "; devices\n"
              "[Other\\Key]\nMatchingDeviceId=usb\\vid_0f1d\n"
              "[" +
                  kClass +
                  "{IMAGE}\\0000]\r\n"
                  "  DeviceDescription = Office MFP \r\n"
                  "# comment\nno equals sign\nmatchingdeviceid=usb\\vid_0f1d&pid_2101\n"
                  "[system\\currentcontrolset\\control\\class\\{IMAGE}\\0001]\n"
                  "RawChannel=/tmp/x.sock=y\n");
    const sti::DeviceRegistryRead read = sti::ReadDeviceRegistry(path);
    ASSERT_EQ(read.status, sti::RegistryStatus::Ok);
    ASSERT_EQ(read.devices.size(), 2u);
    EXPECT_EQ(read.devices[0].internalName, "{IMAGE}\\0000");
    ASSERT_NE(read.devices[0].find("DEVICEDESCRIPTION"), nullptr);
    EXPECT_EQ(*read.devices[0].find("DeviceDescription"), "Office MFP");
    EXPECT_EQ(*read.devices[0].find("MatchingDeviceId"), "usb\\vid_0f1d&pid_2101");
    EXPECT_EQ(read.devices[0].values.size(), 2u);
    EXPECT_EQ(read.devices[1].internalName, "{IMAGE}\\0001");
    EXPECT_EQ(*read.devices[1].find("RawChannel"), "/tmp/x.sock=y");
    EXPECT_EQ(read.devices[1].find("DeviceDescription"), nullptr);
}

TEST(DeviceRegistry, AbsentFileIsMissingAndFolderIsUnreadable) {
    TempFolder folder("stireg");
    EXPECT_EQ(sti::ReadDeviceRegistry(folder.file("none.ini")).status,
              sti::RegistryStatus::Missing);
    EXPECT_EQ(sti::ReadDeviceRegistry(folder.path().string()).status,
              sti::RegistryStatus::Unreadable);
}

TEST(DeviceRegistry, WriteReplacesOnlyItsOwnSectionAndRemoveKeepsTheRest) {
    TempFolder folder("stireg");
    const std::string path = folder.file("devices.ini");
    WriteText(path, "; kept comment\n[" + kClass + "A]\nRawChannel=/a\n[" + kClass +
                        "B]\nRawChannel=/b-old\nExtra=1\n[Unrelated]\nx=1\n");
    ASSERT_TRUE(sti::WriteDeviceRegistryEntry(path, {"b", {{"RawChannel", "/b-new"}}}));
    EXPECT_EQ(ReadText(path), "; kept comment\n[" + kClass +
                                  "A]\nRawChannel=/a\n[Unrelated]\nx=1\n[" + kClass +
                                  "b]\nRawChannel=/b-new\n");
    ASSERT_TRUE(sti::RemoveDeviceRegistryEntry(path, "A"));
    EXPECT_EQ(ReadText(path),
              "; kept comment\n[Unrelated]\nx=1\n[" + kClass + "b]\nRawChannel=/b-new\n");
    EXPECT_TRUE(sti::RemoveDeviceRegistryEntry(folder.file("absent.ini"), "A"));
    EXPECT_TRUE(sti::WriteDeviceRegistryEntry(folder.file("new.ini"), {"C", {{"k", "v"}}}));
    EXPECT_EQ(ReadText(folder.file("new.ini")), "[" + kClass + "C]\nk=v\n");
}

TEST(DeviceRegistry, PathComesFromTheVariableOrTheProgramFolder) {
    ::unsetenv(sti::kRegistryVariable);
    EXPECT_EQ(sti::DeviceRegistryPath("/opt/velnor"), "/opt/velnor/stidevices.ini");
    ::setenv(sti::kRegistryVariable, "/elsewhere/devices.ini", 1);
    EXPECT_EQ(sti::DeviceRegistryPath("/opt/velnor"), "/elsewhere/devices.ini");
    ::unsetenv(sti::kRegistryVariable);
}

// The service object over a registry file of the test's own.
class StillImageService : public ::testing::Test {
  protected:
    void SetUp() override {
        registry_ = folder_.file("devices.ini");
        ::setenv(sti::kRegistryVariable, registry_.c_str(), 1);
        ASSERT_TRUE(service_.ready());
    }
    void TearDown() override { ::unsetenv(sti::kRegistryVariable); }

    TempFolder folder_{"sti"};
    std::string registry_;
    StiService service_;
};

TEST_F(StillImageService, ListsEveryDeviceWithItsNameAndDescription) {
    WriteText(registry_, "[" + kClass +
                             "{IMAGE}\\0000]\nDeviceDescription=Büro MFP\n"
                             "RawChannel=/tmp/a.sock\n[" +
                             kClass + "{IMAGE}\\0001]\n[" + kClass + std::string(200, 'x') + "]\n");
    std::uint32_t count = 99;
    void* buffer = nullptr;
    ASSERT_EQ(service_->GetDeviceList(0, 0, &count, &buffer), sti::kOk);
    // The device whose name no record can hold is left out.
    ASSERT_EQ(count, 2u);
    const auto* records = static_cast<const STI_DEVICE_INFORMATIONW*>(buffer);
    EXPECT_EQ(std::u16string(records[0].szDeviceInternalName), u"{IMAGE}\\0000");
    EXPECT_EQ(std::u16string(records[0].pszDeviceDescription), u"Büro MFP");
    EXPECT_EQ(std::u16string(records[0].pszPortName), u"/tmp/a.sock");
    EXPECT_EQ(records[0].dwSize, sizeof(STI_DEVICE_INFORMATIONW));
    EXPECT_EQ(std::u16string(records[1].szDeviceInternalName), u"{IMAGE}\\0001");
    EXPECT_EQ(std::u16string(records[1].pszDeviceDescription), u"");
}

TEST_F(StillImageService, AbsentRegistryListsNothing) {
    std::uint32_t count = 99;
    void* buffer = &count;
    EXPECT_EQ(service_->GetDeviceList(0, 0, &count, &buffer), sti::kOk);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(buffer, nullptr);
}

TEST_F(StillImageService, DeviceValueIsMeasuredThenReadAndCutToTheBuffer) {
    WriteText(registry_, "[" + kClass + "Dev]\nMatchingDeviceId=usb\\vid_0f1d&pid_2101\n");
    std::uint32_t size = 0;
    std::uint32_t type = 0;
    ASSERT_EQ(service_->GetDeviceValue(u"DEV", u"matchingdeviceid", &type, nullptr, &size),
              sti::kOk);
    EXPECT_EQ(size, 22u * 2u);
    EXPECT_EQ(type, sti::kRegistryText);

    char16_t whole[64];
    size = sizeof whole;
    ASSERT_EQ(service_->GetDeviceValue(u"Dev", u"MatchingDeviceId", nullptr, whole, &size),
              sti::kOk);
    EXPECT_EQ(std::u16string(whole), u"usb\\vid_0f1d&pid_2101");
    EXPECT_EQ(size, 22u * 2u);

    char16_t cut[9];
    std::fill(std::begin(cut), std::end(cut), u'#');
    size = 9;  // an odd byte count holds 4 units
    ASSERT_EQ(service_->GetDeviceValue(u"Dev", u"MatchingDeviceId", nullptr, cut, &size), sti::kOk);
    EXPECT_EQ(std::u16string(cut), u"usb");
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(cut[4], u'#');

    EXPECT_EQ(service_->GetDeviceValue(u"Dev", u"Missing", nullptr, nullptr, &size),
              sti::kNotFound);
    EXPECT_EQ(service_->GetDeviceValue(u"Other", u"MatchingDeviceId", nullptr, nullptr, &size),
              sti::kNotFound);
}

TEST_F(StillImageService, CreateDeviceRefusesWhatCannotBeOpened) {
    const std::string unserved = folder_.file("nobody.sock");
    WriteText(registry_, "[" + kClass + "NoChannel]\nDeviceDescription=x\n[" + kClass +
                             "Unserved]\nRawChannel=" + unserved + "\n[" + kClass +
                             "TooLong]\nRawChannel=/" + std::string(200, 'p') + "\n");
    struct Case {
        const char16_t* name;
        std::uint32_t mode;
        StiResult expected;
    };
    for (const Case& c : {Case{u"Absent", sti::kModeStatusAndData, sti::kNotFound},
                          Case{u"NoChannel", sti::kModeStatusAndData, sti::kNotFound},
                          Case{u"Unserved", sti::kModeStatusAndData, sti::kNotConnected},
                          Case{u"TooLong", sti::kModeStatusAndData, sti::kInvalidArgument},
                          Case{u"Unserved", 7, sti::kInvalidArgument}}) {
        IStiDevice* device = reinterpret_cast<IStiDevice*>(&registry_);
        EXPECT_EQ(service_->CreateDevice(c.name, c.mode, &device, nullptr), c.expected);
        EXPECT_EQ(device, nullptr);
    }
}

TEST_F(StillImageService, CreateInstanceChecksItsArguments) {
    IStillImage* made = reinterpret_cast<IStillImage*>(&registry_);
    EXPECT_EQ(service_.create()(nullptr, 0x01000001, &made, nullptr), sti::kInvalidArgument);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(service_.create()(nullptr, sti::kVersion, nullptr, nullptr), sti::kInvalidArgument);
    ASSERT_EQ(service_.create()(nullptr, 2, &made, nullptr), sti::kOk);  // without the Unicode flag
    EXPECT_EQ(made->Release(), 0u);
}

// A device served by a plain socket of the test: checks what the service sends and reads.
TEST_F(StillImageService, RawDeviceFramesCallsAndReadsExactCounts) {
    const std::string path = folder_.file("dev.sock");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    WriteText(registry_, "[" + kClass + "Dev]\nRawChannel=" + path + "\n");

    IStiDevice* device = nullptr;
    ASSERT_EQ(service_->CreateDevice(u"Dev", sti::kModeStatusAndData, &device, nullptr), sti::kOk);
    const int peer = ::accept(listener, nullptr, nullptr);
    ASSERT_GE(peer, 0);

    const std::uint8_t block[6] = {0x65, 0, 0, 0, 0, 0};
    EXPECT_EQ(device->Escape(0x2000, block, 6, nullptr, 0, nullptr), sti::kNotImplemented);
    EXPECT_EQ(device->Escape(sti::kCommandEscape, block, 6, nullptr, 0, nullptr), sti::kOk);
    EXPECT_EQ(device->RawWriteCommand("<JOB/>", 6, nullptr), sti::kOk);
    std::string sent(5 + 10 + 5 + 6, '\0');
    ASSERT_EQ(::recv(peer, sent.data(), sent.size(), MSG_WAITALL),
              static_cast<ssize_t>(sent.size()));
    EXPECT_EQ(sent, std::string("\x01\x0A\x00\x00\x00\x00\x10\x00\x00\x65\x00\x00\x00\x00\x00"
                                "\x02\x06\x00\x00\x00<JOB/>",
                                sent.size()));

    // The answer arrives in two pieces; one read waits for the whole count.
    ::send(peer, "abc", 3, 0);
    ::send(peer, "defg", 4, 0);
    char buffer[8] = {};
    std::uint32_t count = 7;
    EXPECT_EQ(device->RawReadData(buffer, &count, nullptr), sti::kOk);
    EXPECT_EQ(count, 7u);
    EXPECT_EQ(std::string(buffer), "abcdefg");

    // The device goes away half-way: the read fails and tells what did arrive.
    ::send(peer, "xy", 2, 0);
    ::close(peer);
    count = 8;
    EXPECT_EQ(device->RawReadData(buffer, &count, nullptr), sti::kEndOfData);
    EXPECT_EQ(count, 2u);
    EXPECT_LT(device->RawWriteCommand("z", 1, nullptr), 0);
    EXPECT_EQ(device->Release(), 0u);
    ::close(listener);
}

TEST_F(StillImageService, LockExcludesASecondDeviceObjectUntilUnlocked) {
    const std::string path = folder_.file("dev.sock");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 2), 0);
    WriteText(registry_, "[" + kClass + "Dev]\nRawChannel=" + path + "\n");
    IStiDevice* first = nullptr;
    IStiDevice* second = nullptr;
    ASSERT_EQ(service_->CreateDevice(u"Dev", sti::kModeStatusAndData, &first, nullptr), sti::kOk);
    ASSERT_EQ(service_->CreateDevice(u"Dev", sti::kModeStatusAndData, &second, nullptr), sti::kOk);
    EXPECT_EQ(first->LockDevice(1000), sti::kOk);
    EXPECT_EQ(first->LockDevice(1000), sti::kOk);
    EXPECT_EQ(second->LockDevice(50), sti::kLockTimeout);
    EXPECT_EQ(first->UnLockDevice(), sti::kOk);
    EXPECT_EQ(second->LockDevice(50), sti::kOk);
    // Releasing the holder gives the lock up as well.
    EXPECT_EQ(second->Release(), 0u);
    EXPECT_EQ(first->LockDevice(50), sti::kOk);
    EXPECT_EQ(first->Release(), 0u);
    ::close(listener);
}

}  // namespace
