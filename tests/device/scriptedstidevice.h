#pragma once
// An in-process still-image service with one scripted device, for USB cases that need exact
// answers or failures the simulator's channel does not give (an escape the device does not
// implement, an empty answer, chunks of given sizes). The test fills the script, installs
// ScriptedStiCreateInstance as the still-image entry point and reads back what the program
// wrote. Each command the program writes makes the next scripted reply readable.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "family/sti/sti.h"

struct ScriptedStiDevice {
    struct Listed {
        std::u16string internalName;
        std::u16string description;
        std::u16string matchingDeviceId;
    };
    std::vector<Listed> devices;

    StiResult escapeResult = sti::kOk;
    std::deque<std::string> replies;  // bytes made readable after each RawWriteCommand

    // What the program did.
    std::vector<std::string> escapes;  // the escape input blocks
    std::vector<std::string> writes;   // the raw commands
    int locks = 0;
    int unlocks = 0;
    int liveObjects = 0;  // still-image and device objects not yet released
    std::string readable;

    // The raw commands that hold a job document with this COMMAND text.
    int countCommands(const std::string& command) const;
};

// The script the scripted service plays; reset by ResetScriptedSti.
ScriptedStiDevice& ScriptedSti();
void ResetScriptedSti();

// The still-image entry point over the script.
StiResult ScriptedStiCreateInstance(void* module, std::uint32_t version, IStillImage** stillImage,
                                    void* outer);

// One device answer: the 4-byte little-endian length, the XML, then raw bytes (a chunk).
std::string UsbReply(const std::string& xml, const std::string& raw = {});
// "<JOB>" + inner + "</JOB>".
std::string UsbJob(const std::string& inner);
