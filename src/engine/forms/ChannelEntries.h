#pragma once

#include "engine/forms/SettingsRules.h"
#include "engine/settings/ChannelSettings.h"

#include <optional>

namespace tradevane {

// What the channels window checks before a save: every channel that is on must be able to send.
// The rules are those the sender itself applies, so a saved channel never fails on its settings.
// `channel` is the first channel found wanting.
struct ChannelProblem
{
    Channel channel;
    EntryProblem box;
};
std::optional<ChannelProblem> checkChannelSettings(const ChannelSettings& settings);

// Why `channel` cannot send as set, whether it is on or not; nothing when it can.
std::optional<QString> channelSettingProblem(Channel channel, const ChannelSettings& settings);

// The help texts of the window's "?" labels.
namespace ChannelHelp {
QString ntfyServer();
QString ntfyTopic();
QString ntfyToken();
QString telegramToken();
QString telegramChat();
QString webhookUrl();
QString webhookBody();
QString webhookHeader();
QString tokens();
} // namespace ChannelHelp

} // namespace tradevane
