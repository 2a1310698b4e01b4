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
std::optional<ChannelProblem> CheckChannelSettings(const ChannelSettings& settings);

// Why `channel` cannot send as set, whether it is on or not; nothing when it can.
std::optional<QString> ChannelSettingProblem(Channel channel, const ChannelSettings& settings);

// The help texts of the window's "?" labels.
namespace ChannelHelp {
QString NtfyServer();
QString NtfyTopic();
QString NtfyToken();
QString TelegramToken();
QString TelegramChat();
QString WebhookUrl();
QString WebhookBody();
QString WebhookHeader();
QString Tokens();
} // namespace ChannelHelp

} // namespace tradevane
