#include "tools/mfpsim/channels.h"

std::map<std::string, ChannelFactory>& registeredChannels() {
    static std::map<std::string, ChannelFactory> channels;
    return channels;
}

ChannelRegistration::ChannelRegistration(const std::string& name, ChannelFactory factory) {
    registeredChannels()[name] = std::move(factory);
}
